#include "runtime/WinText.h"

#include <windows.h>

namespace velkan::runtime {

namespace {

std::wstring Widen(unsigned codePage, const std::string& text)
{
    if (text.empty()) return {};
    int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            n);
    return wide;
}

}  // namespace

std::wstring FromPackage(const std::string& text)
{
    return Widen(1252, text);
}

std::wstring FromUtf8(const std::string& text)
{
    return Widen(CP_UTF8, text);
}

namespace {

std::string Narrow(unsigned codePage, const std::wstring& text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string narrow(n > 0 ? n : 0, '\0');
    if (n > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                            n, nullptr, nullptr);
    }
    return narrow;
}

}  // namespace

std::string ToPackage(const std::wstring& text)
{
    return Narrow(1252, text);
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string narrow(n > 0 ? n : 0, '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                            n, nullptr, nullptr);
    }
    return narrow;
}

std::wstring DecimalW(unsigned long long value)
{
    std::string narrow = std::to_string(value);
    return std::wstring(narrow.begin(), narrow.end());
}

std::string SystemMessage(unsigned long code)
{
    wchar_t buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buffer, 512, nullptr);
    while (n > 0 && (buffer[n - 1] == L'\n' || buffer[n - 1] == L'\r' || buffer[n - 1] == L' '))
        --n;
    std::string text = ToUtf8(std::wstring(buffer, n));
    return text.empty() ? "Windows error " + std::to_string(code) : text;
}

}  // namespace velkan::runtime
