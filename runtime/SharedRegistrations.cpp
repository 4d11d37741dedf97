#include "runtime/SharedRegistrations.h"

#include <windows.h>

#include "runtime/RuntimePaths.h"
#include "runtime/WinRegistry.h"

namespace velkan::runtime {

const wchar_t* const kFontsKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

long RaiseUsageCount(const std::wstring& path, bool present)
{
    unsigned long count = 0;
    ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count);
    if (count == 0 && present) count = 1;
    return WriteDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count + 1);
}

bool LowerUsageCount(const std::wstring& path)
{
    unsigned long count = 0;
    if (!ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count) || count <= 1)
        return false;
    WriteDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count - 1);
    return true;
}

bool UsedByOthers(const std::wstring& path)
{
    unsigned long count = 0;
    return ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count) && count > 1;
}

std::wstring FontValueName(const std::wstring& path)
{
    std::wstring name = FileName(path);
    size_t dot = name.rfind(L'.');
    return (dot == std::wstring::npos ? name : name.substr(0, dot)) + L" (TrueType)";
}

bool CallServerRegistration(const std::wstring& path, bool registering)
{
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return false;
    auto entry = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(
        GetProcAddress(module, registering ? "DllRegisterServer" : "DllUnregisterServer")));
    bool ok = entry && SUCCEEDED(entry());
    FreeLibrary(module);
    return ok;
}

}  // namespace velkan::runtime
