// Which bitmap files the install wizard shows: those a setup program carries (the package's
// bitmap test) and its decoder draws. The build's checks and the editor refuse or warn with the
// same rule and the same words, so what they let through is what the wizard shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/wizard/BitmapFit.h"

namespace velkan {

// The wizard bitmap's field, in pixels: a bitmap of this size shows as it is, a larger one is
// scaled down into it.
constexpr FitSize kWizardBitmapField{128, 280};

// A bitmap file with a 40-byte information header and a positive width and height: the only
// ones a setup program carries.
bool PassesBitmapTest(const std::vector<uint8_t>& bytes);

// Empty when the wizard shows the file; otherwise why it does not, as a clause ("its ...").
// size, when given, takes the bitmap's size when it is shown.
std::string BitmapRefusal(const std::vector<uint8_t>& bytes, FitSize* size = nullptr);

// Empty when a wizard bitmap of this size fits its field; otherwise the note that it will be
// scaled down.
std::string BitmapScaleNote(FitSize size);

}  // namespace velkan
