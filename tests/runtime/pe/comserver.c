/* An in-process server for the registration tests: DllRegisterServer records the DLL's own path
   the way a COM server does (its class's InprocServer32), DllUnregisterServer removes the class. */
#include <windows.h>

#define CLASS_KEY L"CLSID\\{5E1C0A6B-7D3F-4C2A-9B1E-0F6D2A8C4B17}"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    HKEY key;
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, CLASS_KEY L"\\InprocServer32", 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS) {
        return E_FAIL;
    }
    LONG result = RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)path, (length + 1) * sizeof(wchar_t));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void)
{
    LONG result = RegDeleteTreeW(HKEY_CLASSES_ROOT, CLASS_KEY);
    if (result == ERROR_SUCCESS) result = RegDeleteKeyW(HKEY_CLASSES_ROOT, CLASS_KEY);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}
