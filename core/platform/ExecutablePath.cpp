#include "core/platform/ExecutablePath.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace velkan {

std::string GetExecutablePath()
{
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::u8string utf8 = std::filesystem::path(path).u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    // The kernel's link names the program itself, even when it was started through a symbolic
    // link or a relative path.
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
#endif
}

}  // namespace velkan
