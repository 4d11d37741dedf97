// The install runtime end to end: setup programs built from real projects are run
// unattended under Wine in a private prefix (its own WINEPREFIX and HOME inside the build tree),
// and what they install is compared with the sources, byte for byte, together with the INI
// entries, registry values, strings written into files, links and the uninstaller's work.
#include "BuildSetup.h"
#include "HostileSetup.h"
#include "WineFixture.h"
#include "core/model/CDataArray.h"
#include "core/model/FileOption.h"
#include "core/model/ProjectFile.h"

namespace velkan::test {
namespace {

using velkan::CData;
using velkan::CDataArray;
using velkan::CFileItem;

CFileItem Item(const std::string& path)
{
    CFileItem item(path);
    return item;
}

// Three versions sharing files, with deltas and data taken over from earlier versions; each is
// installed on its own and compared byte for byte with its sources.
TEST_F(RuntimeWine, InstallsEveryVersionByteForByte)
{
    CDataArray project;
    project.m_nWindowMode = 0;
    std::vector<uint8_t> tool = Noise(150000, 1), big = Noise(400000, 2), shared = Noise(30000, 3);
    std::vector<uint8_t> tool2 = tool, big2 = big;
    for (size_t i = 5000; i < 5300; ++i) tool2[i] = static_cast<uint8_t>(i);
    tool2.insert(tool2.begin() + 90000, 777, 'Z');
    big2.erase(big2.begin() + 100000, big2.begin() + 101000);
    big2[300000] ^= 0xFF;

    for (int n = 1; n <= 3; ++n) {
        fs::path src = m_dir / ("src" + std::to_string(n));
        WriteText(src / "readme.txt", "Velkan readme, same in every version\r\n");
        WriteBytes(src / "lib" / "shared.dll", shared);
        WriteBytes(src / "bin" / "tool.dat", n == 1 ? tool : tool2);
        WriteBytes(src / "data" / "big.bin", n == 2 ? big2 : big);
        WriteBytes(src / "empty.txt", {});
    }
    WriteText(m_dir / "src2" / "only2.txt", "only in version 2");
    WriteText(m_dir / "src3" / "deep" / "er" / "only3.txt", "only in version 3");

    const char* names[] = {"One", "Two", "Three"};
    for (int n = 1; n <= 3; ++n) {
        CData v = Version(n, names[n - 1]);
        for (const char* p :
             {"readme.txt", "lib\\shared.dll", "bin\\tool.dat", "data\\big.bin", "empty.txt"}) {
            v.m_files.push_back(Item(p));
        }
        if (n == 2) v.m_files.push_back(Item("only2.txt"));
        if (n == 3) v.m_files.push_back(Item("deep\\er\\only3.txt"));
        project.m_versions.push_back(v);
    }
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);

    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE("version " + std::to_string(n));
        fs::path target = m_dir / ("install" + std::to_string(n));
        std::string choice = n == 2 ? "/V=two" : "/V=" + std::to_string(n);
        fs::path log = m_dir / ("setup" + std::to_string(n) + ".log");
        ASSERT_EQ(Wine(setup.string(), choice + " /LOG=" + Quote(WinPath(log)) +
                                           " /S /D=" + Quote(WinPath(target))),
                  0)
            << ReadText(log);
        fs::path src = m_dir / ("src" + std::to_string(n));
        ASSERT_EQ(FilesUnder(target), FilesUnder(src));
        for (const fs::path& f : FilesUnder(src))
            EXPECT_EQ(ReadBytes(target / f), ReadBytes(src / f)) << f;
    }
}

// One version with everything around the files: INI entries and registry values (macros
// expanded, do-not-overwrite honoured), strings written into files, icons and a shortcut, the
// directory records, the uninstaller; then the uninstaller removes everything of ours.
TEST_F(RuntimeWine, InstallsSettingsAndUninstallsThem)
{
    CDataArray project;
    project.m_nWindowMode = 0;
    fs::path src = m_dir / "src1";
    WriteText(src / "app.exe", "MZ not really a program, but a file");
    WriteText(src / "doc" / "notes.txt", "0123456789 MARKER here and more text after it");
    WriteText(src / "keep.txt", "kept on uninstall");

    CData v = Version(1, "Full");
    CFileItem app = Item("app.exe");
    app.m_strMenuFolder = "Velkan Test Full";
    app.m_strMenuName = "Velkan App";
    app.m_strShortcutName = "Velkan App Shortcut";
    v.m_files.push_back(app);
    v.m_files.push_back(Item("doc\\notes.txt"));
    CFileItem keep = Item("keep.txt");
    keep.SetOption(velkan::OptInstallMode, velkan::InstallKeep);
    v.m_files.push_back(keep);

    velkan::CIniInfo ini;
    ini.m_strFile = "#InstallDir#\\settings.ini";
    ini.m_strSection = "Main";
    ini.m_strEntry = "Dir";
    ini.m_strValue = "#InstallDir#\\data";
    v.m_iniEntries.push_back(ini);
    velkan::CIniInfo kept = ini;
    kept.m_strEntry = "Kept";
    kept.m_strValue = "new";
    kept.m_nFlags = 1;
    v.m_iniEntries.push_back(kept);

    velkan::CRegInfo reg;
    reg.m_nRootKey = 1;
    reg.m_strKey = "Software\\VelkanTest\\Full";
    reg.m_strSubkey = "Path";
    reg.m_strValue = "#InstallDir#\\app.exe";
    v.m_regEntries.push_back(reg);
    velkan::CRegInfo regKept = reg;
    regKept.m_strKey = "Software\\VelkanTestKept";
    regKept.m_strSubkey = "Value";
    regKept.m_strValue = "from setup";
    regKept.m_nFlags = 1;
    v.m_regEntries.push_back(regKept);

    velkan::CFileInfo atOffset;
    atOffset.m_strFile = "#InstallDir#\\doc\\notes.txt";
    atOffset.m_nOffsetMode = 0;
    atOffset.m_strOffset = "2";
    atOffset.m_strText = "AB";
    v.m_fileStrings.push_back(atOffset);
    velkan::CFileInfo atPattern;
    atPattern.m_strFile = "doc\\notes.txt";
    atPattern.m_nOffsetMode = 1;
    atPattern.m_strOffset = "\"MARKER\"";
    atPattern.m_strText = "XYZ";
    v.m_fileStrings.push_back(atPattern);

    // The directory record goes under HKEY_CLASSES_ROOT (root 0): the package reader takes a
    // non-zero root number at header offset 16 for a string offset and refuses the block.
    v.m_nDirFlags = 0x02 | 0x04;
    v.m_nDirRootKey = 0;
    v.m_strDirKey = "Software\\VelkanTestDir";
    v.m_strDirSubkey = "InstallDir";
    v.m_strUninstFile = "uninstall.exe";
    v.m_strUninstFolder = "Velkan Test Full";
    v.m_strUninstIcon = "Uninstall Velkan";
    v.m_strUninstExtra = "*.tmp";
    v.m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software\\VelkanTestExtra"};
    project.m_versions.push_back(v);

    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::path target = m_dir / "install";
    std::string winTarget = WinPath(target);

    // A value that exists already is kept (do-not-overwrite), as is an INI entry.
    Shell(WineLoader() +
          " reg add 'HKCU\\Software\\VelkanTestKept' /v Value /d before /f >/dev/null 2>&1");
    fs::create_directories(target);
    WriteText(target / "settings.ini", "[Main]\r\nKept=old\r\n");
    Shell(WineLoader() +
          " reg add 'HKCU\\Software\\VelkanTestExtra\\Sub' /v X /d y /f >/dev/null 2>&1");

    fs::path log = m_dir / "setup.log";
    ASSERT_EQ(Wine(setup.string(), "/S /LOG=" + Quote(WinPath(log)) + " /D=" + Quote(winTarget)), 0)
        << ReadText(log);

    EXPECT_EQ(ReadText(target / "app.exe"), "MZ not really a program, but a file");
    EXPECT_EQ(ReadText(target / "doc" / "notes.txt"),
              std::string("01AB\0"
                          "56789 XYZ\0ER here and more text after it",
                          45));
    std::string settings = ReadText(target / "settings.ini");
    EXPECT_NE(settings.find("Dir=" + winTarget + "\\data"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Kept=old"), std::string::npos) << settings;
    std::string query = Capture(WineLoader() + " reg query 'HKCU\\Software\\VelkanTest\\Full'");
    EXPECT_NE(query.find(winTarget + "\\app.exe"), std::string::npos) << query;
    std::string dirQuery =
        Capture(WineLoader() + " reg query 'HKCR\\Software\\VelkanTestDir' /v InstallDir");
    EXPECT_NE(dirQuery.find(winTarget), std::string::npos) << dirQuery;
    EXPECT_NE(Capture(WineLoader() + " reg query 'HKCU\\Software\\VelkanTestKept' /v Value")
                  .find("before"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(target / "uninstall.exe"));
    EXPECT_EQ(FindByName(kWork, "Velkan App.lnk").size(), 1u);
    EXPECT_EQ(FindByName(kWork, "Velkan App Shortcut.lnk").size(), 1u);
    EXPECT_EQ(FindByName(kWork, "Uninstall Velkan.lnk").size(), 1u);
    std::vector<std::string> entries = ProgramsEntries("Velkan Test Full");
    ASSERT_EQ(entries.size(), 1u);
    std::string list = Capture(WineLoader() + " reg query " + Quote(entries[0]));
    EXPECT_NE(list.find("UninstallString"), std::string::npos) << list;

    // The extra files match in folders the product made; the installation directory was there before.
    WriteText(target / "scratch.tmp", "made by the user in a folder that was there before");
    WriteText(target / "doc" / "scratch.tmp", "made by the program; the uninstaller's extra files");
    fs::path uninstallLog = m_dir / "uninstall.log";
    ASSERT_EQ(Wine((target / "uninstall.exe").string(), "/S /LOG=" + Quote(WinPath(uninstallLog))),
              0)
        << ReadText(uninstallLog);
    Shell("sleep 4; wineserver -w");  // a helper may remove the uninstaller after it has ended

    // Only what was there before, and the file kept on uninstall, remain.
    EXPECT_EQ(FilesUnder(target),
              std::vector<fs::path>({"keep.txt", "scratch.tmp", "settings.ini"}))
        << ReadText(uninstallLog);
    settings = ReadText(target / "settings.ini");
    EXPECT_EQ(settings.find("Dir="), std::string::npos) << settings;
    EXPECT_NE(settings.find("Kept=old"), std::string::npos) << settings;
    EXPECT_EQ(Capture(WineLoader() + " reg query 'HKCU\\Software\\VelkanTest'").find("Full"),
              std::string::npos);
    EXPECT_EQ(Shell(WineLoader() + " reg query 'HKCU\\Software\\VelkanTest' >/dev/null 2>&1"), 1);
    EXPECT_EQ(Shell(WineLoader() + " reg query 'HKCU\\Software\\VelkanTestExtra' >/dev/null 2>&1"),
              1);
    EXPECT_EQ(Shell(WineLoader() + " reg query 'HKCR\\Software\\VelkanTestDir' >/dev/null 2>&1"),
              1);
    EXPECT_NE(Capture(WineLoader() + " reg query 'HKCU\\Software\\VelkanTestKept' /v Value")
                  .find("before"),
              std::string::npos);
    EXPECT_TRUE(FindByName(kWork, "Velkan App.lnk").empty());
    EXPECT_TRUE(FindByName(kWork, "Velkan App Shortcut.lnk").empty());
    EXPECT_TRUE(FindByName(kWork, "Uninstall Velkan.lnk").empty());
    EXPECT_TRUE(FindByName(kWork / "prefix", "Velkan Test Full").empty());
    EXPECT_TRUE(ProgramsEntries("Velkan Test Full").empty());
}

// The Windows 3.1 layout (stub 501, uninstaller 506, 64 KB-aligned tables) with the file options:
// a file kept outside the setup program, one not installed but with a shortcut, a directory-only
// entry, a shared file with its usage count; the directory comes from the registry when present.
TEST_F(RuntimeWine, InstallsTheWindows31LayoutWithFileOptions)
{
    fs::path src = m_dir / "src1";
    fs::path dist = m_dir / "dist";
    WriteBytes(src / "main.bin", Noise(70000, 11));
    WriteText(src / "extra" / "manual.txt", "kept outside the setup program");
    WriteText(dist / "extra" / "manual.txt", "kept outside the setup program");
    WriteText(src / "viewer.txt", "not installed, only linked");
    WriteText(src / "logs" / "placeholder.txt", "only its directory is made");
    WriteBytes(src / "common.dll", Noise(5000, 12));

    CDataArray project;
    project.m_nWindowMode = 0;
    project.m_nPlatform = 0;
    CData v = Version(1, "Old");
    v.m_files.push_back(Item("main.bin"));
    CFileItem external = Item("extra\\manual.txt");
    external.SetOption(velkan::OptKeepExternal, velkan::OptionOn);
    v.m_files.push_back(external);
    CFileItem viewer = Item("viewer.txt");
    viewer.SetOption(velkan::OptInstallMode, velkan::InstallSkip);
    viewer.m_strShortcutName = "Velkan Viewer";
    v.m_files.push_back(viewer);
    CFileItem logs = Item("logs\\placeholder.txt");
    logs.SetOption(velkan::OptInstallMode, velkan::InstallDirectoryOnly);
    v.m_files.push_back(logs);
    CFileItem common = Item("common.dll");
    common.SetOption(velkan::OptUsageCount, velkan::OptionOn);
    v.m_files.push_back(common);
    v.m_strDirKey = "Software\\VelkanTestOld";  // root 0, HKEY_CLASSES_ROOT
    v.m_strDirSubkey = "Path";
    v.m_strUninstFile = "uninst.exe";
    project.m_versions.push_back(v);
    fs::path setup = dist / "setup.exe";
    BuildSetup(project, setup);

    fs::path target = m_dir / "from registry";
    Shell(WineLoader() + " reg add 'HKCR\\Software\\VelkanTestOld' /v Path /d " +
          Quote(WinPath(target)) + " /f >/dev/null 2>&1");
    fs::path log = m_dir / "setup.log";
    EXPECT_EQ(Wine(setup.string(), "/S /V=Nope"), 1);
    ASSERT_EQ(Wine(setup.string(), "/S /LOG=" + Quote(WinPath(log))), 0) << ReadText(log);

    EXPECT_EQ(ReadBytes(target / "main.bin"), ReadBytes(src / "main.bin"));
    EXPECT_EQ(ReadText(target / "extra" / "manual.txt"), "kept outside the setup program");
    EXPECT_FALSE(fs::exists(target / "viewer.txt"));
    EXPECT_EQ(FindByName(kWork, "Velkan Viewer.lnk").size(), 1u);
    EXPECT_TRUE(fs::is_directory(target / "logs"));
    EXPECT_FALSE(fs::exists(target / "logs" / "placeholder.txt"));
    // A usage count means something only in the Windows, System and Fonts directories.
    std::string shared = Capture(WineLoader() + " reg query '" + kSharedDlls + "'");
    EXPECT_EQ(shared.find(WinPath(target / "common.dll")), std::string::npos) << shared;

    ASSERT_EQ(Wine((target / "uninst.exe").string(), "/S"), 0);
    Shell("sleep 4; wineserver -w");
    EXPECT_FALSE(fs::exists(target)) << "the directory the setup program made goes with its files";
    EXPECT_TRUE(FindByName(kWork, "Velkan Viewer.lnk").empty());
    shared = Capture(WineLoader() + " reg query '" + kSharedDlls + "'");
    EXPECT_EQ(shared.find(WinPath(target / "common.dll")), std::string::npos) << shared;

    // Without the external file beside it, the setup program installs nothing.
    fs::remove(dist / "extra" / "manual.txt");
    fs::path elsewhere = m_dir / "no-external";
    EXPECT_EQ(Wine(setup.string(), "/S /D=" + Quote(WinPath(elsewhere))), 1);
    EXPECT_FALSE(fs::exists(elsewhere));
}

// A setup program written by the real build (velkanc build) from a saved project: two versions,
// the second with a changed file (a delta) and an uninstaller; both install byte for byte.
TEST_F(RuntimeWine, InstallsWhatVelkancBuildWrites)
{
#ifndef VELKANC_PATH
    GTEST_SKIP() << "velkanc is not part of this build";
#else
    std::vector<uint8_t> data = Noise(250000, 21), data2 = data;
    data2.insert(data2.begin() + 120000, 500, 'Q');
    // ext.bin is kept external by version 1; version 2 stores a delta against it, rebuilt from
    // the file beside the setup program.
    std::vector<uint8_t> ext = Noise(40000, 22), ext2 = ext;
    ext2[1000] ^= 0x55;
    for (int n = 1; n <= 2; ++n) {
        fs::path src = m_dir / ("src" + std::to_string(n));
        WriteBytes(src / "app" / "data.bin", n == 1 ? data : data2);
        WriteText(src / "readme.txt", "the same in both versions");
        WriteBytes(src / "ext.bin", n == 1 ? ext : ext2);
    }
    WriteBytes(m_dir / "ext.bin", ext);
    CDataArray project;
    project.m_nWindowMode = 0;
    for (int n = 1; n <= 2; ++n) {
        CData v = Version(n, n == 1 ? "Built1" : "Built2");
        v.m_files.push_back(Item("app\\data.bin"));
        v.m_files.push_back(Item("readme.txt"));
        v.m_files.push_back(Item("ext.bin"));
        if (n == 1) v.m_files.back().SetOption(velkan::OptKeepExternal, velkan::OptionOn);
        if (n == 2) v.m_strUninstFile = "remove.exe";
        project.m_versions.push_back(v);
    }
    fs::path vkp = m_dir / "project.vkp";
    velkan::SaveProject(project, vkp.string());
    fs::path setup = m_dir / "built.exe";
    ASSERT_EQ(VelkancBuild(vkp, setup, "", m_dir / "build.txt"), 0)
        << ReadText(m_dir / "build.txt");
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        fs::path target = m_dir / ("install" + std::to_string(n));
        fs::path log = m_dir / ("setup" + std::to_string(n) + ".log");
        ASSERT_EQ(InstallUnattended(setup, target, log, "/V=" + std::to_string(n)), 0)
            << ReadText(log);
        fs::path src = m_dir / ("src" + std::to_string(n));
        for (const fs::path& f : FilesUnder(src))
            EXPECT_EQ(ReadBytes(target / f), ReadBytes(src / f)) << f;
    }
    EXPECT_TRUE(fs::exists(m_dir / "install2" / "remove.exe"));
    ASSERT_EQ(Wine((m_dir / "install2" / "remove.exe").string(), "/S"), 0);
    Shell("sleep 4; wineserver -w");
    EXPECT_FALSE(fs::exists(m_dir / "install2"));
#endif
}

// velkanc build --delta-search global: the second version's file is the first's with its start
// moved to the end, beyond the window's reach; the runtime applies the delta byte for byte.
TEST_F(RuntimeWine, InstallsAGlobalSearchDelta)
{
#ifndef VELKANC_PATH
    GTEST_SKIP() << "velkanc is not part of this build";
#else
    const std::vector<uint8_t> data = Noise(400000, 41);
    std::vector<uint8_t> moved(data.begin() + 100000, data.end());
    moved.insert(moved.end(), data.begin(), data.begin() + 100000);
    moved[200000] ^= 0x55;
    CDataArray project;
    project.m_nWindowMode = 0;
    for (int n = 1; n <= 2; ++n) {
        WriteBytes(m_dir / ("src" + std::to_string(n)) / "app.bin", n == 1 ? data : moved);
        CData v = Version(n, n == 1 ? "Global1" : "Global2");
        v.m_files.push_back(Item("app.bin"));
        project.m_versions.push_back(v);
    }
    fs::path vkp = m_dir / "project.vkp";
    velkan::SaveProject(project, vkp.string());
    fs::path setup = m_dir / "global.exe";
    ASSERT_EQ(VelkancBuild(vkp, setup, "--delta-search global", m_dir / "build.txt"), 0)
        << ReadText(m_dir / "build.txt");
    fs::path plain = m_dir / "window.exe";
    ASSERT_EQ(VelkancBuild(vkp, plain, "", m_dir / "build.txt"), 0);
    // The window search codes most of the moved file as literals; the global one copies it.
    EXPECT_GT(fs::file_size(plain), fs::file_size(setup) + 250000);
    fs::path target = m_dir / "install";
    fs::path log = m_dir / "setup.log";
    ASSERT_EQ(InstallUnattended(setup, target, log, "/V=2"), 0) << ReadText(log);
    EXPECT_TRUE(ReadBytes(target / "app.bin") == moved);
#endif
}

// velkanc build --share-equal-files: equal files of one version are stored once and every one
// of them is installed byte for byte.
TEST_F(RuntimeWine, InstallsFilesSharingTheirData)
{
#ifndef VELKANC_PATH
    GTEST_SKIP() << "velkanc is not part of this build";
#else
    const std::vector<uint8_t> data = Noise(120000, 31);
    fs::path src = m_dir / "src1";
    WriteBytes(src / "a" / "lib.bin", data);
    WriteBytes(src / "b" / "lib.bin", data);
    WriteBytes(src / "c.bin", data);
    WriteText(src / "a" / "COPYING", "the same licence");
    WriteText(src / "b" / "COPYING", "the same licence");
    WriteText(src / "other.txt", "not shared");
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Shared");
    for (const char* path :
         {"a\\lib.bin", "a\\COPYING", "b\\lib.bin", "b\\COPYING", "c.bin", "other.txt"}) {
        v.m_files.push_back(Item(path));
    }
    project.m_versions.push_back(v);
    fs::path vkp = m_dir / "project.vkp";
    velkan::SaveProject(project, vkp.string());
    fs::path setup = m_dir / "shared.exe";
    ASSERT_EQ(VelkancBuild(vkp, setup, "--share-equal-files", m_dir / "build.txt"), 0)
        << ReadText(m_dir / "build.txt");
    fs::path plain = m_dir / "plain.exe";
    ASSERT_EQ(VelkancBuild(vkp, plain, "", m_dir / "build.txt"), 0);
    // The noise is stored once instead of three times (it packs to about 60%).
    EXPECT_GT(fs::file_size(plain), fs::file_size(setup) + data.size());
    fs::path target = m_dir / "install";
    fs::path log = m_dir / "setup.log";
    ASSERT_EQ(InstallUnattended(setup, target, log), 0) << ReadText(log);
    for (const fs::path& f : FilesUnder(src))
        EXPECT_EQ(ReadBytes(target / f), ReadBytes(src / f)) << f;
#endif
}

// Damaged setup programs install nothing and exit 1: one flipped byte in a packed file, a
// program cut short, and an entry path that would leave the installation directory (which the
// build refuses, so that program is written without it).
TEST_F(RuntimeWine, DamagedProgramsInstallNothing)
{
    fs::path src = m_dir / "src1";
    WriteBytes(src / "first.bin", Noise(50000, 7));
    WriteBytes(src / "second.bin", Noise(300000, 8));
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Damaged");
    v.m_files.push_back(Item("first.bin"));
    v.m_files.push_back(Item("second.bin"));
    project.m_versions.push_back(v);
    fs::path good = m_dir / "good.exe";
    BuildSetup(project, good);
    std::vector<uint8_t> bytes = ReadBytes(good);

    std::vector<uint8_t> flipped = bytes;
    flipped[flipped.size() - 20000] ^= 0x10;  // inside the last file's packed stream
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 1000);
    std::vector<uint8_t> trailing = bytes;
    trailing.push_back(0);  // a byte after the data section, which no signature explains

    WriteText(m_dir / "escape.txt", "outside");
    CDataArray escaping = project;
    escaping.m_versions[0].m_files.push_back(Item("..\\escape.txt"));

    struct Case {
        const char* name;
        std::vector<uint8_t> program;
    } cases[] = {{"flipped", flipped}, {"cut", cut}, {"trailing", trailing}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path program = m_dir / (std::string(c.name) + ".exe");
        WriteBytes(program, c.program);
        fs::path target = m_dir / (std::string("install-") + c.name);
        fs::path log = m_dir / (std::string(c.name) + ".log");
        EXPECT_EQ(InstallUnattended(program, target, log), 1);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_NE(ReadText(log).find("This file contains invalid data."), std::string::npos)
            << ReadText(log);
    }
    {
        fs::path program = m_dir / "escape.exe";
        WriteHostileSetup(escaping, program);
        fs::path target = m_dir / "deeper" / "install-escape";
        WriteText(m_dir / "deeper" / "escape.txt", "must stay");
        fs::path log = m_dir / "escape.log";
        EXPECT_EQ(InstallUnattended(program, target, log), 1);
        EXPECT_FALSE(fs::exists(target));
        EXPECT_EQ(ReadText(m_dir / "deeper" / "escape.txt"), "must stay");
        // Refused for its name, not for damage the writer might have made.
        EXPECT_NE(ReadText(log).find("a \"..\" component"), std::string::npos) << ReadText(log);
    }
    // The undamaged program installs.
    fs::path target = m_dir / "install-good";
    EXPECT_EQ(Wine(good.string(), "/S /D=" + Quote(WinPath(target))), 0);
    EXPECT_EQ(ReadBytes(target / "second.bin"), ReadBytes(src / "second.bin"));
}

// Names and folders a setup program must not write through, tried against the runtime itself: the
// device names with the superscript digits (Windows-1252 0xB9, 0xB2, 0xB3), which Windows treats
// as COM1 and so on (the build refuses such names, so these programs are written without it); and
// a folder inside the installation folder that leads elsewhere. Wine 8 cannot make a
// junction (`mklink /J` fails there), but it shows a host link to a folder as a reparse point,
// with the attribute a junction has, so that is the folder used.
TEST_F(RuntimeWine, DeviceNamesAndLinkedFoldersInstallNothing)
{
    fs::path src = m_dir / "src1";
    WriteText(src / "first.txt", "first");
    WriteText(src / "docs" / "readme.txt", "readme");
    for (const char* name : {"COM\xB9.txt", "LPT\xB2", "com\xB3.log"}) {
        SCOPED_TRACE(name);
        WriteText(src / name, "device");
        CDataArray project;
        project.m_nWindowMode = 0;
        CData v = Version(1, "Device");
        v.m_files.push_back(Item("first.txt"));
        v.m_files.push_back(Item(name));
        project.m_versions.push_back(v);
        fs::path program = m_dir / "device.exe";
        WriteHostileSetup(project, program);
        fs::path target = m_dir / "install-device";
        fs::path log = m_dir / "device.log";
        EXPECT_EQ(InstallUnattended(program, target, log), 1);
        EXPECT_FALSE(fs::exists(target / "first.txt"));
        EXPECT_NE(ReadText(log).find("a device name reserved by Windows"), std::string::npos)
            << ReadText(log);
    }

    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Linked");
    v.m_files.push_back(Item("first.txt"));
    v.m_files.push_back(Item("docs\\readme.txt"));
    project.m_versions.push_back(v);
    fs::path program = m_dir / "linked.exe";
    BuildSetup(project, program);
    fs::path target = m_dir / "install-linked";
    fs::create_directories(target);
    fs::create_directories(m_dir / "elsewhere");
    fs::create_directory_symlink(m_dir / "elsewhere", target / "docs");
    fs::path log = m_dir / "linked.log";
    EXPECT_EQ(InstallUnattended(program, target, log), 1);
    EXPECT_TRUE(FilesUnder(m_dir / "elsewhere").empty()) << "nothing written through the link";
    EXPECT_FALSE(fs::exists(target / "first.txt"));
    EXPECT_NE(ReadText(log).find("a junction or link inside the installation folder"),
              std::string::npos)
        << ReadText(log);

    // Without the link the same program installs.
    fs::remove(target / "docs");
    EXPECT_EQ(Wine(program.string(), "/S /D=" + Quote(WinPath(target))), 0);
    EXPECT_EQ(ReadText(target / "docs" / "readme.txt"), "readme");
}

// A failure while files are put in place takes everything back: files it added go, the files it
// replaced return (one staged in memory, one too large for that and staged on disk), and nothing
// of the run is left behind. The same program then installs once the obstacle is gone.
TEST_F(RuntimeWine, AFailureWhilePuttingFilesInPlaceUndoesEverything)
{
    fs::path src = m_dir / "src1";
    WriteText(src / "replaced.txt", "new contents");
    WriteBytes(src / "fresh" / "added.bin", Noise(20000, 21));
    WriteBytes(src / "big.bin", Noise(17u << 20, 22));
    WriteText(src / "zlast.txt", "cannot be placed while a folder has its name");
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Rollback");
    v.m_strUninstFile = "uninst.exe";
    for (const char* p : {"replaced.txt", "fresh\\added.bin", "big.bin", "zlast.txt"})
        v.m_files.push_back(Item(p));
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);

    for (const std::string& key : ProgramsEntries("Velkan Test Rollback"))
        RegDelete(key);  // left by an earlier run
    fs::path target = m_dir / "install";
    WriteText(target / "replaced.txt", "previous");
    WriteText(target / "big.bin", "previous big");
    fs::create_directories(target / "zlast.txt");
    fs::path log = m_dir / "failed.log";
    EXPECT_EQ(InstallUnattended(setup, target, log), 1);
    EXPECT_NE(ReadText(log).find("a folder has that name"), std::string::npos) << ReadText(log);
    EXPECT_EQ(ReadText(target / "replaced.txt"), "previous");
    EXPECT_EQ(ReadText(target / "big.bin"), "previous big");
    EXPECT_TRUE(fs::is_directory(target / "zlast.txt"));
    EXPECT_EQ(FilesUnder(target), (std::vector<fs::path>{"big.bin", "replaced.txt"}))
        << "nothing added, no copies left";
    EXPECT_FALSE(fs::exists(target / "fresh"));
    EXPECT_TRUE(ProgramsEntries("Velkan Test Rollback").empty());

    fs::remove(target / "zlast.txt");
    ASSERT_EQ(InstallUnattended(setup, target, log), 0) << ReadText(log);
    for (const char* p : {"replaced.txt", "fresh/added.bin", "big.bin", "zlast.txt"}) {
        EXPECT_EQ(ReadBytes(target / p), ReadBytes(src / p)) << p;
    }
    std::vector<fs::path> left = FilesUnder(target);
    EXPECT_EQ(
        std::count_if(left.begin(), left.end(),
                      [](const fs::path& f) { return f.filename().string().rfind("~vk", 0) == 0; }),
        0)
        << "the replaced files' copies are gone";
    EXPECT_TRUE(fs::exists(target / "uninst.exe"));
}

}  // namespace
}  // namespace velkan::test
