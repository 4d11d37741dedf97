// PE images from anywhere: the version reader must never read outside the image.
#include <cstddef>
#include <cstdint>

#include "core/platform/PeVersionInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velkan::ReadPeVersionInfo(data, size);
    velkan::ParseVersionResource(data, size);
    return 0;
}
