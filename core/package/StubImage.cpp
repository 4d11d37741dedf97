#include "core/package/StubImage.h"

#include "core/model/CDataArray.h"

namespace velkan {

using namespace package;

namespace {

uint32_t GetU32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool PatchSizeSlot(std::vector<uint8_t>& image)
{
    auto marker = FindMarker(image.data(), image.size(), kSizeMarker);
    if (!marker) return false;
    uint32_t size = static_cast<uint32_t>(image.size());
    for (int i = 0; i < 4; ++i)
        image[*marker + kMarkerSize + i] = static_cast<uint8_t>(size >> (8 * i));
    return true;
}

uint32_t ReadKeySeed(const uint8_t* image, size_t size)
{
    auto marker = FindMarker(image, size, kKeyMarker);
    if (!marker) return kKeyFallback;
    return GetU32(image + *marker + kMarkerSize) ^ kKeySlotXor;
}

int StubResourceId(int platform)
{
    return platform == CDataArray::Win32 ? kStubWin32 : kStubWin31;
}

int UninstallerResourceId(int platform)
{
    return platform == CDataArray::Win32 ? kUninstallerWin32 : kUninstallerWin31;
}

int DialogBlockResourceId(int platform, bool hasWizardBitmap)
{
    if (platform == CDataArray::Win32) return hasWizardBitmap ? kDialogsWin32Bitmap : kDialogsWin32;
    return hasWizardBitmap ? kDialogsWin31Bitmap : kDialogsWin31;
}

}  // namespace velkan

#include "core/stream/IByteSink.h"

namespace velkan {

uint32_t WriteStub(IByteSink& output, std::vector<uint8_t> image)
{
    PatchSizeSlot(image);
    output.Write(image.data(), image.size());
    return ReadKeySeed(image.data(), image.size());
}

}  // namespace velkan
