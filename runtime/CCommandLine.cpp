#include "runtime/CCommandLine.h"

#include <windows.h>
#include <shellapi.h>

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

}  // namespace

CCommandLine::CCommandLine(const std::vector<std::wstring>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::wstring value;
        if (MatchSwitch(args[i], L"S", false, value)) {
            m_bSilent = true;
        } else if (MatchSwitch(args[i], L"D", true, value)) {
            // /D= takes everything after it, so an unquoted directory may hold spaces.
            for (size_t j = i + 1; j < args.size(); ++j) value += L" " + args[j];
            m_strDirectory = value;
            break;
        } else if (MatchSwitch(args[i], L"V", true, value)) {
            m_strVersion = value;
        } else if (MatchSwitch(args[i], L"LOG", true, value)) {
            m_strLogFile = value;
        } else {
            m_unknown.push_back(args[i]);
        }
    }
    // A quoted directory keeps its quotes in the /D=... argument form "/D=C:\A B"; drop them.
    if (m_strDirectory.size() >= 2 && m_strDirectory.front() == L'"' && m_strDirectory.back() == L'"') {
        m_strDirectory = m_strDirectory.substr(1, m_strDirectory.size() - 2);
    }
}

std::vector<std::wstring> CCommandLine::ProcessArguments()
{
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);
    return args;
}

}  // namespace velkan::runtime
