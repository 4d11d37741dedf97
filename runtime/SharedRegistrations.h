// What a file shares with the rest of the machine, written the same way by the setup program
// and undone the same way by the uninstaller: the usage count of a shared file, the font entry
// of a font, and the self-registration of a server (DllRegisterServer / DllUnregisterServer).
#pragma once

#include <string>

namespace velkan::runtime {

// Where Windows lists the installed fonts (under HKEY_LOCAL_MACHINE).
extern const wchar_t* const kFontsKey;

// Raises a file's usage count by one. A file that is there without a count (present) was put
// there by someone else: it counts as used once already. Returns the Windows error (0 done).
long RaiseUsageCount(const std::wstring& path, bool present);
// Lowers a file's usage count when others still count on it: true when it was above one (now
// lowered), false when ours was the last use (the count is then left for the caller to delete).
bool LowerUsageCount(const std::wstring& path);
// Whether others than us count on the file (its count is above one).
bool UsedByOthers(const std::wstring& path);

// The font entry's value name of a font file: its name without extension, then " (TrueType)".
std::wstring FontValueName(const std::wstring& path);

// Loads the library at path and calls its DllRegisterServer (or DllUnregisterServer); false when
// it cannot be loaded, has no such entry or the entry fails.
bool CallServerRegistration(const std::wstring& path, bool registering);

}  // namespace velkan::runtime
