// A read-only view of a block of memory as a byte source. The block must outlive the source.
#pragma once

#include <algorithm>
#include <cstring>

#include "core/stream/IByteSource.h"

namespace velkan {

class CMemorySource : public IByteSource {
public:
    CMemorySource(const void* data, size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size)
    {
    }

    size_t Read(void* buffer, size_t size) override
    {
        size_t n = std::min(size, m_size - m_pos);
        if (n) std::memcpy(buffer, m_data + m_pos, n);
        m_pos += n;
        return n;
    }
    uint64_t GetPosition() const override { return m_pos; }

private:
    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

}  // namespace velkan
