#include "core/install/CCommandLine.h"

#include <cstddef>

namespace velkan::install {

namespace {

// Each switch: its name, whether it takes "=VALUE", where a flag is set or the value goes, and
// the error for an empty value.
struct Switch {
    const char* name;
    bool CCommandLine::*flag;
    std::wstring CCommandLine::*value;
    const char* emptyError;
};

constexpr Switch kSwitches[] = {
    {kSwitchSilent, &CCommandLine::m_bSilent, nullptr, nullptr},
    {kSwitchProgress, &CCommandLine::m_bProgress, nullptr, nullptr},
    {kSwitchAllUsers, &CCommandLine::m_bAllUsers, nullptr, nullptr},
    {kSwitchCurrentUser, &CCommandLine::m_bCurrentUser, nullptr, nullptr},
    {kSwitchDirectory, nullptr, &CCommandLine::m_strDirectory, "the switch /D= needs a directory"},
    {kSwitchVersion, &CCommandLine::m_bHasVersion, &CCommandLine::m_strVersion,
     "the switch /V= needs a version number or name"},
    {kSwitchLog, nullptr, &CCommandLine::m_strLogFile, "the switch /LOG= needs a file name"},
};

wchar_t UpperAscii(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

// True when arg is the switch (after '/' or '-'), followed by '=' when it takes a value; value
// gets the rest.
bool Matches(const std::wstring& arg, const Switch& s, std::wstring& value)
{
    if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) return false;
    size_t n = std::char_traits<char>::length(s.name);
    if (arg.size() < 1 + n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (UpperAscii(arg[1 + i]) != static_cast<wchar_t>(s.name[i])) return false;
    }
    if (!s.value) return arg.size() == 1 + n;
    if (arg.size() < 2 + n || arg[1 + n] != L'=') return false;
    value = arg.substr(2 + n);
    return true;
}

const Switch* Find(const std::wstring& arg, std::wstring& value)
{
    for (const Switch& s : kSwitches) {
        if (Matches(arg, s, value)) return &s;
    }
    return nullptr;
}

}  // namespace

bool CCommandLine::IsSwitch(const std::wstring& arg)
{
    std::wstring value;
    return Find(arg, value) != nullptr;
}

CCommandLine::CCommandLine(const std::vector<std::wstring>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::wstring value;
        const Switch* s = Find(args[i], value);
        if (!s) {
            m_unknown.push_back(args[i]);
            continue;
        }
        if (s->flag) this->*(s->flag) = true;
        if (!s->value) continue;
        // An unquoted directory may hold spaces: the arguments up to the next switch are its.
        if (s->value == &CCommandLine::m_strDirectory) {
            while (i + 1 < args.size() && !IsSwitch(args[i + 1])) value += L" " + args[++i];
        }
        this->*(s->value) = value;
        if (value.empty()) m_strError = s->emptyError;
    }
    if (m_bAllUsers && m_bCurrentUser) m_strError = "/ALLUSERS and /CURRENTUSER exclude each other";
    if (m_bSilent && m_bProgress) m_strError = "/S and /P exclude each other";
}

std::vector<std::wstring> CCommandLine::Split(const std::wstring& line)
{
    std::vector<std::wstring> args;
    std::wstring current;
    bool inQuotes = false, any = false;
    for (wchar_t c : line) {
        if (c == L'"') {
            inQuotes = !inQuotes;
            any = true;
        } else if ((c == L' ' || c == L'\t') && !inQuotes) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

}  // namespace velkan::install
