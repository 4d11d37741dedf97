// A byte source that passes another one's bytes on and sums them with the package checksum on
// the way, so a file is read once to be both packed and checksummed.
#pragma once

#include <cstdint>

#include "core/package/CChecksumAccumulator.h"
#include "core/stream/IByteSource.h"

namespace velkan {

class CChecksumSource : public IByteSource {
public:
    explicit CChecksumSource(IByteSource& source) : m_source(source) {}

    size_t Read(void* buffer, size_t size) override
    {
        size_t n = m_source.Read(buffer, size);
        m_sum.Add(buffer, n);
        m_nLength += n;
        return n;
    }
    uint64_t GetPosition() const override { return m_source.GetPosition(); }

    uint32_t Checksum() const { return m_sum.Value(); }
    uint64_t Length() const { return m_nLength; }

private:
    IByteSource& m_source;
    CChecksumAccumulator m_sum;
    uint64_t m_nLength = 0;
};

}  // namespace velkan
