// A setup program (or continuation file) held in memory.
#pragma once

#include <vector>

#include "core/package/IPackageInput.h"

namespace velkan {

class CMemoryPackageInput : public IPackageInput {
public:
    CMemoryPackageInput(std::vector<uint8_t> bytes, std::string name);
    // A view of a block that outlives the object (nothing is copied).
    CMemoryPackageInput(const uint8_t* data, size_t size, std::string name);

    uint64_t GetLength() const override { return m_size; }
    void ReadAt(uint64_t position, void* buffer, size_t size) override;
    std::string GetName() const override { return m_name; }

private:
    std::vector<uint8_t> m_bytes;
    const uint8_t* m_data;
    size_t m_size;
    std::string m_name;
};

}  // namespace velkan
