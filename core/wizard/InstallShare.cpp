#include "core/wizard/InstallShare.h"

#include <algorithm>

namespace velkan {

namespace {

constexpr uint64_t kClusterBytes = 4096;

}  // namespace

uint64_t InstallWork(uint64_t bytes)
{
    return bytes + kClusterBytes;
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
