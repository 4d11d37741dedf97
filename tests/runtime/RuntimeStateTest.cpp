// What the install runtime remembers around the files, under Wine: one install log per place
// merged across an upgrade and a repair, earlier registry and INI values given back, a user's
// documents and keys left alone, a failed upgrade that leaves the earlier version working, one
// entry per product and place, per-user and per-machine places, the command line's rules and
// one run at a time.
#include "BuildSetup.h"
#include "WineFixture.h"
#include "core/model/CDataArray.h"
#include "core/model/FileOption.h"

namespace velkan::test {
namespace {

using velkan::CData;
using velkan::CDataArray;
using velkan::CFileItem;

const std::string kUserKey = "HKCU\\Software\\VelkanState";

class InstallState : public RuntimeWine {
protected:
    // Runs a program of ours with a log; returns its exit code.
    int Run(const fs::path& program, const std::string& args, const std::string& logName)
    {
        return Wine(program.string(),
                    "/S /LOG=" + Quote(WinPath(m_dir / (logName + ".log"))) + " " + args);
    }
    std::string Logs() const
    {
        std::string text;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            if (e.path().extension() == ".log")
                text += "--- " + e.path().filename().string() + "\n" + ReadText(e.path());
        }
        return text;
    }
    // The lines of an INI file the runtime wrote (Wine writes it in UTF-16 or 8-bit; we read 8-bit).
    static std::string Ini(const fs::path& file)
    {
        std::string text = ReadText(file), narrow;
        for (char c : text) {
            if (c != '\0') narrow += c;
        }
        return narrow;
    }
};

// A product of two mutually exclusive versions with settings around its files: each version
// writes a registry value and an INI entry that existed before, a shared system file, an icon.
CDataArray TwoVersions(const fs::path& dir, const fs::path& iniFile, const std::string& title)
{
    CDataArray project;
    project.m_nWindowMode = 0;
    for (int n = 1; n <= 2; ++n) {
        fs::path src = dir / ("src" + std::to_string(n));
        WriteText(src / "app.exe", "application, version " + std::to_string(n));
        WriteText(src / (n == 1 ? "old.txt" : "new.txt"), "only in version " + std::to_string(n));
        WriteText(src / "velkan-state.dll", "shared library");
        WriteText(src / "path.cfg", std::string(200, '.'));
        CData v;
        v.m_strName = n == 1 ? "One" : "Two";
        v.m_strTitle = title;
        v.m_strSourceDir = src.string() + "/";
        v.m_strInstallDir = "#Program Files#\\Velkan State";
        v.m_strUninstFile = "uninstall.exe";
        v.m_strUninstExtra = "*.*";
        v.m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software",
                               "HKEY_CURRENT_USER\\Software\\VelkanStateExtra"};
        CFileItem app("app.exe");
        app.m_strMenuFolder = "Velkan State";
        app.m_strMenuName = "Velkan State App";
        v.m_files.push_back(app);
        v.m_files.push_back(CFileItem(n == 1 ? "old.txt" : "new.txt"));
        v.m_files.push_back(CFileItem("path.cfg"));
        velkan::CFileInfo path;  // a string written into a file names the installation directory
        path.m_strFile = "path.cfg";
        path.m_strOffset = "0";
        path.m_strText = "#InstallDir#";
        path.m_nReserved1 = 0;
        v.m_fileStrings.push_back(path);
        CFileItem dll("velkan-state.dll");
        dll.SetOption(velkan::OptDestination, velkan::DestSystem);
        dll.SetOption(velkan::OptUsageCount, velkan::OptionOn);
        v.m_files.push_back(dll);
        velkan::CRegInfo reg;
        reg.m_nRootKey = 1;
        reg.m_strKey = "Software\\VelkanState";
        reg.m_strSubkey = "Colour";
        reg.m_strValue = n == 1 ? "red" : "green";
        v.m_regEntries.push_back(reg);
        for (const char* entry : {"Data", "Theme"}) {
            velkan::CIniInfo ini;
            ini.m_strFile = WinPath(iniFile);
            ini.m_strSection = "Dirs";
            ini.m_strEntry = entry;
            ini.m_strValue = std::string(entry) == "Data" ? "#InstallDir#\\data" : "light";
            v.m_iniEntries.push_back(ini);
        }
        project.m_versions.push_back(v);
    }
    return project;
}

// Install version 1 into a folder holding a user's documents, upgrade to version 2, repair it,
// uninstall: nothing of ours is left, everything of the user's is, with the earlier values back.
TEST_F(InstallState, UpgradeRepairAndUninstallLeaveTheUsersThings)
{
    fs::path target = m_dir / "install", iniFile = m_dir / "user.ini";
    fs::path dllFile = PrefixDir("windows\\system32") / "velkan-state.dll";
    std::string dllName = "C:\\windows\\system32\\velkan-state.dll";
    fs::remove(dllFile);
    RegDelete(kSharedDlls, dllName);
    RegDelete(kUserKey);
    RegDelete("HKCU\\Software\\VelkanStateExtra");
    RegAdd(kUserKey, "Colour", "blue");
    RegAdd("HKCU\\Software\\VelkanStateUser", "Keep", "mine");
    WriteText(iniFile, "[Dirs]\r\nData=C:\\admin\r\nTheme=dark\r\n");
    WriteText(target / "My Notes.txt", "the user's own notes");
    WriteText(target / "docs" / "letter.doc", "the user's letter");
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(TwoVersions(m_dir, iniFile, "Velkan State"), setup);
    std::string dir = "/D=" + Quote(WinPath(target));

    ASSERT_EQ(Run(setup, "/V=1 " + dir, "v1"), 0) << Logs();
    EXPECT_EQ(RegValue(kUserKey, "Colour"), "red");
    EXPECT_NE(Ini(iniFile).find("Data=" + WinPath(target) + "\\data"), std::string::npos)
        << Ini(iniFile);
    EXPECT_EQ(RegValue(kSharedDlls, dllName), "0x1");
    EXPECT_TRUE(fs::exists(target / "old.txt"));
    EXPECT_EQ(ReadText(target / "path.cfg").substr(0, WinPath(target).size() + 1),
              WinPath(target) + '\0');

    // The upgrade replaces version 1: its file that version 2 no longer has goes, one entry stays.
    ASSERT_EQ(Run(setup, "/V=2 " + dir, "v2"), 0) << Logs();
    EXPECT_FALSE(fs::exists(target / "old.txt")) << Logs();
    EXPECT_EQ(ReadText(target / "new.txt"), "only in version 2");
    EXPECT_EQ(ReadText(target / "app.exe"), "application, version 2");
    EXPECT_EQ(RegValue(kUserKey, "Colour"), "green");
    ASSERT_EQ(ProgramsEntries("Velkan State").size(), 1u);
    std::string entry = ProgramsEntries("Velkan State")[0];
    EXPECT_EQ(RegValue(entry, "DisplayVersion"), "Two");
    EXPECT_EQ(RegValue(entry, "InstallLocation"), WinPath(target));
    for (const char* name : {"UninstallString", "QuietUninstallString", "DisplayIcon",
                             "InstallDate", "EstimatedSize"}) {
        EXPECT_TRUE(RegValue(entry, name)) << name;
    }

    // A repair counts the shared file once and keeps the one entry.
    ASSERT_EQ(Run(setup, "/V=2 " + dir, "repair"), 0) << Logs();
    EXPECT_EQ(RegValue(kSharedDlls, dllName), "0x1");
    EXPECT_EQ(ProgramsEntries("Velkan State"), std::vector<std::string>{entry});

    // The user changes one of our values; the program leaves files and a key of its own.
    WriteText(iniFile, Ini(iniFile).replace(Ini(iniFile).find("Theme=light"), 11, "Theme=custom"));
    WriteText(target / "cache" / "made-by-the-program.dat", "x");
    RegAdd("HKCU\\Software\\VelkanStateExtra", "x", "y");

    ASSERT_EQ(Run(target / "uninstall.exe", "", "uninstall"), 0) << Logs();
    Shell("sleep 4; wineserver -w");  // a helper may remove the uninstaller after it has ended
    EXPECT_EQ(
        FilesUnder(target),
        (std::vector<fs::path>{"My Notes.txt", "cache/made-by-the-program.dat", "docs/letter.doc"}))
        << "the user's documents survive \"*.*\" in a folder that was there before\n"
        << Logs();
    EXPECT_EQ(RegValue(kUserKey, "Colour"), "blue") << "the earlier value comes back";
    std::string ini = Ini(iniFile);
    EXPECT_NE(ini.find("Data=C:\\admin"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Theme=custom"), std::string::npos)
        << "a value the user changed since stays\n"
        << ini;
    EXPECT_EQ(RegValue("HKCU\\Software\\VelkanStateUser", "Keep"), "mine")
        << "HKEY_CURRENT_USER\\Software is refused";
    EXPECT_FALSE(RegKeyExists("HKCU\\Software\\VelkanStateExtra"));
    EXPECT_EQ(RegValue(kSharedDlls, dllName), std::nullopt);
    EXPECT_FALSE(fs::exists(dllFile));
    EXPECT_TRUE(ProgramsEntries("Velkan State").empty());
    EXPECT_TRUE(FindByName(kWork / "prefix", "Velkan State App.lnk").empty());
    EXPECT_NE(ReadText(m_dir / "uninstall.log").find("registry key refused"), std::string::npos);
}

// A failed upgrade takes back only its own changes: version 1 keeps its files, icon, values and
// entry, and its uninstaller still removes everything.
TEST_F(InstallState, AFailedUpgradeLeavesTheEarlierVersionWorking)
{
    fs::path target = m_dir / "install", iniFile = m_dir / "user.ini";
    RegDelete(kUserKey);
    RegDelete(kSharedDlls, "C:\\windows\\system32\\velkan-state.dll");
    fs::remove(PrefixDir("windows\\system32") / "velkan-state.dll");
    WriteText(iniFile, "[Dirs]\r\nTheme=dark\r\n");
    CDataArray project = TwoVersions(m_dir, iniFile, "Velkan State Failed");
    // Version 2 fails after its files, INI entries and registry values are in place.
    velkan::CFileInfo missing;
    missing.m_strFile = "missing.cfg";
    missing.m_strOffset = "0";
    missing.m_strText = "x";
    project.m_versions[1].m_fileStrings.push_back(missing);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    std::string dir = "/D=" + Quote(WinPath(target));

    ASSERT_EQ(Run(setup, "/V=1 " + dir, "v1"), 0) << Logs();
    std::vector<fs::path> v1Files = FilesUnder(target);
    EXPECT_EQ(Run(setup, "/V=2 " + dir, "v2"), 1) << Logs();
    EXPECT_NE(ReadText(m_dir / "v2.log").find("missing.cfg"), std::string::npos) << Logs();

    EXPECT_EQ(FilesUnder(target), v1Files) << Logs();
    EXPECT_EQ(ReadText(target / "app.exe"), "application, version 1");
    EXPECT_EQ(RegValue(kUserKey, "Colour"), "red");
    EXPECT_NE(Ini(iniFile).find("Theme=light"), std::string::npos) << Ini(iniFile);
    EXPECT_EQ(FindByName(kWork / "prefix", "Velkan State App.lnk").size(), 1u) << Logs();
    ASSERT_EQ(ProgramsEntries("Velkan State Failed").size(), 1u);
    EXPECT_EQ(RegValue(ProgramsEntries("Velkan State Failed")[0], "DisplayVersion"), "One");
    EXPECT_EQ(RegValue(kSharedDlls, "C:\\windows\\system32\\velkan-state.dll"), "0x1");

    ASSERT_EQ(Run(target / "uninstall.exe", "", "uninstall"), 0) << Logs();
    Shell("sleep 4; wineserver -w");
    EXPECT_FALSE(fs::exists(target)) << Logs();
    EXPECT_EQ(RegValue(kUserKey, "Colour"), std::nullopt);
    EXPECT_NE(Ini(iniFile).find("Theme=dark"), std::string::npos) << Ini(iniFile);
    EXPECT_TRUE(ProgramsEntries("Velkan State Failed").empty());
}

// Mutually exclusive versions in two places: installing version 2 elsewhere uninstalls version 1,
// so one entry is listed; what version 2 made again (its icon of the same name) stays.
TEST_F(InstallState, AnExclusiveVersionInAnotherPlaceReplacesTheInstalledOne)
{
    fs::path iniFile = m_dir / "user.ini";
    RegDelete(kUserKey);
    RegDelete(kSharedDlls, "C:\\windows\\system32\\velkan-state.dll");
    fs::remove(PrefixDir("windows\\system32") / "velkan-state.dll");
    WriteText(iniFile, "[Dirs]\r\nTheme=dark\r\n");
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(TwoVersions(m_dir, iniFile, "Velkan State Elsewhere"), setup);
    fs::path first = m_dir / "first", second = m_dir / "second";

    ASSERT_EQ(Run(setup, "/V=1 /D=" + Quote(WinPath(first)), "v1"), 0) << Logs();
    ASSERT_EQ(Run(setup, "/V=2 /D=" + Quote(WinPath(second)), "v2"), 0) << Logs();
    Shell("sleep 1; wineserver -w");
    EXPECT_FALSE(fs::exists(first)) << Logs();
    EXPECT_EQ(ReadText(second / "app.exe"), "application, version 2");
    std::vector<std::string> entries = ProgramsEntries("Velkan State Elsewhere");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(RegValue(entries[0], "InstallLocation"), WinPath(second));
    EXPECT_EQ(RegValue(kUserKey, "Colour"), "green");
    EXPECT_EQ(FindByName(kWork / "prefix", "Velkan State App.lnk").size(), 1u);
    EXPECT_EQ(RegValue(kSharedDlls, "C:\\windows\\system32\\velkan-state.dll"), "0x1");

    ASSERT_EQ(Run(second / "uninstall.exe", "", "uninstall"), 0) << Logs();
    Shell("sleep 4; wineserver -w");
    EXPECT_FALSE(fs::exists(second));
    EXPECT_TRUE(ProgramsEntries("Velkan State Elsewhere").empty());
    EXPECT_TRUE(FindByName(kWork / "prefix", "Velkan State App.lnk").empty());
    EXPECT_EQ(RegValue(kSharedDlls, "C:\\windows\\system32\\velkan-state.dll"), std::nullopt);
}

// Two products of one title keep two entries, one per user and one per machine, with their
// icons in the matching Start menu; uninstalling one leaves the other listed.
TEST_F(InstallState, TwoProductsOfOneTitleInTheirOwnPlaces)
{
    struct Product {
        const char* file;
        const char* scope;
        const char* hive;
        bool common;
    } products[] = {
        {"first.txt", "/CURRENTUSER", "HKEY_CURRENT_USER", false},
        {"second.txt", "/ALLUSERS", "HKEY_LOCAL_MACHINE", true},
    };
    for (const std::string& key : ProgramsEntries("Velkan Same Title")) RegDelete(key);
    for (int n = 0; n < 2; ++n) {
        const Product& p = products[n];
        SCOPED_TRACE(p.scope);
        fs::path src = m_dir / ("src" + std::to_string(n));
        WriteText(src / p.file, p.file);
        CDataArray project;
        project.m_nWindowMode = 0;
        CData v = Version(n + 1, "Same");
        v.m_strSourceDir = src.string() + "/";
        v.m_strTitle = "Velkan Same Title";
        v.m_strUninstFile = "uninstall.exe";
        CFileItem item(p.file);
        item.m_strMenuFolder = "Velkan Same Title";
        item.m_strMenuName = p.file;
        v.m_files.push_back(item);
        project.m_versions.push_back(v);
        fs::path setup = m_dir / ("setup" + std::to_string(n) + ".exe");
        BuildSetup(project, setup);
        ASSERT_EQ(Run(setup,
                      std::string(p.scope) +
                          " /D=" + Quote(WinPath(m_dir / ("install" + std::to_string(n)))),
                      "setup" + std::to_string(n)),
                  0)
            << Logs();
        std::vector<fs::path> links = FindByName(kWork / "prefix", std::string(p.file) + ".lnk");
        ASSERT_EQ(links.size(), 1u);
        EXPECT_EQ(links[0].string().find("ProgramData") != std::string::npos, p.common) << links[0];
    }
    std::vector<std::string> entries = ProgramsEntries("Velkan Same Title");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].rfind(products[1].hive, 0), 0u) << entries[0];  // HKLM is listed first
    EXPECT_EQ(entries[1].rfind(products[0].hive, 0), 0u) << entries[1];

    ASSERT_EQ(Run(m_dir / "install0" / "uninstall.exe", "", "uninstall0"), 0) << Logs();
    EXPECT_EQ(ProgramsEntries("Velkan Same Title"), std::vector<std::string>{entries[0]});
    EXPECT_TRUE(fs::exists(m_dir / "install1" / "second.txt"));
    ASSERT_EQ(Run(m_dir / "install1" / "uninstall.exe", "", "uninstall1"), 0) << Logs();
    EXPECT_TRUE(ProgramsEntries("Velkan Same Title").empty());
}

// Lines that cannot be carried out as written change nothing; the directory forms that batch
// files and people write work; a second run of the same product waits for no one and says so.
TEST_F(InstallState, CommandLineRulesAndOneRunAtATime)
{
    fs::path src = m_dir / "src1";
    WriteText(src / "file.txt", "contents");
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Switches");
    v.m_strUninstFile = "uninstall.exe";
    v.m_files.push_back(CFileItem("file.txt"));
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::path target = m_dir / "target dir";
    std::string winTarget = WinPath(target);

    struct Refused {
        const char* what;
        std::string args;
    } refused[] = {
        {"a drive root", Quote("/D=C:\\")},
        {"the system folder", Quote("/D=C:\\windows\\system32")},
        {"an empty version", "/V= /D=" + Quote(winTarget)},
        {"an unknown version", "/V=7 /D=" + Quote(winTarget)},
        {"an unwritable log",
         "/LOG=" + Quote(WinPath(m_dir / "no such folder" / "x.log")) + " /D=" + Quote(winTarget)},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(Wine(setup.string(), "/S " + r.args), 1);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_TRUE(FindByName(PrefixDir("windows\\system32"), "file.txt").empty());
        EXPECT_FALSE(fs::exists(PrefixDir("") / "file.txt"));
    }

    // An unquoted directory with spaces before the other switches: each word is its own argument.
    EXPECT_EQ(Wine(setup.string(), "/D=" + Quote(WinPath(m_dir / "target")) + " dir /S"), 0);
    EXPECT_EQ(ReadText(target / "file.txt"), "contents");
    fs::remove_all(target);

    // As a batch file writes it: the quotes around the directory, its trailing backslash inside them.
    fs::path batch = m_dir / "run.bat";
    WriteText(batch, "\"" + WinPath(setup) + "\" /S /D=\"" + winTarget + "\\\" /LOG=\"" +
                         WinPath(m_dir / "batch.log") + "\"\r\n");
    Shell(WineLoader() + " cmd /c " + Quote(WinPath(batch)) +
          " </dev/null >/dev/null 2>&1; wineserver -w");
    EXPECT_EQ(ReadText(target / "file.txt"), "contents") << ReadText(m_dir / "batch.log");

#ifdef VELKAN_RUNTIME_PE_DIR
    // The run's lock is named in its log; while another process holds it, a run exits with 4.
    std::string log = ReadText(m_dir / "batch.log");
    size_t at = log.find("Global\\VelkanSetup-");
    ASSERT_NE(at, std::string::npos) << log;
    std::string mutex = log.substr(at, log.find_first_of("\r\n", at) - at);
    fs::path ready = m_dir / "ready", stop = m_dir / "stop";
    Shell(WineLoader() + " " + Quote(TestProgram("holdmutex.exe").string()) + " " + Quote(mutex) +
          " " + Quote(WinPath(ready)) + " " + Quote(WinPath(stop)) +
          " </dev/null >/dev/null 2>&1 &");
    for (int i = 0; i < 200 && !fs::exists(ready); ++i) Shell("sleep 0.1");
    ASSERT_TRUE(fs::exists(ready));
    // (Not through Wine(), which would wait for the holder too.)
    EXPECT_EQ(Shell(WineLoader() + " " + Quote(setup.string()) +
                    " /S /LOG=" + Quote(WinPath(m_dir / "second.log")) +
                    " /D=" + Quote(WinPath(m_dir / "second")) + " </dev/null >/dev/null 2>&1"),
              4);
    EXPECT_EQ(Shell(WineLoader() + " " + Quote((target / "uninstall.exe").string()) +
                    " /S </dev/null >/dev/null 2>&1"),
              4)
        << "nor does its uninstaller run meanwhile";
    WriteText(stop, "");
    Shell("wineserver -w");
    EXPECT_FALSE(fs::exists(m_dir / "second"));
    EXPECT_EQ(ReadText(target / "file.txt"), "contents");
    EXPECT_NE(ReadText(m_dir / "second.log").find("Another setup of this product is running"),
              std::string::npos);

    // An uninstall that cannot remove a file in use says so: in its log and its exit code.
    fs::path held = target / "file.txt";
    ready = m_dir / "held", stop = m_dir / "release";
    Shell(WineLoader() + " " + Quote(TestProgram("holdopen.exe").string()) + " " +
          Quote(WinPath(held)) + " " + Quote(WinPath(ready)) + " " + Quote(WinPath(stop)) +
          " </dev/null >/dev/null 2>&1 &");
    for (int i = 0; i < 200 && !fs::exists(ready); ++i) Shell("sleep 0.1");
    ASSERT_TRUE(fs::exists(ready));
    EXPECT_EQ(Shell(WineLoader() + " " + Quote((target / "uninstall.exe").string()) + " /S /LOG=" +
                    Quote(WinPath(m_dir / "uninstall.log")) + " </dev/null >/dev/null 2>&1"),
              3010 & 0xFF);
    WriteText(stop, "");
    Shell("wineserver -w");
    EXPECT_NE(ReadText(m_dir / "uninstall.log")
                  .find("left until the next restart, in use: " + WinPath(held)),
              std::string::npos)
        << ReadText(m_dir / "uninstall.log");
#endif
}

}  // namespace
}  // namespace velkan::test
