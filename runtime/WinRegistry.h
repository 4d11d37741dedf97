// Registry helpers of the runtime: roots by the package's numbers, and string values read and
// written through 8-bit-free UTF-16 names.
#pragma once

#include <cstdint>
#include <string>

namespace velkan::runtime {

// Where Windows keeps the usage counts of shared files (under HKEY_LOCAL_MACHINE).
extern const wchar_t* const kSharedDllsKey;

// The root key of a package root number (0 HKEY_CLASSES_ROOT, 1 HKEY_CURRENT_USER,
// 2 HKEY_LOCAL_MACHINE, 3 HKEY_USERS); null for any other number.
void* RegistryRootFromIndex(uint32_t index);
// The root of a handle value 0x80000000..0x80000003 (the uninstaller data block's form).
void* RegistryRootFromHandleValue(uint32_t value);

bool KeyExists(void* root, const std::wstring& key);
bool ValueExists(void* root, const std::wstring& key, const std::wstring& name);
// Reads a string value (REG_SZ or REG_EXPAND_SZ); false when absent.
bool ReadStringValue(void* root, const std::wstring& key, const std::wstring& name,
                     std::wstring& value);
// Writes a REG_SZ value, creating the key. Returns the Windows error code (0 on success);
// createdKey says whether the key did not exist before.
long WriteStringValue(void* root, const std::wstring& key, const std::wstring& name,
                      const std::wstring& value, bool& createdKey);
long WriteDwordValue(void* root, const std::wstring& key, const std::wstring& name,
                     unsigned long value);
bool ReadDwordValue(void* root, const std::wstring& key, const std::wstring& name,
                    unsigned long& value);
long DeleteValue(void* root, const std::wstring& key, const std::wstring& name);
// Deletes a key when it has no subkeys and no values left.
bool DeleteKeyIfEmpty(void* root, const std::wstring& key);
// Deletes a key with everything below it.
long DeleteKeyTree(void* root, const std::wstring& key);

}  // namespace velkan::runtime
