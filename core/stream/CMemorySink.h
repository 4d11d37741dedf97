// A byte sink that collects everything written into a vector.
#pragma once

#include <vector>

#include "core/stream/IByteSink.h"

namespace velkan {

class CMemorySink : public IByteSink {
public:
    void Write(const void* data, size_t size) override
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    uint64_t GetPosition() const override { return m_bytes.size(); }
    // Makes room for size bytes in all, when the caller knows how much will come.
    void Reserve(size_t size) { m_bytes.reserve(size); }

    const std::vector<unsigned char>& Bytes() const { return m_bytes; }
    std::vector<unsigned char> Take() { return std::move(m_bytes); }

private:
    std::vector<unsigned char> m_bytes;
};

}  // namespace velkan
