#include "core/model/CData.h"

#include "core/model/CArchive.h"
#include "core/model/FileOption.h"
#include "core/model/PathCompare.h"
#include "core/model/RecordList.h"
#include "core/res/StringTable.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/LanguageTemplates.h"
#include "core/wizard/WizardPage.h"

namespace velkan {

namespace {

constexpr uint32_t kOldestSchema = 0x00010000;

// A chosen full name inside the source directory: cuts name to the part after the directory (and
// one separator) and returns it with backslashes; empty when name lies elsewhere.
std::string RelativeInSource(const std::string& sourceDir, std::string& name)
{
    if (name.size() < sourceDir.size() ||
        !EqualsNoCase(std::string_view(name).substr(0, sourceDir.size()), sourceDir)) {
        return std::string();
    }
    name.erase(0, sourceDir.size());
    if (!name.empty() && (name[0] == '\\' || name[0] == '/')) name.erase(0, 1);
    std::string relative = name;
    for (char& c : relative) {
        if (c == '/') c = '\\';
    }
    return relative;
}

}  // namespace

CData::CData()
    : m_strName(LoadString(1187)), m_strTitle(LoadString(1054)), m_strUninstFile(LoadString(1149))
{
    ResetTexts();
}

void CData::ResetTexts()
{
    m_texts = CTextCatalogue::DefaultTexts();
    m_usages.assign(kTextPageCount, {});
    for (int page = 0; page < kTextPageCount; ++page) {
        for (int text = 0; text < CTextCatalogue::TextCount(page); ++text) {
            m_usages[page].push_back(CTextCatalogue::GetUsage(page, text));
        }
    }
}

void CData::OverlayTexts(const TextPages& stored)
{
    for (size_t page = 0; page < stored.size() && page < m_texts.size(); ++page) {
        for (size_t text = 0; text < stored[page].size() && text < m_texts[page].size(); ++text) {
            m_texts[page][text] = stored[page][text];
        }
    }
}

size_t CData::TextMemory() const
{
    size_t bytes = 0;
    for (const auto& page : m_texts) {
        bytes += sizeof(page);
        for (const std::string& text : page) bytes += sizeof(text) + text.capacity();
    }
    return bytes;
}

void CData::ReadTexts(CArchive& ar)
{
    ResetTexts();
    ar.Charge(TextMemory(), "the wizard texts of a version");
    TextPages stored(ar.ReadCount(2, sizeof(TextPages::value_type)));
    for (auto& page : stored) page = ar.ReadStringArray();
    OverlayTexts(stored);
}

std::vector<int> CData::ApplyWizardChoices()
{
    std::vector<int> changed;
    if (!m_strWizIconFile.empty() && !m_strWizIconName.empty()) {
        std::string relative = RelativeInSource(m_strSourceDir, m_strWizIconFile);
        int index = relative.empty() ? -1 : m_files.IndexOf(relative);
        if (index >= 0) {
            CFileItem& file = m_files[static_cast<size_t>(index)];
            file.m_strMenuFolder = m_strTitle;
            file.m_strMenuName = m_strWizIconName;
            if (m_bWizShortcut) file.m_strShortcutName = m_strWizIconName;
            changed.push_back(index);
        }
    }
    struct EndChoice {
        std::string* file;
        int endPage;        // OptEndPage value
        size_t text;        // slot of the End page's text
        std::string intro;  // its new text
    };
    const NewProjectTexts english = DefaultNewProjectTexts();
    const EndChoice choices[] = {
        {&m_strWizViewFile, EndPageView, kEndViewIntroText,
         m_strWizViewIntro.empty() ? english.viewIntro : m_strWizViewIntro},
        {&m_strWizRunFile, EndPageRun, kEndRunIntroText,
         m_strWizRunIntro.empty() ? english.runIntro : m_strWizRunIntro}};
    for (const EndChoice& choice : choices) {
        if (choice.file->empty()) continue;
        std::string relative = RelativeInSource(m_strSourceDir, *choice.file);
        int index = relative.empty() ? -1 : m_files.IndexOf(relative);
        if (index < 0) continue;
        m_files[static_cast<size_t>(index)].SetOption(OptEndPage, choice.endPage);
        if (m_texts.size() > PageEnd && m_texts[PageEnd].size() > choice.text) {
            m_texts[PageEnd][choice.text] = choice.intro;
        }
        changed.push_back(index);
    }
    return changed;
}

void CData::CopyFrom(const CData& other)
{
    if (this == &other) return;
    m_strName = other.m_strName;
    m_strSourceDir = other.m_strSourceDir;
    m_bSubDirs = other.m_bSubDirs;
    m_files.clear();
    for (const CFileItem& item : other.m_files) m_files.AddUnique(item);
    m_strTitle = other.m_strTitle;
    m_texts = other.m_texts;
    m_usages = other.m_usages;
    m_strUninstFile = other.m_strUninstFile;
    m_strUninstFolder = other.m_strUninstFolder;
    m_strUninstIcon = other.m_strUninstIcon;
    m_strUninstExtra = other.m_strUninstExtra;
    m_regKeysToRemove = other.m_regKeysToRemove;
    m_strInstallDir = other.m_strInstallDir;
    m_nDirFlags = other.m_nDirFlags;
    m_nDirRootKey = other.m_nDirRootKey;
    m_strDirKey = other.m_strDirKey;
    m_strDirSubkey = other.m_strDirSubkey;
    m_strDirIniFile = other.m_strDirIniFile;
    m_strDirIniSection = other.m_strDirIniSection;
    m_strDirIniEntry = other.m_strDirIniEntry;
    m_iniEntries = other.m_iniEntries;
    m_regEntries = other.m_regEntries;
    m_fileStrings = other.m_fileStrings;
    m_bWizardPending = other.m_bWizardPending;
    m_bAutoBuild = other.m_bAutoBuild;
    m_strWizIconFile = other.m_strWizIconFile;
    m_strWizIconName = other.m_strWizIconName;
    m_bWizShortcut = other.m_bWizShortcut;
    m_strWizViewFile = other.m_strWizViewFile;
    m_strWizRunFile = other.m_strWizRunFile;
    m_strWizViewIntro = other.m_strWizViewIntro;
    m_strWizRunIntro = other.m_strWizRunIntro;
    m_bKeepOutputPath = other.m_bKeepOutputPath;
}

void CData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteDword(kSchema);
        ar.WriteString(m_strName);
        ar.WriteString(std::string());  // reserved
        ar.WriteString(m_strSourceDir);
        ar.WriteInt(m_bSubDirs);
        WriteRecordList(ar, m_files);
        ar.WriteString(m_strTitle);
        ar.WriteCount(m_texts.size());
        for (const auto& page : m_texts) ar.WriteStringArray(page);
        ar.WriteString(m_strUninstFile);
        ar.WriteString(m_strUninstFolder);
        ar.WriteString(m_strUninstIcon);
        ar.WriteString(m_strUninstExtra);
        ar.WriteStringArray(m_regKeysToRemove);
        ar.WriteInt(m_nDirFlags);
        ar.WriteString(m_strInstallDir);
        ar.WriteInt(m_nDirRootKey);
        ar.WriteString(m_strDirKey);
        ar.WriteString(m_strDirSubkey);
        ar.WriteString(m_strDirIniFile);
        ar.WriteString(m_strDirIniSection);
        ar.WriteString(m_strDirIniEntry);
        WriteRecordList(ar, m_iniEntries);
        WriteRecordList(ar, m_regEntries);
        WriteRecordList(ar, m_fileStrings);
        return;
    }

    const uint32_t schema = ar.ReadDword();
    if (schema < kOldestSchema || schema > kSchema) {
        ar.FailSchema(LoadString(1230), "version", schema);
    }
    if (schema >= 0x00010002) {
        m_strName = ar.ReadString();
        ar.ReadString();  // reserved
    }
    m_strSourceDir = ar.ReadString();
    m_bSubDirs = ar.ReadInt();
    ReadRecordList(ar, m_files);
    m_strTitle = ar.ReadString();
    ReadTexts(ar);
    m_strUninstFile = ar.ReadString();
    m_strUninstFolder = ar.ReadString();
    m_strUninstIcon = ar.ReadString();
    if (schema == 0x00010005) m_strUninstExtra = ar.ReadString();
    m_regKeysToRemove = ar.ReadStringArray();
    if (schema >= 0x00010003) {
        m_nDirFlags = ar.ReadInt();
    } else {
        m_nDirFlags = ar.ReadDword() != 0 ? kDirChangeable : 0;
    }
    m_strInstallDir = ar.ReadString();
    if (schema > kOldestSchema) {
        m_nDirRootKey = ar.ReadInt();
        m_strDirKey = ar.ReadString();
        m_strDirSubkey = ar.ReadString();
        m_strDirIniFile = ar.ReadString();
        m_strDirIniSection = ar.ReadString();
        m_strDirIniEntry = ar.ReadString();
    }
    ReadRecordList(ar, m_iniEntries);
    ReadRecordList(ar, m_regEntries);
    ReadRecordList(ar, m_fileStrings);
    m_bAutoBuild = 0;
}

}  // namespace velkan
