#include "core/package/CFileTableWriter.h"

#include "core/package/CFileEntry.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageFormat.h"

namespace velkan {

using namespace package;

CFileTableWriter::CFileTableWriter(bool win31Alignment) : m_bWin31(win31Alignment)
{
    m_table.PutU32(0);
}

uint32_t CFileTableWriter::AddEntry(const CFileEntry& entry)
{
    size_t position = m_table.Size();
    size_t end = position + entry.EncodedSize();
    // The first entry has no predecessor to carry padding; it starts right after the count.
    if (m_bWin31 && m_bHasPrevious && (position & kWin31PageMask) != (end & kWin31PageMask)) {
        size_t boundary = end & kWin31PageMask;
        m_table.PatchU32(m_nPreviousStart, static_cast<uint32_t>(boundary - m_nPreviousStart));
        m_table.PutZeros(boundary - position);
        position = boundary;
    }
    entry.AppendTo(m_table);
    m_nPreviousStart = position;
    m_bHasPrevious = true;
    return m_nCount++;
}

const std::vector<uint8_t>& CFileTableWriter::Body()
{
    m_table.PatchU32(0, m_nCount);
    return m_table.Bytes();
}

void CFileTableWriter::WriteSection(CSectionWriter& writer)
{
    const std::vector<uint8_t>& body = Body();
    writer.WriteSection(kFileTable, body.data(), static_cast<uint32_t>(body.size()));
}

}  // namespace velkan
