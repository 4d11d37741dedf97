#include "core/wizard/BitmapFit.h"

#include <algorithm>

namespace velkan {

FitSize FitInside(int width, int height, int boxWidth, int boxHeight)
{
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
    if (width <= boxWidth && height <= boxHeight) return {width, height};
    // Whichever side meets its edge first sets the scale; the other follows, rounded, at least 1.
    int64_t w = boxWidth, h = int64_t{height} * boxWidth / width;
    if (h > boxHeight) {
        h = boxHeight;
        w = int64_t{width} * boxHeight / height;
    }
    return {static_cast<int>(std::max<int64_t>(w, 1)), static_cast<int>(std::max<int64_t>(h, 1))};
}

std::vector<uint32_t> ScaleDown(const std::vector<uint32_t>& pixels, int width, int height,
                                FitSize to)
{
    std::vector<uint32_t> out(static_cast<size_t>(to.width) * static_cast<size_t>(to.height));
    if (to.width <= 0 || to.height <= 0 ||
        pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
        return out;
    // In fixed point: source coordinates times the target size, so every boundary is exact.
    for (int ty = 0; ty < to.height; ++ty) {
        int64_t y0 = int64_t{ty} * height, y1 = y0 + height;  // in units of 1/to.height
        for (int tx = 0; tx < to.width; ++tx) {
            int64_t x0 = int64_t{tx} * width, x1 = x0 + width;  // in units of 1/to.width
            uint64_t sum[4] = {}, total = 0;
            for (int64_t sy = y0 / to.height; sy * to.height < y1 && sy < height; ++sy) {
                int64_t wy = std::min(y1, (sy + 1) * to.height) - std::max(y0, sy * to.height);
                for (int64_t sx = x0 / to.width; sx * to.width < x1 && sx < width; ++sx) {
                    int64_t wx = std::min(x1, (sx + 1) * to.width) - std::max(x0, sx * to.width);
                    uint64_t weight = static_cast<uint64_t>(wx * wy);
                    uint32_t p = pixels[static_cast<size_t>(sy * width + sx)];
                    for (int c = 0; c < 4; ++c) sum[c] += ((p >> (8 * c)) & 0xFF) * weight;
                    total += weight;
                }
            }
            uint32_t q = 0;
            for (int c = 0; c < 4; ++c)
                q |= static_cast<uint32_t>((sum[c] + total / 2) / std::max<uint64_t>(total, 1))
                     << (8 * c);
            out[static_cast<size_t>(ty) * static_cast<size_t>(to.width) + static_cast<size_t>(tx)] =
                q;
        }
    }
    return out;
}

}  // namespace velkan
