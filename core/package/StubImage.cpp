#include "core/package/StubImage.h"

#include "core/model/CDataArray.h"
#include "core/stream/IByteSink.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

using namespace package;

bool PatchSizeSlot(std::vector<uint8_t>& image)
{
    auto marker = FindMarker(image.data(), image.size(), kSizeMarker);
    if (!marker) return false;
    uint32_t size = static_cast<uint32_t>(image.size());
    StoreLE32(image.data() + *marker + kMarkerSize, size);
    return true;
}

uint32_t ReadKeySeed(const uint8_t* image, size_t size)
{
    auto marker = FindMarker(image, size, kKeyMarker);
    if (!marker) return kKeyFallback;
    return LoadLE32(image + *marker + kMarkerSize) ^ kKeySlotXor;
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

uint32_t WriteStub(IByteSink& output, std::vector<uint8_t> image)
{
    PatchSizeSlot(image);
    output.Write(image.data(), image.size());
    return ReadKeySeed(image.data(), image.size());
}

}  // namespace velkan
