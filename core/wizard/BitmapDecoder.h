// Bitmap files decoded to 32-bit pixels, in every form Windows itself draws: 1, 4, 8, 16, 24 and
// 32 bits per pixel, run-length packed 4- and 8-bit pixels, colour masks, rows bottom-up or
// top-down. The install wizard shows what comes out of here, so a bitmap is decoded the same way
// on every machine; the decoder never reads outside the file and refuses a size that would cost
// memory out of proportion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velkan {

// At most this many pixels (16 MB decoded): far beyond any wizard bitmap or background pattern,
// and a run-length packed file of a few bytes cannot claim more.
constexpr uint64_t kMaxBitmapPixels = uint64_t{1} << 22;

struct BitmapImage {
    int width = 0;
    int height = 0;
    // width x height pixels, rows top-down, each 0x00RRGGBB (as a 32-bit DIB holds them).
    std::vector<uint32_t> pixels;
};

// The bitmap file's pixels; nullopt when it cannot be shown, with the reason in why.
std::optional<BitmapImage> DecodeBitmap(const std::vector<uint8_t>& file,
                                        std::string* why = nullptr);

}  // namespace velkan
