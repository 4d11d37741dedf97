#include "core/wizard/WizardBitmap.h"

#include "core/wizard/BitmapDecoder.h"

namespace velkan {

namespace {

int32_t Field(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return static_cast<int32_t>(v);
}

}  // namespace

bool PassesBitmapTest(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 26) return false;
    return Field(bytes, 14) == 40 && Field(bytes, 18) > 0 && Field(bytes, 22) > 0;
}

std::string BitmapRefusal(const std::vector<uint8_t>& bytes, FitSize* size)
{
    std::string why;
    std::optional<BitmapImage> image = DecodeBitmap(bytes, &why);
    if (!image) return why;
    // Shown by the decoder, but not of the form a setup program carries.
    if (Field(bytes, 14) != 40)
        return "its header is not of the 40-byte form a setup program carries";
    if (!PassesBitmapTest(bytes))
        return "its rows run top-down, which a setup program does not carry";
    if (size) *size = {image->width, image->height};
    return {};
}

std::string BitmapScaleNote(FitSize size)
{
    if (size.width <= kWizardBitmapField.width && size.height <= kWizardBitmapField.height)
        return {};
    const FitSize shown =
        FitInside(size.width, size.height, kWizardBitmapField.width, kWizardBitmapField.height);
    return "it is " + std::to_string(size.width) + "x" + std::to_string(size.height) +
           " pixels, larger than its " + std::to_string(kWizardBitmapField.width) + "x" +
           std::to_string(kWizardBitmapField.height) +
           " field: the wizard shows it scaled down to " + std::to_string(shown.width) + "x" +
           std::to_string(shown.height);
}

}  // namespace velkan
