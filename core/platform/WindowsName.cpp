#include "core/platform/WindowsName.h"

#include <cstdio>

namespace velkan {

namespace {

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsUpper(const std::string& text, const char* word)
{
    size_t i = 0;
    for (; word[i]; ++i) {
        if (i >= text.size() || Upper(text[i]) != word[i]) return false;
    }
    return i == text.size();
}

// Windows-1252 superscript one, two and three: Windows treats COM¹ like COM1.
bool IsDeviceDigit(unsigned char c)
{
    return (c >= '0' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
}

bool IsDeviceName(const std::string& name)
{
    // The device is named by what comes before the first dot, trailing spaces ignored.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (EqualsUpper(stem, device)) return true;
    }
    if (stem.size() != 4) return false;
    std::string prefix = stem.substr(0, 3);
    return (EqualsUpper(prefix, "COM") || EqualsUpper(prefix, "LPT")) &&
           IsDeviceDigit(static_cast<unsigned char>(stem[3]));
}

}  // namespace

std::string WindowsNameProblem(const std::string& name)
{
    if (name.empty()) return "an empty name";
    if (name == "." || name == "..") return "a \"" + name + "\" name";
    if (name.size() > kMaxWindowsNameLength) {
        return "a name of " + std::to_string(name.size()) + " characters (at most " +
               std::to_string(kMaxWindowsNameLength) + ")";
    }
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20) {
            char text[48];
            std::snprintf(text, sizeof text, "the control character 0x%02X", u);
            return text;
        }
        for (const char* bad = "<>:\"/\\|?*"; *bad; ++bad) {
            if (c == *bad) return std::string("the character '") + c + "'";
        }
    }
    if (name.back() == '.' || name.back() == ' ') return "a trailing dot or space";
    if (IsDeviceName(name)) return "a device name reserved by Windows";
    return {};
}

std::string WindowsNameProblem(const std::u16string& name)
{
    std::string narrow;
    narrow.reserve(name.size());
    for (char16_t c : name) narrow += c < 0x100 ? static_cast<char>(c) : 'x';
    return WindowsNameProblem(narrow);
}

}  // namespace velkan
