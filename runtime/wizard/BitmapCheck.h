// The checks a bitmap file from the package passes before Windows decodes it: the headers, the
// palette and every row of pixels lie within the bytes, in a form Windows draws without help.
// A bitmap that fails is left out of the window, never trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace velkan::runtime {

struct CheckedBitmap {
    size_t infoOffset = 14;  // the BITMAPINFO (header, masks, palette)
    size_t bitsOffset = 0;   // the pixel rows
    int32_t width = 0;
    int32_t height = 0;  // absolute; rows may run top-down
};

std::optional<CheckedBitmap> CheckBitmapFile(const std::vector<uint8_t>& file);

}  // namespace velkan::runtime
