#include "runtime/ProtectedFolders.h"

#include <windows.h>
#include <shlobj.h>

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
    return !b.empty() && CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring Folder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return TrimSlash(path);
}

}  // namespace

bool IsProtectedFolder(const std::wstring& dirIn)
{
    std::wstring dir = TrimSlash(FullPath(dirIn));
    if (dir.size() <= 3) return true;  // "C:\" or less
    if (dir.compare(0, 2, L"\\\\") == 0) {
        // \\server\share is a root too (and \\?\C:\ the long form of a drive root).
        size_t server = dir.find(L'\\', 2);
        if (server == std::wstring::npos || dir.find(L'\\', server + 1) == std::wstring::npos)
            return true;
        if (dir.compare(0, 4, L"\\\\?\\") == 0 && dir.size() <= 7) return true;
    }
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
