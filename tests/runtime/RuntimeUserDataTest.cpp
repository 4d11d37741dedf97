// The end user's data kept in every case an administrator tries, under Wine: a prefix holding
// documents, an INI file and typed registry values of the user's; the product installed, repaired,
// upgraded, installed into a second place, met by another product of the same title, installed
// into non-ASCII and long folders; each time the machine is compared before and after.
#include "BuildSetup.h"
#include "WineFixture.h"
#include "core/install/WideText.h"
#include "core/model/CDataArray.h"

namespace velkan::test {
namespace {

using velkan::CData;
using velkan::CDataArray;
using velkan::CFileItem;

const std::string kUserKey = "HKCU\\Software\\VelkanUserData";

// The text of an INI file as Windows reads it: UTF-16 (with its mark) or 8-bit, given as UTF-8.
std::string IniText(const fs::path& file)
{
    std::vector<uint8_t> bytes = ReadBytes(file);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return std::string(bytes.begin(), bytes.end());
    std::wstring units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    return install::ToUtf8(units);
}

// One scenario: the user's things in the prefix, a product to build, runs of its setup and
// uninstaller with their logs, and the user's things read back to compare.
class UserData : public RuntimeWine {
protected:
    void SetUp() override
    {
        RuntimeWine::SetUp();
        m_ini = m_dir / "user.ini";
        RegDelete(kUserKey);
        Shell(WineLoader() + " reg add " + Quote(kUserKey) + " /v Dir /t REG_EXPAND_SZ /d " +
              Quote("%ProgramFiles%\\Old") + " /f >/dev/null 2>&1");
        Shell(WineLoader() + " reg add " + Quote(kUserKey) +
              " /v Count /t REG_DWORD /d 42 /f >/dev/null 2>&1");
        WriteText(m_ini, "[App]\r\nPath=C:\\before\r\nOther=mine\r\n");
    }

    // A product writing a file, a file in a folder of its own, an icon, its directory into the
    // user's INI entry and registry values (over a REG_EXPAND_SZ and a DWORD), a value in a key
    // it creates, with "*.*" as additional files to remove.
    CDataArray Product(const std::string& title, const std::string& content = "app",
                       bool exclusive = true)
    {
        fs::path src = m_dir / ("src-" + title + "-" + std::to_string(content.size()));
        WriteText(src / "app.exe", content);
        WriteText(src / "docs" / "readme.txt", "read me");
        CDataArray project;
        project.m_nWindowMode = 0;
        project.m_bExclusive = exclusive ? 1 : 0;
        CData v;
        v.m_strName = "1.0";
        v.m_strTitle = title;
        v.m_strSourceDir = src.string() + "/";
        v.m_strInstallDir = "#Program Files#\\" + title;
        v.m_strUninstFile = "uninstall.exe";
        v.m_strUninstExtra = "*.*";
        CFileItem app("app.exe");
        app.m_strMenuFolder = title;
        app.m_strMenuName = title + " App";
        v.m_files.push_back(app);
        v.m_files.push_back(CFileItem("docs\\readme.txt"));
        for (const char* name : {"Dir", "Count"}) {
            velkan::CRegInfo reg;
            reg.m_nRootKey = 1;
            reg.m_strKey = "Software\\VelkanUserData";
            reg.m_strSubkey = name;
            reg.m_strValue = "#InstallDir#";
            v.m_regEntries.push_back(reg);
        }
        velkan::CRegInfo created;
        created.m_nRootKey = 1;
        created.m_strKey = "Software\\VelkanUserData\\Made\\Deeper";
        created.m_strSubkey = "Where";
        created.m_strValue = "#InstallDir#";
        v.m_regEntries.push_back(created);
        velkan::CIniInfo ini;
        ini.m_strFile = WinPath(m_ini);
        ini.m_strSection = "App";
        ini.m_strEntry = "Path";
        ini.m_strValue = "#InstallDir#";
        v.m_iniEntries.push_back(ini);
        project.m_versions.push_back(v);
        return project;
    }

    // Builds the setup program, with no entry or icon of its title left from an earlier test run.
    fs::path Build(const CDataArray& project, const std::string& name)
    {
        const std::string& title = project.m_versions[0].m_strTitle;
        for (const std::string& entry : ProgramsEntries(title)) RegDelete(entry);
        for (const fs::path& link : FindByName(kWork / "prefix", title + " App.lnk"))
            fs::remove(link);
        fs::path setup = m_dir / (name + ".exe");
        BuildSetup(project, setup);
        return setup;
    }
    // Runs the setup program; options may set the Unix locale its command line is read in.
    int Install(const fs::path& setup, const std::string& target, const std::string& log,
                const std::string& options = {}, const std::string& locale = {})
    {
        int code =
            Shell((locale.empty() ? "" : "LC_ALL=" + locale + " ") + WineLoader() + " " +
                  Quote(setup.string()) + " /S /LOG=" + Quote(WinPath(m_dir / (log + ".log"))) +
                  " " + options + " " + Quote("/D=" + target) + " </dev/null >/dev/null 2>&1");
        Shell("wineserver -w");
        return code;
    }
    int Uninstall(const fs::path& folder, const std::string& log)
    {
        int code = Wine((folder / "uninstall.exe").string(),
                        "/S /LOG=" + Quote(WinPath(m_dir / (log + ".log"))));
        Shell("sleep 3; wineserver -w");  // a helper may remove the uninstaller after it has ended
        return code;
    }
    std::string Log(const std::string& name) const { return ReadText(m_dir / (name + ".log")); }

    // The user's things: the INI file and the typed values, to compare before and after.
    std::string UserState() const
    {
        std::string state = IniText(m_ini);
        for (const char* name : {"Dir", "Count", "Where"})
            state += std::string("\n") + name + "=" + RegTypedValue(kUserKey, name).value_or("-");
        state += RegKeyExists(kUserKey + "\\Made") ? "\nMade" : "";
        return state;
    }

    fs::path m_ini;
};

// "*.*" removes what it names in the folders the product created, naming each file in the log;
// a folder of the user's inside them is never entered, and stays with all it holds.
TEST_F(UserData, AdditionalFilesNeverReachAFolderWeDidNotCreate)
{
    fs::path setup = Build(Product("Velkan Extra"), "setup");
    fs::path target = m_dir / "extra";
    std::string before = UserState();
    ASSERT_EQ(Install(setup, WinPath(target), "install"), 0) << Log("install");
    WriteText(target / "mydoc.txt", "made after the install");
    WriteText(target / "docs" / "notes.txt", "made after the install");
    WriteText(target / "MyStuff" / "keep.txt", "the user's folder");
    ASSERT_EQ(Uninstall(target, "uninstall"), 0) << Log("uninstall");
    EXPECT_EQ(FilesUnder(target), std::vector<fs::path>{"MyStuff/keep.txt"}) << Log("uninstall");
    for (const char* name : {"mydoc.txt", "notes.txt"})
        EXPECT_NE(Log("uninstall").find(name), std::string::npos) << name;
    EXPECT_EQ(UserState(), before);
}

// A second place of the product records what stood before the product's first run: after both
// uninstalls, in either order, every value is back with its type and bytes, and nothing the runs
// made (a created key, the Start-menu folder) is left.
TEST_F(UserData, EarlierValuesAreThoseBeforeTheFirstRunWhicheverPlace)
{
    fs::path setup = Build(Product("Velkan Places", "app", false), "setup");
    std::string before = UserState();
    EXPECT_NE(before.find("Dir=REG_EXPAND_SZ    %ProgramFiles%\\Old"), std::string::npos) << before;
    fs::path a = m_dir / "PlaceA", b = m_dir / "PlaceB";
    ASSERT_EQ(Install(setup, WinPath(a), "a"), 0) << Log("a");
    ASSERT_EQ(Install(setup, WinPath(b), "b"), 0) << Log("b");
    EXPECT_EQ(RegTypedValue(kUserKey, "Count"), "REG_SZ    " + WinPath(b));
    ASSERT_EQ(Uninstall(b, "ub"), 0) << Log("ub");
    // PlaceA still holds the key it made; the values the user had are back already.
    std::string values = UserState();
    EXPECT_EQ(values.substr(0, values.find("\nWhere")), before.substr(0, before.find("\nWhere")))
        << Log("ub");
    ASSERT_EQ(Uninstall(a, "ua"), 0) << Log("ua");
    EXPECT_EQ(UserState(), before) << Log("ua");
    EXPECT_TRUE(FindByName(kWork / "prefix", "Velkan Places").empty()) << "the Start-menu folder";
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
}

// Every spelling of a folder Windows shares is refused, as the plain one is.
TEST_F(UserData, ProtectedFoldersAreComparedInTheirPlainForm)
{
    fs::path setup = Build(Product("Velkan Protected"), "setup");
    for (const char* dir : {"\\\\?\\C:\\windows\\system32", "\\\\?\\C:\\windows",
                            "\\\\.\\C:\\windows", "C:\\windows\\system32\\..", "C:\\windows.",
                            "\\\\?\\C:\\", "c:\\WINDOWS\\.\\system32 . \\"}) {
        EXPECT_EQ(Install(setup, dir, "refused"), 1) << dir;
        EXPECT_NE(Log("refused").find("nothing was installed"), std::string::npos)
            << dir << "\n"
            << Log("refused");
    }
    EXPECT_TRUE(FindByName(PrefixDir("windows"), "uninstall.exe").empty());
}

// A folder named in several scripts reaches the INI entry and the registry whole, and the
// uninstall finds its own value there and gives the earlier one back.
TEST_F(UserData, NonAsciiFoldersKeepEveryCharacter)
{
    fs::path setup = Build(Product("Velkan Unicode"), "setup");
    std::string before = UserState();
    fs::path target = m_dir / "Café €" / "日本 App";
    // The command line reaches the setup program whole when Wine reads it as UTF-8.
    ASSERT_EQ(Install(setup, WinPath(target), "install", "", "C.UTF-8"), 0) << Log("install");
    EXPECT_NE(IniText(m_ini).find("Path=" + WinPath(target)), std::string::npos) << IniText(m_ini);
    // reg.exe prints in an 8-bit code page: the value is read from its export, which is UTF-16.
    fs::path exported = m_dir / "key.reg";
    Shell(WineLoader() + " reg export " + Quote(kUserKey) + " " + Quote(WinPath(exported)) +
          " /y >/dev/null 2>&1");
    std::string escaped;
    for (char c : WinPath(target)) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_NE(IniText(exported).find("\"Dir\"=\"" + escaped + "\""), std::string::npos)
        << IniText(exported);
    ASSERT_EQ(Uninstall(target, "uninstall"), 0) << Log("uninstall");
    EXPECT_EQ(Log("uninstall").find("changed since"), std::string::npos) << Log("uninstall");
    EXPECT_NE(IniText(m_ini).find("Path=C:\\before"), std::string::npos) << IniText(m_ini);
    EXPECT_EQ(RegTypedValue(kUserKey, "Dir"), "REG_EXPAND_SZ    %ProgramFiles%\\Old");
    EXPECT_FALSE(fs::exists(m_dir / "Café €"));
}

// A repair and an upgrade keep every record of the first run in an order the uninstall can undo:
// the key the first run created goes; EstimatedSize is the size installed now; a place installed
// for one user stays so (one entry), and a run asking for the other scope is refused.
TEST_F(UserData, RepairsAndUpgradesKeepTheFirstRunsRecords)
{
    // Version 2 of the same setup program is the upgrade: a larger program.
    CDataArray project = Product("Velkan Repair");
    project.m_versions.push_back(Product("Velkan Repair", std::string(300000, 'x')).m_versions[0]);
    project.m_versions[1].m_strName = "2.0";
    fs::path setup = Build(project, "setup");
    std::string before = UserState();
    fs::path target = m_dir / "repair";
    ASSERT_EQ(Install(setup, WinPath(target), "install", "/V=1 /CURRENTUSER"), 0) << Log("install");
    std::vector<std::string> entries = ProgramsEntries("Velkan Repair");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].rfind("HKEY_CURRENT_USER", 0), 0u) << entries[0];
    std::optional<std::string> size = RegValue(entries[0], "EstimatedSize");
    for (int n = 0; n < 2; ++n) {
        ASSERT_EQ(Install(setup, WinPath(target), "repair", "/V=1"), 0) << Log("repair");
        EXPECT_EQ(ProgramsEntries("Velkan Repair"), entries) << "one entry, the user's";
        EXPECT_EQ(RegValue(entries[0], "EstimatedSize"), size);
    }
    EXPECT_EQ(Install(setup, WinPath(target), "machine", "/V=1 /ALLUSERS"), 1) << Log("machine");
    EXPECT_EQ(ProgramsEntries("Velkan Repair"), entries);
    ASSERT_EQ(Install(setup, WinPath(target), "upgrade", "/V=2"), 0) << Log("upgrade");
    EXPECT_EQ(RegValue(entries[0], "EstimatedSize"), "0x125")
        << "the files installed now: 300,007 bytes";
    ASSERT_EQ(Uninstall(target, "uninstall"), 0) << Log("uninstall");
    EXPECT_EQ(UserState(), before) << Log("uninstall");
    EXPECT_TRUE(ProgramsEntries("Velkan Repair").empty());
    EXPECT_FALSE(fs::exists(target));
}

// A different product of the same title in the same folder is refused: the first keeps its
// files, icon and entry, and its own uninstall still removes them.
TEST_F(UserData, AnotherProductNeverTakesTheFirstOnesPlace)
{
    fs::path first = Build(Product("Velkan Same"), "first");
    CDataArray otherProject = Product("Velkan Same", "other");
    WriteText(m_dir / "src-Velkan Same-5" / "other.txt", "another product's file");
    otherProject.m_versions[0].m_files.push_back(CFileItem("other.txt"));
    otherProject.m_versions[0].m_strName = "9.9";
    fs::path other = Build(otherProject, "other");
    fs::path target = m_dir / "same";
    ASSERT_EQ(Install(first, WinPath(target), "first"), 0) << Log("first");
    std::vector<std::string> entries = ProgramsEntries("Velkan Same");
    EXPECT_EQ(Install(other, WinPath(target), "other"), 1) << Log("other");
    EXPECT_NE(Log("other").find("Another product is installed in this folder"), std::string::npos)
        << Log("other");
    EXPECT_EQ(ReadText(target / "app.exe"), "app");
    EXPECT_TRUE(fs::exists(target / "docs" / "readme.txt"));
    EXPECT_EQ(ProgramsEntries("Velkan Same"), entries);
    EXPECT_EQ(RegValue(entries.at(0), "DisplayVersion"), "1.0");
    ASSERT_EQ(Uninstall(target, "uninstall"), 0) << Log("uninstall");
    EXPECT_FALSE(fs::exists(target));
}

// A folder beyond MAX_PATH installs and uninstalls: every file of ours goes;
// whatever of ours an uninstall could not remove is named on a "left" line, with exit status 3.
TEST_F(UserData, LongFoldersInstallAndUninstallWhole)
{
    fs::path setup = Build(Product("Velkan Long"), "setup");
    fs::path target = m_dir;
    for (int n = 0; WinPath(target).size() < 335; ++n) target /= "long folder " + std::to_string(n);
    ASSERT_EQ(Install(setup, WinPath(target), "install"), 0) << Log("install");
    EXPECT_TRUE(fs::exists(target / "docs" / "readme.txt"));
    int code = Uninstall(target, "uninstall");
    bool left = Log("uninstall").find("left") != std::string::npos;
    EXPECT_EQ(code, left ? 3 : 0) << Log("uninstall");
    std::vector<fs::path> files;
    for (const fs::path& file : FilesUnder(m_dir)) {
        // The uninstaller's own file goes after it has ended, by the helper it starts (timed).
        if (*file.begin() == "long folder 0" && file.filename() != "uninstall.exe")
            files.push_back(file);
    }
    EXPECT_TRUE(files.empty()) << files.front() << "\n" << Log("uninstall");
}

}  // namespace
}  // namespace velkan::test
