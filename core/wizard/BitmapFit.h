// The wizard bitmap in its frame: kept in proportion, scaled down when it is larger than the
// frame (never up, never stretched), each shown pixel the average of the pixels it covers, so
// that thin lines neither vanish nor turn into artefacts.
#pragma once

#include <cstdint>
#include <vector>

namespace velkan {

struct FitSize {
    int width = 0;
    int height = 0;
};

// The largest size of width x height's proportions inside box, no larger than width x height.
FitSize FitInside(int width, int height, int boxWidth, int boxHeight);

// pixels: width x height 32-bit pixels, rows top-down; returns to.width x to.height pixels, each
// channel the area-weighted average of the source pixels the target pixel covers.
std::vector<uint32_t> ScaleDown(const std::vector<uint32_t>& pixels, int width, int height,
                                FitSize to);

}  // namespace velkan
