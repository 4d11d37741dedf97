#include "runtime/EarlierValue.h"

#include <windows.h>

#include <vector>

#include "runtime/RuntimePaths.h"

namespace velkan::runtime {

namespace {

// The largest value captured. A larger one is recorded as unknown (an empty text), and an undo
// then leaves the value as it finds it rather than deleting someone else's data.
constexpr DWORD kMaxCapturedValue = 1u << 20;
// INI entries are read in a buffer of this many characters at most.
constexpr DWORD kMaxIniValue = 32768;

const wchar_t kHex[] = L"0123456789ABCDEF";

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

}  // namespace

std::wstring CaptureRegistryValue(void* root, const std::wstring& key, const std::wstring& name)
{
    HKEY handle;
    if (RegOpenKeyExW(static_cast<HKEY>(root), key.c_str(), 0, KEY_READ, &handle) !=
        ERROR_SUCCESS) {
        return kNoEarlierValue;
    }
    DWORD type = 0, size = 0;
    std::wstring out = kNoEarlierValue;
    LONG found = RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
    if (found == ERROR_SUCCESS && size > kMaxCapturedValue) out.clear();
    if (found == ERROR_SUCCESS && size <= kMaxCapturedValue) {
        out.clear();
        std::vector<BYTE> data(size);
        DWORD got = size;
        if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, data.data(), &got) ==
            ERROR_SUCCESS) {
            for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(type >> shift) & 15];
            out += L':';
            for (DWORD i = 0; i < got; ++i) {
                out += kHex[data[i] >> 4];
                out += kHex[data[i] & 15];
            }
        }
    }
    RegCloseKey(handle);
    return out;
}

bool RestoreRegistryValue(void* root, const std::wstring& key, const std::wstring& name,
                          const std::wstring& earlier)
{
    if (earlier.empty()) return true;  // unknown: left as it is
    if (earlier == kNoEarlierValue) {
        HKEY handle;
        if (RegOpenKeyExW(static_cast<HKEY>(root), key.c_str(), 0, KEY_SET_VALUE, &handle) !=
            ERROR_SUCCESS)
            return true;
        LONG result = RegDeleteValueW(handle, name.c_str());
        RegCloseKey(handle);
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    if (earlier.size() < 9 || earlier[8] != L':' || (earlier.size() - 9) % 2 != 0) return false;
    DWORD type = 0;
    for (int i = 0; i < 8; ++i) {
        int d = HexDigit(earlier[i]);
        if (d < 0) return false;
        type = type << 4 | static_cast<DWORD>(d);
    }
    std::vector<BYTE> data;
    for (size_t i = 9; i < earlier.size(); i += 2) {
        int hi = HexDigit(earlier[i]), lo = HexDigit(earlier[i + 1]);
        if (hi < 0 || lo < 0) return false;
        data.push_back(static_cast<BYTE>(hi << 4 | lo));
    }
    HKEY handle;
    if (RegCreateKeyExW(static_cast<HKEY>(root), key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG result =
        RegSetValueExW(handle, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

bool ReadIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& entry,
                  std::wstring& value)
{
    // Two different defaults tell an absent entry from one that holds the default text.
    std::vector<wchar_t> buffer(kMaxIniValue);
    GetPrivateProfileStringW(section.c_str(), entry.c_str(), L"\x1", buffer.data(), kMaxIniValue,
                             file.c_str());
    if (buffer[0] == 1 && buffer[1] == 0) {
        GetPrivateProfileStringW(section.c_str(), entry.c_str(), L"\x2", buffer.data(),
                                 kMaxIniValue, file.c_str());
        if (buffer[0] == 2 && buffer[1] == 0) return false;
    }
    value = buffer.data();
    return true;
}

std::wstring CaptureIniValue(const std::wstring& file, const std::wstring& section,
                             const std::wstring& entry)
{
    std::wstring value;
    return ReadIniValue(file, section, entry, value) ? L"=" + value : std::wstring(kNoEarlierValue);
}

namespace {

// Whether an INI file is stored as UTF-16 (Windows then keeps every character in it).
bool IsUnicodeIni(const std::wstring& path)
{
    HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    unsigned char bom[2] = {};
    DWORD got = 0;
    bool unicode =
        ReadFile(h, bom, 2, &got, nullptr) && got == 2 && bom[0] == 0xFF && bom[1] == 0xFE;
    CloseHandle(h);
    return unicode;
}

// Rewrites an 8-bit INI file (read in the machine's code page, as Windows reads it) as UTF-16,
// every entry kept.
bool MakeUnicodeIni(const std::wstring& path)
{
    HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart < (16 << 20);
    std::string bytes(ok ? static_cast<size_t>(size.QuadPart) : 0, '\0');
    DWORD got = 0;
    ok = ok && (bytes.empty() ||
                (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                 got == bytes.size()));
    std::wstring text;
    if (ok && !bytes.empty()) {
        int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
        text.resize(static_cast<size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                            n);
    }
    text.insert(text.begin(), L'\xFEFF');
    LARGE_INTEGER zero = {};
    DWORD written = 0;
    DWORD length = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    ok = ok && SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) &&
         WriteFile(h, text.data(), length, &written, nullptr) && written == length &&
         SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

}  // namespace

bool WriteIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& entry,
                   const std::wstring& value, std::wstring& readBack)
{
    std::wstring path = IniPath(file);
    // A new file is made UTF-16 first, so a name in any script is written as it is.
    if (GetFileAttributesW(LongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES &&
        !MakeUnicodeIni(path))
        return false;
    if (!WritePrivateProfileStringW(section.c_str(), entry.c_str(), value.c_str(), file.c_str()))
        return false;
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // flush the cache
    // An 8-bit file cannot hold every character: it becomes UTF-16 with what it holds, and the
    // entry is written again.
    if ((!ReadIniValue(file, section, entry, readBack) || readBack != value) &&
        !IsUnicodeIni(path) && MakeUnicodeIni(path)) {
        WritePrivateProfileStringW(section.c_str(), entry.c_str(), value.c_str(), file.c_str());
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
        ReadIniValue(file, section, entry, readBack);
    }
    return true;
}

void RestoreIniValue(const std::wstring& file, const std::wstring& section,
                     const std::wstring& entry, const std::wstring& earlier)
{
    if (!earlier.empty() && earlier[0] == L'=') {
        std::wstring readBack;
        WriteIniValue(file, section, entry, earlier.substr(1), readBack);
    } else {
        WritePrivateProfileStringW(section.c_str(), entry.c_str(), nullptr, file.c_str());
    }
}

}  // namespace velkan::runtime
