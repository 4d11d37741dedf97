#include "runtime/WinRegistry.h"

#include <windows.h>

namespace velkan::runtime {

const wchar_t* const kSharedDllsKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};

HKEY Root(void* root)
{
    return static_cast<HKEY>(root);
}

}  // namespace

void* RegistryRootFromIndex(uint32_t index)
{
    return index < 4 ? kRoots[index] : nullptr;
}

void* RegistryRootFromHandleValue(uint32_t value)
{
    return value >= 0x80000000u && value <= 0x80000003u ? kRoots[value - 0x80000000u] : nullptr;
}

bool KeyExists(void* root, const std::wstring& key)
{
    HKEY handle;
    if (RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

bool ValueExists(void* root, const std::wstring& key, const std::wstring& name)
{
    HKEY handle;
    if (RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    LONG result = RegQueryValueExW(handle, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

bool ReadStringValue(void* root, const std::wstring& key, const std::wstring& name,
                     std::wstring& value)
{
    HKEY handle;
    if (RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    bool ok =
        RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size <= 65536;
    if (ok) {
        std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        ok = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &got) == ERROR_SUCCESS;
        if (ok) {
            buffer.resize(got / sizeof(wchar_t));
            while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
            value = buffer;
        }
    }
    RegCloseKey(handle);
    return ok;
}

long WriteStringValue(void* root, const std::wstring& key, const std::wstring& name,
                      const std::wstring& value, bool& createdKey)
{
    HKEY handle;
    DWORD disposition = 0;
    LONG result = RegCreateKeyExW(Root(root), key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &handle, &disposition);
    createdKey = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result;
}

long WriteDwordValue(void* root, const std::wstring& key, const std::wstring& name,
                     unsigned long value)
{
    HKEY handle;
    LONG result = RegCreateKeyExW(Root(root), key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &handle, nullptr);
    if (result != ERROR_SUCCESS) return result;
    DWORD dword = value;
    result = RegSetValueExW(handle, name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&dword), sizeof dword);
    RegCloseKey(handle);
    return result;
}

bool ReadDwordValue(void* root, const std::wstring& key, const std::wstring& name,
                    unsigned long& value)
{
    HKEY handle;
    if (RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD type = 0, dword = 0, size = sizeof dword;
    bool ok = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&dword), &size) == ERROR_SUCCESS &&
              type == REG_DWORD;
    RegCloseKey(handle);
    if (ok) value = dword;
    return ok;
}

long DeleteValue(void* root, const std::wstring& key, const std::wstring& name)
{
    HKEY handle;
    LONG result = RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_SET_VALUE, &handle);
    if (result != ERROR_SUCCESS) return result;
    result = RegDeleteValueW(handle, name.c_str());
    RegCloseKey(handle);
    return result;
}

bool DeleteKeyIfEmpty(void* root, const std::wstring& key)
{
    HKEY handle;
    if (RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0, values = 0;
    LONG result = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || subkeys != 0 || values != 0) return false;
    return RegDeleteKeyW(Root(root), key.c_str()) == ERROR_SUCCESS;
}

long DeleteKeyTree(void* root, const std::wstring& key)
{
    // RegDeleteTreeW needs Vista; walk the tree ourselves.
    HKEY handle;
    LONG result = RegOpenKeyExW(Root(root), key.c_str(), 0, KEY_READ | KEY_WRITE, &handle);
    if (result != ERROR_SUCCESS) return result;
    wchar_t name[256];
    for (;;) {
        DWORD length = 256;
        if (RegEnumKeyExW(handle, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (DeleteKeyTree(handle, name) != ERROR_SUCCESS) break;
    }
    RegCloseKey(handle);
    return RegDeleteKeyW(Root(root), key.c_str());
}

}  // namespace velkan::runtime
