#include "core/package/CByteBuffer.h"

#include <cstring>

#include "core/stream/LittleEndian.h"

namespace velkan {

void CByteBuffer::Reserve(size_t more)
{
    size_t needed = m_bytes.size() + more;
    if (needed > m_bytes.capacity()) {
        m_bytes.reserve((needed + kGrowth - 1) / kGrowth * kGrowth + m_bytes.capacity() / 2);
    }
}

void CByteBuffer::PutU8(uint8_t value)
{
    Reserve(1);
    m_bytes.push_back(value);
}

void CByteBuffer::PutU16(uint16_t value)
{
    uint8_t b[2];
    StoreLE16(b, value);
    PutBytes(b, 2);
}

void CByteBuffer::PutU32(uint32_t value)
{
    uint8_t b[4];
    StoreLE32(b, value);
    PutBytes(b, 4);
}

void CByteBuffer::PutU64(uint64_t value)
{
    PutU32(static_cast<uint32_t>(value));
    PutU32(static_cast<uint32_t>(value >> 32));
}

void CByteBuffer::PutBytes(const void* data, size_t size)
{
    if (size == 0) return;
    Reserve(size);
    const auto* p = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
}

void CByteBuffer::PutZeros(size_t count)
{
    Reserve(count);
    m_bytes.insert(m_bytes.end(), count, 0);
}

void CByteBuffer::PutZString(std::string_view text)
{
    PutBytes(text.data(), text.size());
    PutU8(0);
}

void CByteBuffer::PutCountedString(std::string_view text)
{
    size_t length = text.size() > 0xFFFF ? 0xFFFF : text.size();
    PutU16(static_cast<uint16_t>(length));
    PutBytes(text.data(), length);
}

void CByteBuffer::PatchU32(size_t position, uint32_t value)
{
    m_bytes.at(position + 3);  // throws out_of_range past the end
    StoreLE32(m_bytes.data() + position, value);
}

void CByteBuffer::PatchU16(size_t position, uint16_t value)
{
    m_bytes.at(position + 1);  // throws out_of_range past the end
    StoreLE16(m_bytes.data() + position, value);
}

}  // namespace velkan
