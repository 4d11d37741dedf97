// A byte sink that passes everything on while summing it with the package checksum, so a file is
// written once to be both placed and checked.
#pragma once

#include <cstdint>

#include "core/package/CChecksumAccumulator.h"
#include "core/stream/IByteSink.h"

namespace velkan {

class CChecksumSink : public IByteSink {
public:
    explicit CChecksumSink(IByteSink& next) : m_next(next) {}
    void Write(const void* data, size_t size) override
    {
        m_sum.Add(data, size);
        m_next.Write(data, size);
        m_written += size;
    }
    uint64_t GetPosition() const override { return m_written; }
    uint32_t Value() const { return m_sum.Value(); }

private:
    IByteSink& m_next;
    CChecksumAccumulator m_sum;
    uint64_t m_written = 0;
};

}  // namespace velkan
