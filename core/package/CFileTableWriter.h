// Builds one version's file table (section 0x123A) in memory: a u32 entry count, then the
// entries. In a Windows 3.1 package no entry may straddle a 64 KB boundary of the table body: the
// entry before a boundary absorbs the padding in its size field, so stepping by sizes still works.
#pragma once

#include <cstdint>
#include <vector>

#include "core/package/CByteBuffer.h"

namespace velkan {

class CFileEntry;
class CSectionWriter;

class CFileTableWriter {
public:
    explicit CFileTableWriter(bool win31Alignment);

    // Appends an entry and returns its index in the table.
    uint32_t AddEntry(const CFileEntry& entry);
    uint32_t GetCount() const { return m_nCount; }

    // The table body with the count filled in.
    const std::vector<uint8_t>& Body();
    // Writes the body as section 0x123A (the empty table is the unpacked count 0).
    void WriteSection(CSectionWriter& writer);

private:
    bool m_bWin31;
    CByteBuffer m_table;
    uint32_t m_nCount = 0;
    bool m_bHasPrevious = false;
    size_t m_nPreviousStart = 0;
};

}  // namespace velkan
