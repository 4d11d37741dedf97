#include "runtime/ProtectedFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "core/install/InstallPaths.h"
#include "core/install/WideText.h"
#include "runtime/CPathMacros.h"
#include "runtime/RuntimePaths.h"

namespace velkan::runtime {

namespace {

const int kSharedFolders[] = {
    CSIDL_WINDOWS,
    CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_FONTS,
    CSIDL_PROFILE,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,
    CSIDL_COMMON_APPDATA,
    CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
    CSIDL_MYMUSIC,
    CSIDL_MYPICTURES,
    CSIDL_MYVIDEO,
    CSIDL_TEMPLATES,
    CSIDL_INTERNET_CACHE,
};

bool SameFolder(const std::wstring& a, const std::wstring& b)
{
    return !b.empty() && install::SameName(a, CanonicalPath(b));
}

std::wstring Folder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return TrimSlash(path);
}

}  // namespace

std::wstring CanonicalPath(const std::wstring& path)
{
    std::wstring plain = install::PlainPath(path);
    if (plain.empty()) plain = install::PlainPath(FullPath(path));
    if (plain.empty()) return {};
    // Short names (PROGRA~1) read as the long ones, where the folder exists.
    std::wstring prefixed = LongPath(plain);
    DWORD n = GetLongPathNameW(prefixed.c_str(), nullptr, 0);
    if (n == 0) return plain;
    std::wstring full(n, L'\0');
    n = GetLongPathNameW(prefixed.c_str(), full.data(), n);
    if (n == 0 || n >= full.size()) return plain;
    full.resize(n);
    std::wstring canonical = install::PlainPath(full);
    return canonical.empty() ? plain : canonical;
}

bool IsProtectedFolder(const std::wstring& dirIn)
{
    std::wstring dir = CanonicalPath(dirIn);
    if (dir.size() <= 3) return true;  // "C:\" or less, or no absolute path at all
    // \\server\share is a root too.
    if (dir.compare(0, 2, L"\\\\") == 0 &&
        dir.find(L'\\', dir.find(L'\\', 2) + 1) == std::wstring::npos)
        return true;
    for (int csidl : kSharedFolders) {
        if (SameFolder(dir, Folder(csidl))) return true;
    }
    // The folder holding every user's profile ("C:\Users").
    std::wstring profile = Folder(CSIDL_PROFILE);
    if (!profile.empty() && SameFolder(dir, ParentDir(profile))) return true;
    std::wstring temp(MAX_PATH + 1, L'\0');
    DWORD n = GetTempPathW(MAX_PATH + 1, temp.data());
    if (n > 0 && n <= MAX_PATH) {
        temp.resize(n);
        if (SameFolder(dir, TrimSlash(temp))) return true;
    }
    return false;
}

}  // namespace velkan::runtime
