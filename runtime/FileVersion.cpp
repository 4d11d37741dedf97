#include "runtime/FileVersion.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace velkan::runtime {

namespace {

using SizeProc = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using InfoProc = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryProc = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

// version.dll is not one of the DLLs Windows always takes from the system directory, so it is
// not imported: it is loaded here, by full path, only when a system file is compared.
// Kept in a constant-initialised atomic rather than a function-local static with a run-time
// initialiser, which would bring the library's thread-safe initialisation guard: two threads
// meeting here both load it, which Windows counts, and either handle serves.
std::atomic<HMODULE> g_versionLibrary{nullptr};

HMODULE VersionLibrary()
{
    HMODULE library = g_versionLibrary.load();
    if (!library) {
        wchar_t system[MAX_PATH] = L"";
        GetSystemDirectoryW(system, MAX_PATH);
        library = LoadLibraryW((std::wstring(system) + L"\\version.dll").c_str());
        g_versionLibrary.store(library);
    }
    return library;
}

template <typename T>
T Proc(HMODULE library, const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool ReadFileVersion(const std::wstring& path, uint64_t& version)
{
    HMODULE library = VersionLibrary();
    if (!library) return false;
    auto getSize = Proc<SizeProc>(library, "GetFileVersionInfoSizeW");
    auto getInfo = Proc<InfoProc>(library, "GetFileVersionInfoW");
    auto query = Proc<QueryProc>(library, "VerQueryValueW");
    if (!getSize || !getInfo || !query) return false;
    DWORD handle = 0;
    DWORD size = getSize(path.c_str(), &handle);
    if (size == 0 || size > (16u << 20)) return false;
    std::vector<uint8_t> info(size);
    if (!getInfo(path.c_str(), 0, size, info.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!query(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    version = (static_cast<uint64_t>(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
    return true;
}

}  // namespace velkan::runtime
