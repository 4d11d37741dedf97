#include "core/package/CMemoryPackageInput.h"

#include <cstring>

#include "core/package/CPackageException.h"

namespace velkan {

CMemoryPackageInput::CMemoryPackageInput(std::vector<uint8_t> bytes, std::string name)
    : m_bytes(std::move(bytes)),
      m_data(m_bytes.data()),
      m_size(m_bytes.size()),
      m_name(std::move(name))
{
}

CMemoryPackageInput::CMemoryPackageInput(const uint8_t* data, size_t size, std::string name)
    : m_data(data), m_size(size), m_name(std::move(name))
{
}

void CMemoryPackageInput::ReadAt(uint64_t position, void* buffer, size_t size)
{
    if (position > m_size || size > m_size - position) {
        throw CPackageException(m_name + ": read of " + std::to_string(size) + " bytes at " +
                                std::to_string(position) + " passes the end of the file");
    }
    if (size) std::memcpy(buffer, m_data + position, size);
}

}  // namespace velkan
