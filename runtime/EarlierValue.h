// What a registry value or INI entry held before a run wrote it, in a form the install record
// can carry as one text field: "-" when there was nothing, else the old contents (for a registry
// value its type and bytes as hex, so a DWORD or binary value comes back exactly). A rollback
// always puts the earlier value back; an uninstall does so only while the value still holds what
// we wrote, so a change the user made since is left alone.
#pragma once

#include <string>

namespace velkan::runtime {

extern const wchar_t* const kNoEarlierValue;

std::wstring CaptureRegistryValue(void* root, const std::wstring& key, const std::wstring& name);
// Puts a captured value back ("-": deletes the value; empty, for a value too large to capture:
// leaves it). Returns false when it could not be written.
bool RestoreRegistryValue(void* root, const std::wstring& key, const std::wstring& name,
                          const std::wstring& earlier);

std::wstring CaptureIniValue(const std::wstring& file, const std::wstring& section,
                             const std::wstring& entry);
// Reads an entry, false when absent.
bool ReadIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& entry,
                  std::wstring& value);
void RestoreIniValue(const std::wstring& file, const std::wstring& section,
                     const std::wstring& entry, const std::wstring& earlier);

}  // namespace velkan::runtime
