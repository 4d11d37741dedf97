// The switches of the runtime programs: /S (silent), /P (progress only: the progress window and
// no question, deciding everything as /S does), /D=DIR (installation directory), /V=N or /V=NAME
// (the version, counting from 1, or its name), /LOG=FILE (a log of the run), /ALLUSERS (install
// for every user of the machine: needs administrator rights) and /CURRENTUSER (install for the
// current user only). /S and /P exclude each other. Switches are case-insensitive; "-" works as
// well as "/".
//
// The line is split at spaces outside double quotes; a double quote only quotes (a backslash
// before it is an ordinary character), so /D="C:\X Y\" and "/D=C:\X Y" both give C:\X Y, as a
// batch file writes them. An unquoted /D= value may hold spaces: the arguments after it belong to
// the directory up to the next switch, so /D=C:\Program Files\App /S installs into
// "C:\Program Files\App" silently, and /D= last on the line takes the rest of it.
//
// A new switch is one row of the switch table (CCommandLine.cpp) and one member here.
#pragma once

#include <string>
#include <vector>

namespace velkan::install {

// The switches' names, as written after "/" (and before "=VALUE" for those that take one): the
// parser's and what a package manifest lists.
inline constexpr const char* kSwitchSilent = "S";
inline constexpr const char* kSwitchProgress = "P";
inline constexpr const char* kSwitchDirectory = "D";
inline constexpr const char* kSwitchVersion = "V";
inline constexpr const char* kSwitchLog = "LOG";
inline constexpr const char* kSwitchAllUsers = "ALLUSERS";
inline constexpr const char* kSwitchCurrentUser = "CURRENTUSER";

class CCommandLine {
public:
    // Parses the arguments after the program name; unknown switches are collected in m_unknown.
    explicit CCommandLine(const std::vector<std::wstring>& args);
    // Splits a whole command line (the program name first) as above.
    static std::vector<std::wstring> Split(const std::wstring& line);
    // Whether arg is one of the switches (so it ends an unquoted /D= value).
    static bool IsSwitch(const std::wstring& arg);

    // No question is asked (/S or /P): what a person would choose is decided as /S decides, and
    // a failure is only logged.
    bool Unattended() const { return m_bSilent || m_bProgress; }

    bool m_bSilent = false;
    bool m_bProgress = false;
    bool m_bAllUsers = false;
    bool m_bCurrentUser = false;
    bool m_bHasVersion = false;  // /V= was given (possibly empty)
    std::wstring m_strDirectory;
    std::wstring m_strVersion;
    std::wstring m_strLogFile;
    std::vector<std::wstring> m_unknown;
    // What makes the line unusable (empty when it is fine): checked before anything changes.
    std::string m_strError;
};

}  // namespace velkan::install
