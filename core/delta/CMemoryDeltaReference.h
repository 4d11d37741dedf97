// A reference held in memory. The block must outlive the object.
#pragma once

#include <cstring>

#include "core/delta/IDeltaReference.h"

namespace velkan {

class CMemoryDeltaReference : public IDeltaReference {
public:
    CMemoryDeltaReference(const void* data, size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size)
    {
    }

    uint64_t GetLength() const override { return m_size; }
    void ReadAt(uint64_t position, void* buffer, size_t size) override
    {
        if (size) std::memcpy(buffer, m_data + position, size);
    }

private:
    const unsigned char* m_data;
    size_t m_size;
};

}  // namespace velkan
