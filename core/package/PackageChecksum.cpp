#include "core/package/PackageChecksum.h"

#include <vector>

#include "core/package/CChecksumAccumulator.h"
#include "core/package/PackageFormat.h"
#include "core/stream/IByteSource.h"

namespace velkan {

namespace {

inline uint32_t Step(uint32_t sum, uint32_t value)
{
    return ((sum << 1) | (sum >> 31)) + value;
}

inline uint32_t Word(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

uint32_t PackageChecksum(const void* bytes, size_t length, uint32_t seed)
{
    const auto* p = static_cast<const uint8_t*>(bytes);
    uint32_t sum = seed;
    size_t words = length / 4;
    for (size_t i = 0; i < words; ++i, p += 4) sum = Step(sum, Word(p));
    for (size_t i = 0; i < length % 4; ++i) sum = Step(sum, p[i]);
    return sum;
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
