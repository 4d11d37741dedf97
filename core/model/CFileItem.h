// One file of a version's file list: its path relative to the source directory, its options,
// its Start-menu icon and its desktop shortcut.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/model/FileOption.h"

namespace velkan {

class CArchive;

class CFileItem {
public:
    static constexpr uint32_t kSchema = 0x00007003;

    CFileItem() = default;
    // A new item for a path: the defaults, with the usage count set for ".dll" and ".ocx" files.
    explicit CFileItem(const std::string& path);

    int GetOption(int option) const;
    void SetOption(int option, int value);
    // The eight-character summary of the Files page list ("i..su..." and so on).
    std::string FlagsText() const;

    void CopyFrom(const CFileItem& other) { *this = other; }
    void Serialize(CArchive& ar);

    std::string m_strPath;
    std::array<int32_t, kFileOptionCount> m_nOptions{DestInstallDir, EndPageNone, OptionOff,
                                                     InstallNormal,  SpecialNone, OptionOff};
    std::string m_strMenuFolder;
    std::string m_strMenuName;
    std::string m_strMenuArgs;
    int32_t m_nIconIndex = 0;
    std::string m_strShortcutName;
    std::string m_strShortcutArgs;

    bool operator==(const CFileItem&) const = default;
};

}  // namespace velkan
