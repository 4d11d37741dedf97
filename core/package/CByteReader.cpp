#include "core/package/CByteReader.h"

#include <cstring>

#include "core/package/CPackageException.h"
#include "core/stream/JoinText.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

CByteReader::CByteReader(const uint8_t* data, size_t size, std::string what)
    : m_data(data), m_size(size), m_what(std::move(what))
{
}

void CByteReader::Fail(const std::string& problem) const
{
    throw CPackageException({m_what, ": ", problem, " (at byte ", m_pos, " of ", m_size, ")"});
}

void CByteReader::Fail(std::initializer_list<TextPiece> problem) const
{
    Fail(JoinText(problem));
}

void CByteReader::Need(size_t count, const char* item)
{
    if (count > m_size - m_pos) Fail({item, " runs past the end"});
}

uint8_t CByteReader::U8()
{
    Need(1, "a byte");
    return m_data[m_pos++];
}

uint16_t CByteReader::U16()
{
    Need(2, "a 16-bit number");
    uint16_t v = LoadLE16(m_data + m_pos);
    m_pos += 2;
    return v;
}

uint32_t CByteReader::U32()
{
    Need(4, "a 32-bit number");
    uint32_t v = LoadLE32(m_data + m_pos);
    m_pos += 4;
    return v;
}

uint64_t CByteReader::U64()
{
    uint64_t low = U32();
    uint64_t high = U32();
    return low | (high << 32);
}

std::string CByteReader::ZString()
{
    const void* end = m_pos < m_size ? std::memchr(m_data + m_pos, 0, m_size - m_pos) : nullptr;
    if (!end) Fail("a string without its terminating 0 byte");
    size_t length = static_cast<const uint8_t*>(end) - (m_data + m_pos);
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), length);
    m_pos += length + 1;
    return s;
}

std::string CByteReader::CountedString()
{
    uint16_t length = U16();
    Need(length, "a counted string");
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), length);
    m_pos += length;
    return s;
}

std::vector<uint8_t> CByteReader::Bytes(size_t count)
{
    Need(count, "a block of bytes");
    std::vector<uint8_t> bytes(m_data + m_pos, m_data + m_pos + count);
    m_pos += count;
    return bytes;
}

void CByteReader::Skip(size_t count)
{
    Need(count, "a block of bytes");
    m_pos += count;
}

void CByteReader::Seek(size_t position)
{
    if (position > m_size) Fail({"an offset ", position, " outside the block"});
    m_pos = position;
}

}  // namespace velkan
