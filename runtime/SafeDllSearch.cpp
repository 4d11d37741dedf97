#include "runtime/SafeDllSearch.h"

#include <windows.h>

namespace velkan::runtime {

void RestrictDllSearch()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    using SetDefaultProc = BOOL(WINAPI*)(DWORD);
    // Looked up at run time: older Windows versions lack it.
    auto setDefault = kernel ? reinterpret_cast<SetDefaultProc>(reinterpret_cast<void*>(
                                   GetProcAddress(kernel, "SetDefaultDllDirectories")))
                             : nullptr;
    if (setDefault) setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    SetDllDirectoryW(L"");
}

}  // namespace velkan::runtime
