#include "core/wizard/BitmapDecoder.h"

#include <algorithm>

namespace velkan {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

std::optional<BitmapImage> Refuse(std::string* why, const char* reason)
{
    if (why) *why = reason;
    return std::nullopt;
}

// One colour channel of a masked pixel, spread to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t top = 0;  // the largest value the mask holds

    explicit Channel(uint32_t m) : mask(m)
    {
        while (m && !(m & 1)) {
            m >>= 1;
            ++shift;
        }
        top = m;
    }
    uint32_t operator()(uint32_t value) const
    {
        return top ? static_cast<uint32_t>(uint64_t{(value & mask) >> shift} * 255 / top) : 0;
    }
};

// The pixel rows of a run-length packed bitmap (4 or 8 bits), bottom-up, into image. Runs and
// jumps past the right edge or the top are cut off; data that ends early leaves the rest black.
void DecodeRunLength(const std::vector<uint8_t>& file, size_t at, bool fourBits,
                     const std::vector<uint32_t>& palette, BitmapImage& image)
{
    const size_t end = file.size();
    const int64_t w = image.width, h = image.height;
    int64_t x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](uint32_t index) {
        if (x < w && y < h) {
            image.pixels[static_cast<size_t>((h - 1 - y) * w + x)] =
                index < palette.size() ? palette[index] : 0;
        }
        ++x;
    };
    while (at + 1 < end && y < h) {
        const uint8_t count = file[at], value = file[at + 1];
        at += 2;
        if (count > 0) {  // a run of one index (two alternating ones with 4 bits)
            for (int i = 0; i < count && x < w; ++i)
                put(fourBits ? (i % 2 ? value & 0xF : value >> 4) : value);
        } else if (value == 0) {  // end of the row
            x = 0;
            ++y;
        } else if (value == 1) {  // end of the bitmap
            break;
        } else if (value == 2) {  // a jump right and up
            if (at + 1 >= end) break;
            x += file[at];
            y += file[at + 1];
            at += 2;
        } else {  // value indexes as they are, padded to a 16-bit boundary
            const size_t bytes = fourBits ? (value + 1u) / 2 : value;
            for (int i = 0; i < value; ++i) {
                const size_t byte = at + static_cast<size_t>(fourBits ? i / 2 : i);
                if (byte >= end) break;
                put(fourBits ? (i % 2 ? file[byte] & 0xF : file[byte] >> 4) : file[byte]);
            }
            at += (bytes + 1) & ~size_t{1};
        }
    }
}

}  // namespace

std::optional<BitmapImage> DecodeBitmap(const std::vector<uint8_t>& file, std::string* why)
{
    if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M')
        return Refuse(why, "it is not a bitmap file");
    const uint32_t headerSize = U32(file, 14);
    if (headerSize < kInfoHeaderSize) {
        return Refuse(why, "its header is of the old 12-byte form");
    }
    if (kFileHeaderSize + uint64_t{headerSize} > file.size())
        return Refuse(why, "its header is cut short");
    const int32_t width = static_cast<int32_t>(U32(file, 18));
    const int32_t rawHeight = static_cast<int32_t>(U32(file, 22));
    const uint16_t planes = U16(file, 26), bits = U16(file, 28);
    const uint32_t compression = U32(file, 30), colorsUsed = U32(file, 46);
    const uint64_t bitsOffset = U32(file, 10);
    if (width <= 0 || rawHeight == 0) return Refuse(why, "it has no pixels");
    const bool topDown = rawHeight < 0;
    const uint64_t height = topDown ? uint64_t{0} - static_cast<uint64_t>(int64_t{rawHeight})
                                    : static_cast<uint64_t>(rawHeight);
    if (uint64_t{static_cast<uint32_t>(width)} * height > kMaxBitmapPixels)
        return Refuse(why, "it has more than 4 million pixels");
    if (planes != 1) return Refuse(why, "it is not of one colour plane");
    const bool known = (compression == kRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 16 ||
                                                bits == 24 || bits == 32)) ||
                       (compression == kRle8 && bits == 8) || (compression == kRle4 && bits == 4) ||
                       (compression == kBitFields && (bits == 16 || bits == 32));
    if (!known) return Refuse(why, "its pixel format is not one Windows draws");
    if ((compression == kRle8 || compression == kRle4) && topDown)
        return Refuse(why, "its packed rows run top-down");

    // The colour masks follow the short header, or are part of a longer one.
    size_t tablesAt = kFileHeaderSize + headerSize;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == kBitFields) {
        const size_t at = kFileHeaderSize + kInfoHeaderSize;
        if (at + 12 > file.size()) return Refuse(why, "its colour masks are cut short");
        for (int i = 0; i < 3; ++i) masks[i] = U32(file, at + 4 * static_cast<size_t>(i));
        if (headerSize == kInfoHeaderSize) tablesAt += 12;
    }
    std::vector<uint32_t> palette;
    if (bits <= 8) {
        const uint32_t entries = colorsUsed ? colorsUsed : 1u << bits;
        if (entries > (1u << bits)) return Refuse(why, "its colour table is larger than its depth");
        if (tablesAt + uint64_t{entries} * 4 > file.size())
            return Refuse(why, "its colour table is cut short");
        for (uint32_t i = 0; i < entries; ++i) {
            const size_t at = tablesAt + 4 * size_t{i};
            palette.push_back(file[at] | (file[at + 1] << 8) | (file[at + 2] << 16));
        }
        tablesAt += size_t{entries} * 4;
    }
    if (tablesAt > bitsOffset) return Refuse(why, "its pixels overlap its colour table");
    if (bitsOffset > file.size()) return Refuse(why, "its pixels are cut short");

    BitmapImage image;
    image.width = width;
    image.height = static_cast<int>(height);
    const size_t w = static_cast<size_t>(width), rows = static_cast<size_t>(height);
    if (compression == kRle8 || compression == kRle4) {
        // Two bytes pack at most 255 pixels: a size far beyond what the data could fill is damage.
        if (uint64_t{w} * rows > (file.size() - bitsOffset + 1) * 256)
            return Refuse(why, "its packed pixels are far too few for its size");
        image.pixels.assign(w * rows, 0);
        DecodeRunLength(file, static_cast<size_t>(bitsOffset), compression == kRle4, palette,
                        image);
        return image;
    }
    const size_t stride = (w * bits + 31) / 32 * 4;
    if (stride * rows > file.size() - bitsOffset) return Refuse(why, "its pixels are cut short");
    image.pixels.resize(w * rows);
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    auto index = [&](uint32_t i) { return i < palette.size() ? palette[i] : 0; };
    for (size_t r = 0; r < rows; ++r) {
        const uint8_t* row = file.data() + bitsOffset + r * stride;
        uint32_t* out = image.pixels.data() + (topDown ? r : rows - 1 - r) * w;
        for (size_t x = 0; x < w; ++x) {
            switch (bits) {
            case 1: out[x] = index((row[x / 8] >> (7 - x % 8)) & 1); break;
            case 4: out[x] = index(x % 2 ? row[x / 2] & 0xF : row[x / 2] >> 4); break;
            case 8: out[x] = index(row[x]); break;
            case 24: out[x] = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16); break;
            default: {
                const uint8_t* p = row + x * (bits / 8);
                const uint32_t v = bits == 16 ? uint32_t{p[0]} | (p[1] << 8)
                                              : p[0] | (p[1] << 8) | (p[2] << 16) |
                                                    (static_cast<uint32_t>(p[3]) << 24);
                out[x] = blue(v) | (green(v) << 8) | (red(v) << 16);
            }
            }
        }
    }
    return image;
}

}  // namespace velkan
