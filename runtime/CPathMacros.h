// Expands the path macro tokens that project strings may hold ("#Windows#", "#System#",
// "#Program Files#", "#InstallDir#", "#SourceDir#", "#UserName#", "#UserCompany#", "#Date#",
// "#Start Menu#", "#Startup#") with their values on this machine. Tokens are matched exactly
// (case and spelling); anything else, an unknown "#word#" included, stays as written.
//
// Values: the Windows and system directories; the program files folder; the installation
// directory chosen for this run; the folder of the setup program; the registered owner and
// organisation of Windows (else the account name and an empty company); today's date in the
// user's short date format; the Start menu and Startup folders (all users' for a per-machine
// install, the current user's otherwise). Directories come
// without a trailing backslash.
#pragma once

#include <string>

namespace velkan::runtime {

class CPathMacros {
public:
    CPathMacros(std::wstring installDir, std::wstring sourceDir);

    std::wstring Expand(const std::wstring& text) const;
    void SetInstallDir(const std::wstring& dir) { m_strInstallDir = dir; }

    // A per-machine install puts icons and shortcuts (and the Start menu macros) in the folders
    // shared by all users; a per-user install in the user's own.
    static void SetAllUsers(bool allUsers) { s_bAllUsers = allUsers; }
    // The folders the runtime places icons and shortcuts in.
    static std::wstring ProgramsFolder();
    static std::wstring DesktopFolder();
    static std::wstring WindowsDir();
    static std::wstring SystemDir();
    static std::wstring FontsDir();

private:
    std::wstring Value(const std::wstring& token, bool& known) const;

    std::wstring m_strInstallDir;
    std::wstring m_strSourceDir;
    static bool s_bAllUsers;
};

// Removes trailing backslashes except the one of a drive root ("C:\").
std::wstring TrimSlash(std::wstring path);

}  // namespace velkan::runtime
