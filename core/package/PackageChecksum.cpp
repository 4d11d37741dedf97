#include "core/package/PackageChecksum.h"

#include <vector>

#include "core/package/CChecksumAccumulator.h"
#include "core/package/PackageFormat.h"
#include "core/stream/IByteSource.h"

namespace velkan {

uint32_t PackageChecksum(const void* bytes, size_t length, uint32_t seed)
{
    CChecksumAccumulator sum(seed);
    sum.Add(bytes, length);
    return sum.Value();
}

uint32_t FileChecksum(IByteSource& source, uint64_t* length)
{
    std::vector<uint8_t> piece(package::kFilePiece);
    CChecksumAccumulator sum;
    uint64_t total = 0;
    for (;;) {
        size_t n = source.Read(piece.data(), piece.size());
        if (n == 0) break;
        sum.Add(piece.data(), n);
        total += n;
    }
    if (length) *length = total;
    return sum.Value();
}

uint32_t PackageKey(uint32_t keySeed, bool fullScreen, std::string_view backTitle)
{
    if (!fullScreen || backTitle.empty()) return keySeed;
    return PackageChecksum(backTitle.data(), backTitle.size(), keySeed);
}

}  // namespace velkan
