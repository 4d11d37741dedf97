#include "runtime/InstallLogFile.h"

#include <windows.h>

namespace velkan::runtime {

bool LoadInstallLog(const std::wstring& path, CInstallLog& log)
{
    log.Clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    std::string text;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              static_cast<uint64_t>(size.QuadPart) <= CInstallLog::kMaxSize;
    if (ok) {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = text.empty() ||
             (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr) &&
              got == text.size());
    }
    CloseHandle(file);
    if (!ok) return false;
    std::optional<CInstallLog> read = CInstallLog::FromText(text);
    if (!read) return false;
    log = std::move(*read);
    return true;
}

bool SaveInstallLog(const std::wstring& path, const CInstallLog& log)
{
    std::string text = log.ToText();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return ok;
}

}  // namespace velkan::runtime
