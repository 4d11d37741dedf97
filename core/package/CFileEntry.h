// One entry of a version's file table: the 38-byte fixed part, the optional version and times
// blocks, and six strings. The writer fills it from the model and the build's decisions; the
// reader decodes it from a table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/model/FileOption.h"

namespace velkan {

class CByteBuffer;
class CData;
class CFileItem;

class CFileEntry {
public:
    // An entry carrying the file item's options, icon and shortcut. An empty icon name empties
    // the folder and icon options and zeroes the icon number; an empty shortcut name empties the
    // shortcut options. The numbers (checksum, sizes, offset, source fields, flags) are left 0.
    static CFileEntry FromFileItem(const CFileItem& item);
    // The first entry of a version with an uninstaller: flags 1, strings m_strUninstFile,
    // m_strUninstFolder, m_strUninstIcon and three empty ones, its data the uninstaller data block.
    static CFileEntry Uninstaller(const CData& version, uint32_t blockSize, uint32_t offset,
                                  uint32_t packedSize);

    bool HasVersionBlock() const;
    bool HasTimesBlock() const;
    // Bytes the entry takes without alignment padding.
    uint32_t EncodedSize() const;
    // Appends the entry with its size field set to EncodedSize().
    void AppendTo(CByteBuffer& table) const;

    // True when the entry's file is kept outside the package (nothing stored).
    bool IsExternal() const;
    // True when the entry names no data at all ("do not install" with an icon or shortcut).
    bool HasNoData() const;

    uint32_t m_nEntrySize = 0;  // as read; the writer computes it
    uint16_t m_nIconIndex = 0;
    std::array<uint8_t, kFileOptionCount> m_nOptions{};
    uint8_t m_nFlags = 0;
    uint32_t m_nChecksum = 0;  // file checksum XOR package key
    uint32_t m_nSize = 0;
    uint32_t m_nOffset = 0;
    uint32_t m_nPackedSize = 0;
    uint32_t m_nSourceEntry = 0;
    uint16_t m_nSourceVersion = 0;

    // Version block (flags 0x02 / 0x04).
    uint32_t m_nFileVersionMS = 0;
    uint32_t m_nFileVersionLS = 0;
    uint32_t m_nProductVersionMS = 0;
    uint32_t m_nProductVersionLS = 0;
    uint32_t m_nTranslation = 0;
    // Times block (flag 0x08): FILETIME values.
    uint64_t m_nCreationTime = 0;
    uint64_t m_nAccessTime = 0;
    uint64_t m_nWriteTime = 0;

    std::string m_strPath;
    std::string m_strMenuFolder;
    std::string m_strMenuName;
    std::string m_strMenuArgs;
    std::string m_strShortcutName;
    std::string m_strShortcutArgs;

    bool operator==(const CFileEntry&) const = default;
};

}  // namespace velkan
