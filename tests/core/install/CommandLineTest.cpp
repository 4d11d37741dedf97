// The runtime programs' command line, as the README states its rules: a table of lines and what
// each gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/install/CCommandLine.h"

using namespace velkan::install;

namespace {

CCommandLine Parse(const std::wstring& line)
{
    std::vector<std::wstring> args = CCommandLine::Split(L"setup.exe " + line);
    args.erase(args.begin());
    return CCommandLine(args);
}

}  // namespace

TEST(CommandLineTest, TableOfLines)
{
    struct Case {
        const wchar_t* line;
        bool silent;
        bool progress;
        const wchar_t* directory;
        const wchar_t* version;
        const wchar_t* log;
        bool allUsers;
        bool currentUser;
        bool error;
        size_t unknown;
    } cases[] = {
        {L"", false, false, L"", L"", L"", false, false, false, 0},
        {L"/S", true, false, L"", L"", L"", false, false, false, 0},
        {L"-s", true, false, L"", L"", L"", false, false, false, 0},
        {L"/SILENT", false, false, L"", L"", L"", false, false, false, 1},
        {L"/S=1", false, false, L"", L"", L"", false, false, false, 1},
        // Quotes only quote: a backslash before one is an ordinary character.
        {L"/D=\"C:\\Program Files\\App\\\"", false, false, L"C:\\Program Files\\App\\", L"", L"",
         false, false, false, 0},
        {L"\"/D=C:\\Program Files\\App\"", false, false, L"C:\\Program Files\\App", L"", L"", false,
         false, false, 0},
        // An unquoted directory takes the words up to the next switch, or the rest of the line.
        {L"/D=C:\\My Apps\\X /S", true, false, L"C:\\My Apps\\X", L"", L"", false, false, false, 0},
        {L"/S /D=C:\\My  Apps\\X  Y", true, false, L"C:\\My Apps\\X Y", L"", L"", false, false,
         false, 0},
        {L"/D=C:\\A /v=2 /log=C:\\l.txt", false, false, L"C:\\A", L"2", L"C:\\l.txt", false, false,
         false, 0},
        {L"/D=C:\\A b /unknown", false, false, L"C:\\A b /unknown", L"", L"", false, false, false,
         0},
        {L"/V=Pro Edition", false, false, L"", L"Pro", L"", false, false, false, 1},
        {L"\"/V=Pro Edition\"", false, false, L"", L"Pro Edition", L"", false, false, false, 0},
        {L"/ALLUSERS", false, false, L"", L"", L"", true, false, false, 0},
        {L"-currentuser", false, false, L"", L"", L"", false, true, false, 0},
        // Refused before anything changes.
        {L"/D=", false, false, L"", L"", L"", false, false, true, 0},
        {L"/V=", false, false, L"", L"", L"", false, false, true, 0},
        {L"/LOG=", false, false, L"", L"", L"", false, false, true, 0},
        {L"/ALLUSERS /CURRENTUSER", false, false, L"", L"", L"", true, true, true, 0},
        // Progress only: a switch of its own, which ends an unquoted directory like the others,
        // and excludes /S.
        {L"/P", false, true, L"", L"", L"", false, false, false, 0},
        {L"-p /D=C:\\A b /P /log=C:\\l.txt", false, true, L"C:\\A b", L"", L"C:\\l.txt", false,
         false, false, 0},
        {L"/P /V=2 /ALLUSERS", false, true, L"", L"2", L"", true, false, false, 0},
        {L"/PROGRESS", false, false, L"", L"", L"", false, false, false, 1},
        {L"/S /P", true, true, L"", L"", L"", false, false, true, 0},
        {L"/D", false, false, L"", L"", L"", false, false, false, 1},
        {L"D=C:\\A", false, false, L"", L"", L"", false, false, false, 1},
    };
    for (const Case& c : cases) {
        CCommandLine line = Parse(c.line);
        std::string name(c.line, c.line + std::wcslen(c.line));
        EXPECT_EQ(line.m_bSilent, c.silent) << name;
        EXPECT_EQ(line.m_bProgress, c.progress) << name;
        EXPECT_EQ(line.Unattended(), c.silent || c.progress) << name;
        EXPECT_EQ(line.m_strDirectory, c.directory) << name;
        EXPECT_EQ(line.m_strVersion, c.version) << name;
        EXPECT_EQ(line.m_strLogFile, c.log) << name;
        EXPECT_EQ(line.m_bAllUsers, c.allUsers) << name;
        EXPECT_EQ(line.m_bCurrentUser, c.currentUser) << name;
        EXPECT_EQ(!line.m_strError.empty(), c.error) << name;
        EXPECT_EQ(line.m_unknown.size(), c.unknown) << name;
    }
}

TEST(CommandLineTest, SplitKeepsEmptyQuotedArgumentsAndTabs)
{
    EXPECT_EQ(CCommandLine::Split(L"a \"\" b\tc"),
              (std::vector<std::wstring>{L"a", L"", L"b", L"c"}));
    EXPECT_EQ(CCommandLine::Split(L"\"unterminated quote"),
              (std::vector<std::wstring>{L"unterminated quote"}));
    EXPECT_TRUE(CCommandLine::Split(L"   ").empty());
    EXPECT_TRUE(Parse(L"/V=\"\"").m_bHasVersion);
}
