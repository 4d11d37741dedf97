#include "core/package/CFileEntry.h"

#include "core/model/CData.h"
#include "core/model/CFileItem.h"
#include "core/package/CByteBuffer.h"
#include "core/package/PackageFormat.h"

namespace velkan {

using namespace package;

CFileEntry CFileEntry::FromFileItem(const CFileItem& item)
{
    CFileEntry entry;
    for (size_t i = 0; i < entry.m_nOptions.size(); ++i) {
        entry.m_nOptions[i] = static_cast<uint8_t>(item.m_nOptions[i]);
    }
    entry.m_strPath = item.m_strPath;
    if (!item.m_strMenuName.empty()) {
        entry.m_nIconIndex = static_cast<uint16_t>(item.m_nIconIndex);
        entry.m_strMenuFolder = item.m_strMenuFolder;
        entry.m_strMenuName = item.m_strMenuName;
        entry.m_strMenuArgs = item.m_strMenuArgs;
    }
    if (!item.m_strShortcutName.empty()) {
        entry.m_strShortcutName = item.m_strShortcutName;
        entry.m_strShortcutArgs = item.m_strShortcutArgs;
    }
    return entry;
}

CFileEntry CFileEntry::Uninstaller(const CData& version, uint32_t blockSize, uint32_t offset,
                                   uint32_t packedSize)
{
    CFileEntry entry;
    entry.m_nFlags = kEntryUninstaller;
    entry.m_nSize = blockSize;
    entry.m_nOffset = offset;
    entry.m_nPackedSize = packedSize;
    entry.m_strPath = version.m_strUninstFile;
    entry.m_strMenuFolder = version.m_strUninstFolder;
    entry.m_strMenuName = version.m_strUninstIcon;
    return entry;
}

bool CFileEntry::HasVersionBlock() const
{
    return (m_nFlags & (kEntryHasVersion | kEntryHasTranslation)) != 0;
}

bool CFileEntry::HasTimesBlock() const
{
    return (m_nFlags & kEntryHasTimes) != 0;
}

bool CFileEntry::IsExternal() const
{
    return m_nOffset == kOffsetExternal;
}

bool CFileEntry::HasNoData() const
{
    return !IsExternal() && m_nPackedSize == 0 && (m_nFlags & kEntryDelta) == 0;
}

uint32_t CFileEntry::EncodedSize() const
{
    size_t size = kEntryFixedSize;
    if (HasVersionBlock()) size += kEntryVersionBlockSize;
    if (HasTimesBlock()) size += kEntryTimesBlockSize;
    size += m_strPath.size() + m_strMenuFolder.size() + m_strMenuName.size() +
            m_strMenuArgs.size() + m_strShortcutName.size() + m_strShortcutArgs.size() +
            kEntryStringCount;
    return static_cast<uint32_t>(size);
}

void CFileEntry::AppendTo(CByteBuffer& table) const
{
    table.PutU32(EncodedSize());
    table.PutU16(0);
    table.PutU16(m_nIconIndex);
    table.PutBytes(m_nOptions.data(), m_nOptions.size());
    table.PutU8(m_nFlags);
    table.PutU8(0);
    table.PutU32(m_nChecksum);
    table.PutU32(m_nSize);
    table.PutU32(m_nOffset);
    table.PutU32(m_nPackedSize);
    table.PutU32(m_nSourceEntry);
    table.PutU16(m_nSourceVersion);
    if (HasVersionBlock()) {
        table.PutU32(m_nFileVersionMS);
        table.PutU32(m_nFileVersionLS);
        table.PutU32(m_nProductVersionMS);
        table.PutU32(m_nProductVersionLS);
        table.PutU32(m_nTranslation);
    }
    if (HasTimesBlock()) {
        table.PutU64(m_nCreationTime);
        table.PutU64(m_nAccessTime);
        table.PutU64(m_nWriteTime);
    }
    table.PutZString(m_strPath);
    table.PutZString(m_strMenuFolder);
    table.PutZString(m_strMenuName);
    table.PutZString(m_strMenuArgs);
    table.PutZString(m_strShortcutName);
    table.PutZString(m_strShortcutArgs);
}

}  // namespace velkan
