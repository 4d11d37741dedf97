#include "core/wizard/InstallShare.h"

#include <algorithm>

namespace velkan {

namespace {

// In bytes checked: what a file costs beyond its bytes in each phase, and the share of its bytes
// that placing costs.
constexpr uint64_t kCheckFileWork = 4096;
constexpr uint64_t kPlaceFileWork = 96 * 1024;
constexpr uint64_t kPlaceByteShare = 4;  // a quarter

}  // namespace

uint64_t CheckWork(uint64_t bytes)
{
    return bytes + kCheckFileWork;
}

uint64_t PlaceWork(uint64_t bytes)
{
    return bytes / kPlaceByteShare + kPlaceFileWork;
}

uint32_t InstallShare(uint64_t done, uint64_t total)
{
    if (total == 0 || done >= total) return kInstallShareRange;
    // Sizes a package only claims can overflow the product: then divided first, which loses
    // nothing visible at such sizes.
    if (done > UINT64_MAX / kInstallShareRange) {
        uint64_t share = done / (total / kInstallShareRange);
        return static_cast<uint32_t>(std::min<uint64_t>(share, kInstallShareRange - 1));
    }
    return static_cast<uint32_t>(done * kInstallShareRange / total);
}

}  // namespace velkan
