#include "core/package/CChecksumAccumulator.h"

#include "core/stream/LittleEndian.h"

namespace velkan {

namespace {

inline uint32_t Step(uint32_t sum, uint32_t value)
{
    return ((sum << 1) | (sum >> 31)) + value;
}

}  // namespace

void CChecksumAccumulator::Add(const void* bytes, size_t length)
{
    const auto* p = static_cast<const uint8_t*>(bytes);
    while (length > 0 && m_pendingCount > 0) {
        m_pending[m_pendingCount++] = *p++;
        --length;
        if (m_pendingCount == 4) {
            m_sum = Step(m_sum, LoadLE32(m_pending));
            m_pendingCount = 0;
        }
    }
    size_t whole = length / 4 * 4;
    for (size_t i = 0; i < whole; i += 4) m_sum = Step(m_sum, LoadLE32(p + i));
    for (size_t i = whole; i < length; ++i) m_pending[m_pendingCount++] = p[i];
}

uint32_t CChecksumAccumulator::Value() const
{
    uint32_t sum = m_sum;
    for (size_t i = 0; i < m_pendingCount; ++i) sum = Step(sum, m_pending[i]);
    return sum;
}

}  // namespace velkan
