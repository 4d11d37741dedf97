// The package checksum over data that arrives in pieces of any size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velkan {

// Running form for data that arrives in pieces of any size: bytes are grouped into words across
// the piece boundaries, so the result equals PackageChecksum over the concatenation.
class CChecksumAccumulator {
public:
    explicit CChecksumAccumulator(uint32_t seed = 0) : m_sum(seed) {}
    void Add(const void* bytes, size_t length);
    // The checksum of all bytes added; the accumulator stays usable.
    uint32_t Value() const;

private:
    uint32_t m_sum;
    uint8_t m_pending[4] = {};
    size_t m_pendingCount = 0;
};

}  // namespace velkan
