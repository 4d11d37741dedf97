#include "runtime/CCommandLine.h"

#include <windows.h>

#include <cwctype>

namespace velkan::runtime {

namespace {

// True when arg is the switch name (after '/' or '-') followed by '=' or nothing; value gets the rest.
bool MatchSwitch(const std::wstring& arg, const wchar_t* name, bool takesValue, std::wstring& value)
{
    if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-')) return false;
    size_t n = wcslen(name);
    if (arg.size() < 1 + n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::towupper(arg[1 + i]) != name[i]) return false;
    }
    if (!takesValue) return arg.size() == 1 + n;
    if (arg.size() < 2 + n || arg[1 + n] != L'=') return false;
    value = arg.substr(2 + n);
    return true;
}

bool IsSwitch(const std::wstring& arg)
{
    std::wstring value;
    for (const wchar_t* name : {L"S", L"ALLUSERS", L"CURRENTUSER"}) {
        if (MatchSwitch(arg, name, false, value)) return true;
    }
    for (const wchar_t* name : {L"D", L"V", L"LOG"}) {
        if (MatchSwitch(arg, name, true, value)) return true;
    }
    return false;
}

}  // namespace

CCommandLine::CCommandLine(const std::vector<std::wstring>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::wstring value;
        if (MatchSwitch(args[i], L"S", false, value)) {
            m_bSilent = true;
        } else if (MatchSwitch(args[i], L"ALLUSERS", false, value)) {
            m_bAllUsers = true;
        } else if (MatchSwitch(args[i], L"CURRENTUSER", false, value)) {
            m_bCurrentUser = true;
        } else if (MatchSwitch(args[i], L"D", true, value)) {
            // An unquoted directory may hold spaces: the arguments up to the next switch are its.
            while (i + 1 < args.size() && !IsSwitch(args[i + 1])) value += L" " + args[++i];
            m_strDirectory = value;
            if (value.empty()) m_strError = "the switch /D= needs a directory";
        } else if (MatchSwitch(args[i], L"V", true, value)) {
            m_strVersion = value;
            m_bHasVersion = true;
            if (value.empty()) m_strError = "the switch /V= needs a version number or name";
        } else if (MatchSwitch(args[i], L"LOG", true, value)) {
            m_strLogFile = value;
            if (value.empty()) m_strError = "the switch /LOG= needs a file name";
        } else {
            m_unknown.push_back(args[i]);
        }
    }
    if (m_bAllUsers && m_bCurrentUser) m_strError = "/ALLUSERS and /CURRENTUSER exclude each other";
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

std::vector<std::wstring> CCommandLine::ProcessArguments()
{
    std::vector<std::wstring> args = Split(GetCommandLineW());
    if (!args.empty()) args.erase(args.begin());  // the program itself
    return args;
}

}  // namespace velkan::runtime
