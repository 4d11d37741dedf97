#include "runtime/CPathMacros.h"

#include <windows.h>
#include <shlobj.h>

#include "runtime/WinRegistry.h"

namespace velkan::runtime {

namespace {

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                path)))
        return {};
    return TrimSlash(path);
}

std::wstring RegisteredInfo(const wchar_t* name)
{
    std::wstring value;
    ReadStringValue(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion", name,
                    value);
    return value;
}

}  // namespace

std::wstring TrimSlash(std::wstring path)
{
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
           !(path.size() == 3 && path[1] == L':')) {
        path.pop_back();
    }
    return path;
}

CPathMacros::CPathMacros(std::wstring installDir, std::wstring sourceDir)
    : m_strInstallDir(std::move(installDir)), m_strSourceDir(std::move(sourceDir))
{
}

std::wstring CPathMacros::WindowsDir()
{
    wchar_t path[MAX_PATH] = L"";
    GetWindowsDirectoryW(path, MAX_PATH);
    return TrimSlash(path);
}

std::wstring CPathMacros::SystemDir()
{
    wchar_t path[MAX_PATH] = L"";
    GetSystemDirectoryW(path, MAX_PATH);
    return TrimSlash(path);
}

std::wstring CPathMacros::FontsDir()
{
    std::wstring fonts = ShellFolder(CSIDL_FONTS);
    return fonts.empty() ? WindowsDir() + L"\\Fonts" : fonts;
}

bool CPathMacros::s_bAllUsers = false;

std::wstring CPathMacros::ProgramsFolder()
{
    return ShellFolder(s_bAllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS);
}

std::wstring CPathMacros::DesktopFolder()
{
    return ShellFolder(s_bAllUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
}

std::wstring CPathMacros::Value(const std::wstring& token, bool& known) const
{
    known = true;
    if (token == L"#Windows#") return WindowsDir();
    if (token == L"#System#") return SystemDir();
    if (token == L"#Program Files#") {
        std::wstring dir = ShellFolder(CSIDL_PROGRAM_FILES);
        return dir.empty() ? WindowsDir().substr(0, 2) + L"\\Program Files" : dir;
    }
    if (token == L"#InstallDir#") return TrimSlash(m_strInstallDir);
    if (token == L"#SourceDir#") return TrimSlash(m_strSourceDir);
    if (token == L"#UserName#") {
        std::wstring owner = RegisteredInfo(L"RegisteredOwner");
        if (!owner.empty()) return owner;
        wchar_t name[256];
        DWORD size = 256;
        return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
    }
    if (token == L"#UserCompany#") return RegisteredInfo(L"RegisteredOrganization");
    if (token == L"#Date#") {
        wchar_t date[80] = L"";
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 80);
        return date;
    }
    if (token == L"#Start Menu#")
        return ShellFolder(s_bAllUsers ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU);
    if (token == L"#Startup#")
        return ShellFolder(s_bAllUsers ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP);
    known = false;
    return token;
}

std::wstring CPathMacros::Expand(const std::wstring& text) const
{
    std::wstring out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find(L'#', pos);
        if (open == std::wstring::npos) break;
        size_t close = text.find(L'#', open + 1);
        if (close == std::wstring::npos) break;
        bool known = false;
        std::wstring value = Value(text.substr(open, close - open + 1), known);
        if (known) {
            out.append(text, pos, open - pos);
            out += value;
            pos = close + 1;
        } else {
            // Not a token: keep the first '#' and look again from the second one.
            out.append(text, pos, close - pos);
            pos = close;
        }
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}

}  // namespace velkan::runtime
