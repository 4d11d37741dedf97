#include "runtime/RuntimePaths.h"

#include <windows.h>

#include "core/package/CPackageException.h"
#include "core/platform/WindowsName.h"
#include "core/stream/JoinText.h"
#include "runtime/CInstallError.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

std::wstring OwnProgramPath()
{
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}

std::wstring ParentDir(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

std::wstring FileName(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

bool IsAbsolute(const std::wstring& path)
{
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

bool IsSafeComponent(const std::wstring& name)
{
    return WindowsNameProblem(std::u16string(name.begin(), name.end())).empty();
}

std::wstring JoinInside(const std::wstring& base, const std::wstring& relative)
{
    std::wstring root = FullPath(base);
    while (root.size() > 3 && root.back() == L'\\') root.pop_back();
    std::wstring full = FullPath(root + L"\\" + relative);
    std::wstring prefix = root.back() == L'\\' ? root : root + L"\\";
    bool inside =
        full.size() > prefix.size() &&
        CompareStringOrdinal(full.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                             static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
    if (!inside) {
        throw CPackageException(
            {"the path \"", ToUtf8(relative), "\" leaves its target directory ", ToUtf8(root)});
    }
    return full;
}

std::wstring SafeFileName(const std::wstring& name)
{
    std::wstring out;
    for (wchar_t c : name) out += (c < 32 || wcschr(L"<>:\"/\\|?*", c)) ? L'_' : c;
    while (!out.empty() && (out.back() == L'.' || out.back() == L' ')) out.pop_back();
    if (out.empty() || !IsSafeComponent(out)) out = L"_" + out;
    return out;
}

std::wstring MakePrivateTempDir()
{
    wchar_t temp[MAX_PATH + 1] = L"";
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) throw CInstallError("no temporary folder");
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        wsprintfW(name, L"vk%lx-%lx-%d", GetCurrentProcessId(), GetTickCount(), attempt);
        std::wstring dir = std::wstring(temp) + name;
        // A new directory, never an existing one: nobody else can have put anything in it.
        if (CreateDirectoryW(dir.c_str(), nullptr)) return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    DWORD error = GetLastError();
    throw CInstallError(
        {"cannot create a temporary folder in ", ToUtf8(temp), ": ", SystemMessage(error)});
}

void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = dir + L"\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

std::wstring IniPath(const std::wstring& file)
{
    if (IsAbsolute(file) || file.find_first_of(L"\\/") != std::wstring::npos) return FullPath(file);
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\" + file;
}

std::wstring UninstallDataBase(const std::wstring& uninstaller)
{
    size_t slash = uninstaller.find_last_of(L"\\/");
    size_t dot = uninstaller.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return uninstaller;
    return uninstaller.substr(0, dot);
}

std::wstring LongPath(const std::wstring& path, bool always)
{
    // Names of MAX_PATH less room for an 8.3 name are where the plain form stops working.
    if (!always && path.size() < MAX_PATH - 12) return path;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
        path[2] != L'.')
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

bool IsEmptyFolder(const std::wstring& dir)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(LongPath(dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool empty = true;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") empty = false;
    } while (empty && FindNextFileW(search, &found));
    FindClose(search);
    return empty;
}

}  // namespace velkan::runtime
