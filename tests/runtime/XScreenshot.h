// A picture of an X display's root window, written as a PNG file: the wizard's look under Wine
// on the virtual display, kept in the build tree for review.
#pragma once

#include <string>

namespace velkan::test {

// Writes the whole screen of display (":N") to pngPath; false when the display or the file fails.
bool SaveScreenshot(const std::string& display, const std::string& pngPath);
// How many pixels of the screen of display have exactly the colour rgb (0xRRGGBB); -1 when the
// display fails.
long CountScreenPixels(const std::string& display, unsigned long rgb);
// Whether an X server answers on display.
bool DisplayAnswers(const std::string& display);

}  // namespace velkan::test
