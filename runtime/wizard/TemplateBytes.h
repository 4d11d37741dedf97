// The little-endian fields of dialog templates, for the code that builds, checks and widens them:
// a reader that stops at the end of its bytes instead of passing it, and the writers' puts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/stream/LittleEndian.h"

namespace velkan::runtime {

// The template's header is followed by a font (its size and name).
constexpr uint32_t kDsSetFont = 0x40;

class CTemplateReader {
public:
    CTemplateReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Skip(size_t n)
    {
        if (n > m_size - m_pos) return false;
        m_pos += n;
        return true;
    }
    bool U8(uint8_t& v)
    {
        if (m_pos >= m_size) return false;
        v = m_data[m_pos++];
        return true;
    }
    bool U16(uint16_t& v)
    {
        if (m_size - m_pos < 2) return false;
        v = LoadLE16(m_data + m_pos);
        m_pos += 2;
        return true;
    }
    bool I16(int16_t& v)
    {
        uint16_t u = 0;
        if (!U16(u)) return false;
        v = static_cast<int16_t>(u);
        return true;
    }
    bool U32(uint32_t& v)
    {
        uint16_t lo = 0, hi = 0;
        if (!U16(lo) || !U16(hi)) return false;
        v = lo | (static_cast<uint32_t>(hi) << 16);
        return true;
    }
    bool Bytes(std::vector<uint8_t>& out, size_t n)
    {
        if (n > m_size - m_pos) return false;
        out.assign(m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
        return true;
    }
    // Whether the next byte is there and equals b; nothing is read.
    bool NextIs(uint8_t b) const { return m_pos < m_size && m_data[m_pos] == b; }
    size_t Position() const { return m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Pads with zeros to a multiple of 4 bytes from start (Win32 templates and their items are
// DWORD-aligned).
inline void AlignDword(std::vector<uint8_t>& out, size_t start = 0)
{
    while ((out.size() - start) % 4) out.push_back(0);
}

}  // namespace velkan::runtime
