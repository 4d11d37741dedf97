#include "runtime/SelfRemoval.h"

#include <windows.h>

#include <cwchar>

#include "runtime/CInstallError.h"
#include "runtime/RuntimePaths.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

namespace {

// The helper's switch: "/VELKAN-REMOVE=PIPE,PROCESS", two handle values in decimal.
constexpr wchar_t kSwitch[] = L" /VELKAN-REMOVE=";
constexpr wchar_t kHelperName[] = L"\\remove.exe";
// How long the helper waits for the uninstaller to end.
constexpr DWORD kWaitMs = 60000;

bool WriteAll(HANDLE pipe, const std::wstring& text)
{
    const char* data = reinterpret_cast<const char*>(text.c_str());
    DWORD left = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(pipe, data, left, &written, nullptr) || written == 0) return false;
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool RemoveAfterExit(const std::wstring& file, const std::vector<std::wstring>& emptyFolders)
{
    std::wstring dir;
    try {
        dir = MakePrivateTempDir();
    } catch (const CInstallError&) {
        return false;
    }
    std::wstring helper = dir + kHelperName;
    if (!CopyFileW(OwnProgramPath().c_str(), helper.c_str(), TRUE)) return false;

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                    SYNCHRONIZE, TRUE, 0);

    // Only two numbers go on the command line; the paths travel through the pipe, one a line.
    std::wstring command = L"\"" + helper + L"\"" + kSwitch +
                           DecimalW(reinterpret_cast<uintptr_t>(readEnd)) + L"," +
                           DecimalW(reinterpret_cast<uintptr_t>(self));
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    bool started = CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, system, &si, &pi) != 0;
    CloseHandle(readEnd);
    if (self) CloseHandle(self);
    if (started) {
        std::wstring list = dir + L"\n" + file + L"\n";
        for (const std::wstring& folder : emptyFolders) list += folder + L"\n";
        WriteAll(writeEnd, list);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    } else {
        DeleteFileW(helper.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    CloseHandle(writeEnd);
    return started;
}

bool RunRemovalHelperIfAsked()
{
    const wchar_t* line = GetCommandLineW();
    const wchar_t* at = std::wcsstr(line, kSwitch);
    if (!at) return false;
    wchar_t* end = nullptr;
    auto pipe = reinterpret_cast<HANDLE>(
        static_cast<uintptr_t>(std::wcstoull(at + std::wcslen(kSwitch), &end, 10)));
    if (!end || *end != L',') return true;
    auto parent =
        reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoull(end + 1, &end, 10)));

    // Everything comes from the pipe the uninstaller filled: a handle number given by anyone
    // else names no pipe of this process, and nothing is read or removed.
    std::wstring text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0)
        text.append(reinterpret_cast<const wchar_t*>(buffer), n / sizeof(wchar_t));
    CloseHandle(pipe);
    if (parent) {
        WaitForSingleObject(parent, kWaitMs);
        CloseHandle(parent);
    }
    std::vector<std::wstring> lines;
    for (size_t pos = 0; pos < text.size();) {
        size_t next = text.find(L'\n', pos);
        if (next == std::wstring::npos) break;
        lines.push_back(text.substr(pos, next - pos));
        pos = next + 1;
    }
    if (lines.size() < 2) return true;
    // The file first (retried while the ending program still holds it), then the folders.
    for (int attempt = 0; attempt < 50; ++attempt) {
        SetFileAttributesW(lines[1].c_str(), FILE_ATTRIBUTE_NORMAL);
        if (DeleteFileW(lines[1].c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
        Sleep(100);
    }
    for (size_t i = 2; i < lines.size(); ++i) RemoveDirectoryW(lines[i].c_str());
    // This copy cannot remove itself either: its folder goes at the next restart when Windows
    // lets us schedule it, else it stays in the temporary folder.
    MoveFileExW(OwnProgramPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(lines[0].c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return true;
}

}  // namespace velkan::runtime
