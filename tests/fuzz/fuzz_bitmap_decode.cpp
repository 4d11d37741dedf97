// Bitmap files from anywhere: the decoder reads nothing outside the input, gives exactly the
// pixels it claims, costs memory in proportion to the input, and the wizard's fit of what it
// gives stays within the pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/wizard/BitmapDecoder.h"
#include "core/wizard/BitmapFit.h"
#include "core/wizard/WizardBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velkan;
    std::vector<uint8_t> input(data, data + size);
    std::optional<BitmapImage> image = DecodeBitmap(input);
    if (image) {
        const uint64_t pixels = uint64_t(image->width) * uint64_t(image->height);
        if (image->width <= 0 || image->height <= 0 || image->pixels.size() != pixels ||
            pixels > kMaxBitmapPixels || pixels > (uint64_t{size} + 1) * 256 * 32)
            std::abort();
        FitSize fit = FitInside(image->width, image->height, kWizardBitmapField.width,
                                kWizardBitmapField.height);
        std::vector<uint32_t> shown = ScaleDown(image->pixels, image->width, image->height, fit);
        if (shown.size() != uint64_t(fit.width) * uint64_t(fit.height)) std::abort();
    }
    BitmapRefusal(input);
    return 0;
}
