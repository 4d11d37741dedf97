// One version of the product: a complete install configuration with its own source directory,
// file list, wizard texts, installation directory, uninstaller and INI, registry and in-file
// string writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/CFileInfo.h"
#include "core/model/CFileList.h"
#include "core/model/CIniInfo.h"
#include "core/model/CRegInfo.h"
#include "core/model/DirFlags.h"

namespace velkan {

class CArchive;

using TextPages = std::vector<std::vector<std::string>>;

class CData {
public:
    static constexpr uint32_t kSchema = 0x00010005;

    CData();

    // Rebuilds m_texts and m_usages from the wizard text catalogue.
    void ResetTexts();
    // The memory the wizard texts take: what every version read costs, however short its record.
    size_t TextMemory() const;
    // Overwrites the catalogue's texts by position with stored ones; stored pages and texts
    // beyond the catalogue are dropped, missing ones keep their defaults.
    void OverlayTexts(const TextPages& stored);

    // Applies what the new-project wizard left in the transient fields to the scanned files: the
    // Start-menu icon (and desktop shortcut) of the chosen program, and the End page's View and
    // Run files with their texts. Chosen names that lie in the source directory are cut to their
    // relative part in place. Returns the indexes of the files changed.
    std::vector<int> ApplyWizardChoices();

    // Copies every field, the transient ones too; the file list is copied without duplicates.
    void CopyFrom(const CData& other);
    void Serialize(CArchive& ar);

    // Reads the wizard texts as stored (a count of pages, each a string array) over the defaults.
    void ReadTexts(CArchive& ar);

    std::string m_strName;
    std::string m_strSourceDir;
    int32_t m_bSubDirs = 1;
    CFileList m_files;
    std::string m_strTitle;
    TextPages m_texts;
    TextPages m_usages;
    std::string m_strUninstFile;
    std::string m_strUninstFolder;
    std::string m_strUninstIcon;
    std::string m_strUninstExtra;
    std::vector<std::string> m_regKeysToRemove;
    std::string m_strInstallDir;
    int32_t m_nDirFlags = kDirChangeable;
    int32_t m_nDirRootKey = 0;
    std::string m_strDirKey;
    std::string m_strDirSubkey;
    std::string m_strDirIniFile;
    std::string m_strDirIniSection;
    std::string m_strDirIniEntry;
    std::vector<CIniInfo> m_iniEntries;
    std::vector<CRegInfo> m_regEntries;
    std::vector<CFileInfo> m_fileStrings;

    // Transient: never stored, never written into the package.
    int32_t m_bWizardPending = 0;
    int32_t m_bAutoBuild = 0;
    std::string m_strWizIconFile;
    std::string m_strWizIconName;
    int32_t m_bWizShortcut = 0;
    std::string m_strWizViewFile;
    std::string m_strWizRunFile;
    // The End page's lines for the view and run files in the project's language; empty: English.
    std::string m_strWizViewIntro;
    std::string m_strWizRunIntro;
    int32_t m_bKeepOutputPath = 0;
};

}  // namespace velkan
