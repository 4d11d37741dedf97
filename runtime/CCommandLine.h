// The switches of the runtime programs: /S (silent), /D=DIR (installation directory, the rest of
// the command line as in the usual convention, so it may hold spaces), /V=N or /V=NAME (the
// version, counting from 1, or its name), /LOG=FILE (a log of the run). Switches are case-
// insensitive; "-" works as well as "/".
#pragma once

#include <string>
#include <vector>

namespace velkan::runtime {

class CCommandLine {
public:
    // Parses the arguments after the program name; unknown switches are collected in m_unknown.
    explicit CCommandLine(const std::vector<std::wstring>& args);
    // The arguments of this process.
    static std::vector<std::wstring> ProcessArguments();

    bool m_bSilent = false;
    std::wstring m_strDirectory;
    std::wstring m_strVersion;
    std::wstring m_strLogFile;
    std::vector<std::wstring> m_unknown;
};

}  // namespace velkan::runtime
