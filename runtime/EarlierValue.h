// What a registry value or INI entry held before a run wrote it, in a form the install record
// can carry as one text field: "-" when there was nothing, else the old contents (for a registry
// value its type and bytes as hex, so a DWORD or binary value comes back exactly). A rollback
// always puts the earlier value back; an uninstall does so only while the value still holds what
// we wrote, so a change the user made since is left alone.
#pragma once

#include <string>

#include "core/install/CLogRecord.h"

namespace velkan::runtime {

using install::kNoEarlierValue;

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
// Writes an entry so that it reads back as written, whatever the characters (a new file, or an
// 8-bit one that cannot hold them, is made UTF-16); readBack gets what the entry now holds.
// False when the file cannot be written.
bool WriteIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& entry,
                   const std::wstring& value, std::wstring& readBack);
void RestoreIniValue(const std::wstring& file, const std::wstring& section,
                     const std::wstring& entry, const std::wstring& earlier);

}  // namespace velkan::runtime
