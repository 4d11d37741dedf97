#include "core/model/CFileItem.h"

#include "core/model/CArchive.h"
#include "core/model/PathCompare.h"

namespace velkan {

CFileItem::CFileItem(const std::string& path) : m_strPath(path)
{
    if (EndsWithNoCase(path, ".dll") || EndsWithNoCase(path, ".ocx")) {
        m_nOptions[OptUsageCount] = OptionOn;
    }
}

int CFileItem::GetOption(int option) const
{
    return option >= 0 && option < kFileOptionCount ? m_nOptions[option] : 0;
}

void CFileItem::SetOption(int option, int value)
{
    if (option >= 0 && option < kFileOptionCount) m_nOptions[option] = value;
}

std::string CFileItem::FlagsText() const
{
    std::string t(8, '.');
    if (!m_strMenuName.empty()) t[0] = 'i';
    if (!m_strShortcutName.empty()) t[1] = 's';
    switch (GetOption(OptEndPage)) {
    case EndPageView: t[2] = 'v'; break;
    case EndPageRun: t[2] = 'r'; break;
    default: break;
    }
    switch (GetOption(OptDestination)) {
    case DestWindows: t[3] = 'w'; break;
    case DestSystem: t[3] = 's'; break;
    case DestFonts: t[3] = 'f'; break;
    default: break;
    }
    if (GetOption(OptUsageCount) == OptionOn && GetOption(OptDestination) != DestInstallDir) {
        t[4] = 'u';
    }
    switch (GetOption(OptInstallMode)) {
    case InstallKeep: t[5] = 'x'; break;
    case InstallSkip: t[5] = 'N'; break;
    case InstallDirectoryOnly: t[5] = 'd'; break;
    default: break;
    }
    switch (GetOption(OptSpecial)) {
    case SpecialScreenSaver: t[6] = 'v'; break;
    case SpecialRegisterOcx: t[6] = 'o'; break;
    default: break;
    }
    if (GetOption(OptKeepExternal) == OptionOn) t[7] = 'e';
    return t;
}

void CFileItem::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteString(m_strPath);
        ar.WriteDword(kSchema);
        for (int32_t option : m_nOptions) ar.WriteInt(option);
        ar.WriteString(m_strMenuFolder);
        ar.WriteString(m_strMenuName);
        ar.WriteString(m_strMenuArgs);
        ar.WriteInt(m_nIconIndex);
        ar.WriteString(m_strShortcutName);
        ar.WriteString(m_strShortcutArgs);
        return;
    }
    m_strPath = ar.ReadString();
    const int32_t m = ar.ReadInt();
    uint32_t count;
    if (m < 0x00007001) {  // the oldest form: an ignored DWORD, then the option count
        ar.ReadDword();
        count = ar.ReadDword();
    } else if (m == 0x00007001) {
        count = 2;
    } else if (m == 0x00007002) {
        count = 5;
    } else {
        count = 6;
    }
    for (uint32_t i = 0; i < count; ++i) {
        int32_t value = ar.ReadInt();
        if (i < kFileOptionCount) m_nOptions[i] = value;
    }
    m_strMenuFolder = ar.ReadString();
    m_strMenuName = ar.ReadString();
    m_strMenuArgs = ar.ReadString();
    m_nIconIndex = ar.ReadInt();
    if (m >= 0x00007001) {
        m_strShortcutName = ar.ReadString();
        m_strShortcutArgs = ar.ReadString();
    }
}

}  // namespace velkan
