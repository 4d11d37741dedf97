// The per-file options of the install runtime under Wine: fonts, the screen saver and in-process
// servers with what they register, files in use replaced at the next restart, and files in the
// Windows and System directories with their versions and shared usage counts, each installed and
// then uninstalled.
#include <chrono>
#include <thread>

#include "BuildSetup.h"
#include "WineFixture.h"
#include "core/model/CDataArray.h"
#include "core/model/FileOption.h"

namespace velkan::test {
namespace {

using velkan::CData;
using velkan::CDataArray;
using velkan::CFileItem;

const std::string kFonts = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const std::string kDesktop = "HKCU\\Control Panel\\Desktop";
const std::string kServerClass = "HKCR\\CLSID\\{5E1C0A6B-7D3F-4C2A-9B1E-0F6D2A8C4B17}";
const std::string kSessionManager = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager";
// Where Wine's 64-bit programs find the Windows and System directories.
const std::string kWindowsDir = "C:\\windows";
const std::string kSystemDir = "C:\\windows\\system32";

#ifdef VELKAN_RUNTIME_PE_DIR
#define REQUIRE_TEST_PROGRAMS() (void)0
#else
#define REQUIRE_TEST_PROGRAMS() \
    GTEST_SKIP() << "the mingw-w64 cross compiler was not found: no test programs"
#endif

CFileItem Item(const std::string& path,
               std::initializer_list<std::pair<FileOption, int>> options = {})
{
    CFileItem item(path);
    for (const auto& [option, value] : options) item.SetOption(option, value);
    return item;
}

// Unattended installs and uninstalls that leave their run logs in m_dir, for the failure messages.
class FileOptions : public RuntimeWine {
protected:
    // Installs version n (1-based) of setup into target; returns the exit code.
    int Install(const fs::path& setup, int n, const fs::path& target)
    {
        fs::path log = Log("setup" + std::to_string(n));
        return InstallUnattended(setup, target, log, "/V=" + std::to_string(n));
    }

    int Uninstall(const fs::path& program)
    {
        fs::path log = Log("uninstall-" + program.parent_path().filename().string());
        int code = Wine(program.string(), "/S /LOG=" + Quote(WinPath(log)));
        Shell("sleep 4; wineserver -w");  // a helper may remove the uninstaller after it has ended
        return code;
    }

    fs::path Log(const std::string& name) const { return m_dir / (name + ".log"); }
    std::string Logs() const
    {
        std::string text;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            if (e.path().extension() == ".log")
                text += "--- " + e.path().filename().string() + "\n" + ReadText(e.path());
        }
        return text;
    }
};

// A font goes to the Fonts directory with its registry value, a screen saver becomes the current
// one, an in-process server registers itself; the uninstaller takes the font, its value and the
// server's registration away again.
TEST_F(FileOptions, FontsScreenSaversAndServersAreRegistered)
{
    REQUIRE_TEST_PROGRAMS();
    fs::path src = m_dir / "src1";
    WriteBytes(src / "fonts" / "velkanopt.ttf", Noise(3000, 31));
    WriteText(src / "velkan.scr", "MZ a screen saver, for the desktop's settings only");
    fs::copy_file(TestProgram("comserver.dll"), src / "comserver.dll");
    fs::path fontFile = PrefixDir("windows\\Fonts") / "velkanopt.ttf";
    fs::remove(fontFile);
    RegDelete(kFonts, "velkanopt (TrueType)");
    RegDelete(kServerClass);
    RegAdd(kDesktop, "SCRNSAVE.EXE", "C:\\windows\\system32\\before.scr");

    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Special");
    v.m_files.push_back(Item("fonts\\velkanopt.ttf", {{OptDestination, DestFonts}}));
    v.m_files.push_back(Item("velkan.scr", {{OptSpecial, SpecialScreenSaver}}));
    v.m_files.push_back(Item("comserver.dll", {{OptSpecial, SpecialRegisterOcx}}));
    v.m_strUninstFile = "uninstall.exe";
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::path target = m_dir / "install";

    struct Value {
        std::string key, name, installed;
    } values[] = {
        {kFonts, "velkanopt (TrueType)", "velkanopt.ttf"},
        {kDesktop, "SCRNSAVE.EXE", WinPath(target / "velkan.scr")},
        {kServerClass + "\\InprocServer32", "", WinPath(target / "comserver.dll")},
    };

    ASSERT_EQ(Install(setup, 1, target), 0) << Logs();
    EXPECT_EQ(ReadBytes(fontFile), ReadBytes(src / "fonts" / "velkanopt.ttf"));
    EXPECT_FALSE(fs::exists(target / "fonts"))
        << "a font goes to the Fonts directory by its name alone";
    for (const Value& value : values) {
        EXPECT_EQ(RegValue(value.key, value.name), value.installed)
            << value.key << "\\" << value.name << "\n"
            << Logs();
    }

    ASSERT_EQ(Uninstall(target / "uninstall.exe"), 0) << Logs();
    EXPECT_FALSE(fs::exists(fontFile)) << Logs();
    EXPECT_EQ(RegValue(kFonts, "velkanopt (TrueType)"), std::nullopt);
    EXPECT_FALSE(RegKeyExists(kServerClass)) << "the uninstaller calls DllUnregisterServer\n"
                                             << Logs();
    EXPECT_EQ(RegValue(kDesktop, "SCRNSAVE.EXE"), "C:\\windows\\system32\\before.scr")
        << "the earlier screen saver comes back, no setting names a removed file";
    EXPECT_FALSE(fs::exists(target)) << Logs();
}

// Files of the Windows and System directories: a more recent installed version is kept
// (unattended, the answer is No), an older one is replaced. A shared file counts the program
// that installed it before us too, so the uninstaller leaves it in place; a file that only we
// installed goes with its count.
TEST_F(FileOptions, SystemFilesKeepNewerVersionsAndCountTheirUsers)
{
    REQUIRE_TEST_PROGRAMS();
    struct Case {
        const char* name;
        int destination;
        int present;    // the major version already installed; 0 none
        int installed;  // the version there after our install
        const char* countInstalled;
        const char* countUninstalled;  // nullptr: no count, and the file is gone
    } cases[] = {
        {"velkan-opt-newer.dll", DestSystem, 3, 3, "0x2", "0x1"},
        {"velkan-opt-older.dll", DestSystem, 1, 2, "0x2", "0x1"},
        {"velkan-opt-newer-win.dll", DestWindows, 3, 3, "0x2", "0x1"},
        {"velkan-opt-new.dll", DestSystem, 0, 2, "0x1", nullptr},
    };
    auto hostPath = [](const Case& c) {
        return PrefixDir(c.destination == DestWindows ? "windows" : "windows\\system32") / c.name;
    };
    auto winPath = [](const Case& c) {
        return (c.destination == DestWindows ? kWindowsDir : kSystemDir) + "\\" + c.name;
    };
    auto version = [](int major) {
        return ReadBytes(TestProgram("version" + std::to_string(major) + ".dll"));
    };

    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "System");
    for (const Case& c : cases) {
        WriteBytes(m_dir / "src1" / c.name, version(2));
        v.m_files.push_back(
            Item(c.name, {{OptDestination, c.destination}, {OptUsageCount, OptionOn}}));
        fs::remove(hostPath(c));
        RegDelete(kSharedDlls, winPath(c));
        if (c.present) WriteBytes(hostPath(c), version(c.present));
    }
    v.m_strUninstFile = "uninstall.exe";
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::path target = m_dir / "install";

    ASSERT_EQ(Install(setup, 1, target), 0) << Logs();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadBytes(hostPath(c)), version(c.installed)) << Logs();
        EXPECT_EQ(RegValue(kSharedDlls, winPath(c)), c.countInstalled);
    }

    ASSERT_EQ(Uninstall(target / "uninstall.exe"), 0) << Logs();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.countUninstalled) {
            EXPECT_EQ(RegValue(kSharedDlls, winPath(c)), c.countUninstalled);
            EXPECT_EQ(ReadBytes(hostPath(c)), version(c.installed)) << Logs();
        } else {
            EXPECT_EQ(RegValue(kSharedDlls, winPath(c)), std::nullopt);
            EXPECT_FALSE(fs::exists(hostPath(c))) << Logs();
        }
    }
    for (const Case& c : cases) fs::remove(hostPath(c));
}

// Two products install the same registering server into the System directory and the same font
// into the Fonts directory, both counted as shared: the usage counts go up with each install and
// down with each uninstall, and the server (registered) and the font (with its value) stay until
// the last of them is uninstalled.
TEST_F(FileOptions, SharedFilesStayUntilTheirLastUserGoes)
{
    REQUIRE_TEST_PROGRAMS();
    const std::string server = "velkan-opt-server.dll", font = "velkanshared.ttf";
    const std::string fontValue = "velkanshared (TrueType)";
    fs::path serverFile = PrefixDir("windows\\system32") / server,
             fontFile = PrefixDir("windows\\Fonts") / font;
    std::string serverName = kSystemDir + "\\" + server,
                fontName = kWindowsDir + "\\Fonts\\" + font;
    fs::remove(serverFile);
    fs::remove(fontFile);
    RegDelete(kSharedDlls, serverName);
    RegDelete(kSharedDlls, fontName);
    RegDelete(kFonts, fontValue);
    RegDelete(kServerClass);

    CDataArray project;
    project.m_nWindowMode = 0;
    project.m_bExclusive = 0;  // two programs side by side
    std::vector<uint8_t> fontBytes = Noise(4000, 51);
    for (int n = 1; n <= 2; ++n) {
        fs::path src = m_dir / ("src" + std::to_string(n));
        WriteBytes(src / font, fontBytes);
        fs::copy_file(TestProgram("comserver.dll"), src / server);
        CData v = Version(n, n == 1 ? "First" : "Second");
        v.m_files.push_back(Item(server, {
                                             {OptDestination, DestSystem},
                                             {OptUsageCount, OptionOn},
                                             {OptSpecial, SpecialRegisterOcx},
                                         }));
        v.m_files.push_back(Item(font, {{OptDestination, DestFonts}, {OptUsageCount, OptionOn}}));
        v.m_strUninstFile = "uninstall.exe";
        project.m_versions.push_back(v);
    }
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);

    // In order: each step, then the usage count of both files and whether they are there with
    // their registration.
    struct Step {
        const char* what;
        int product;
        bool install;
        std::optional<std::string> count;
        bool present;
    } steps[] = {
        {"first installed", 1, true, "0x1", true},
        {"second installed", 2, true, "0x2", true},
        {"first uninstalled", 1, false, "0x1", true},
        {"second uninstalled", 2, false, std::nullopt, false},
    };
    auto ifPresent = [](bool present, const std::string& data) {
        return present ? std::optional<std::string>(data) : std::nullopt;
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        fs::path target = m_dir / ("install" + std::to_string(step.product));
        if (step.install) {
            ASSERT_EQ(Install(setup, step.product, target), 0) << Logs();
        } else {
            ASSERT_EQ(Uninstall(target / "uninstall.exe"), 0) << Logs();
        }
        EXPECT_EQ(RegValue(kSharedDlls, serverName), step.count) << Logs();
        EXPECT_EQ(RegValue(kSharedDlls, fontName), step.count) << Logs();
        EXPECT_EQ(fs::exists(serverFile), step.present);
        EXPECT_EQ(fs::exists(fontFile), step.present);
        EXPECT_EQ(RegValue(kServerClass + "\\InprocServer32", ""),
                  ifPresent(step.present, serverName))
            << Logs();
        EXPECT_EQ(RegValue(kFonts, fontValue), ifPresent(step.present, font)) << Logs();
    }
}

// A file of the installation held open without sharing by a running program cannot be replaced
// now: the new file waits beside it, the replacement is left to the next restart, and the setup
// program says so with exit code 3010. Wine carries out the pending renames when a new session of
// its server starts, which stands in for the restart here.
TEST_F(FileOptions, FileInUseIsReplacedAtTheNextRestart)
{
    REQUIRE_TEST_PROGRAMS();
    std::vector<uint8_t> before = Noise(20000, 41), after = Noise(20000, 42),
                         third = Noise(20000, 43);
    CDataArray project;
    project.m_nWindowMode = 0;
    for (int n = 1; n <= 3; ++n) {
        WriteBytes(m_dir / ("src" + std::to_string(n)) / "app.bin", n == 1   ? before
                                                                    : n == 2 ? after
                                                                             : third);
        CData v = Version(n, "InUse" + std::to_string(n));
        v.m_files.push_back(Item("app.bin"));
        project.m_versions.push_back(v);
    }
    // Version 3 fails after its file in use was left for the restart: a folder has the name of
    // its last file.
    WriteText(m_dir / "src3" / "zlast.txt", "blocked");
    project.m_versions[2].m_files.push_back(Item("zlast.txt"));
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::path target = m_dir / "install";
    ASSERT_EQ(Install(setup, 1, target), 0) << Logs();

    // The holder runs in the background until the stop file appears; everything up to that runs
    // in the same Wine session.
    fs::path ready = m_dir / "held", stop = m_dir / "release";
    Shell(WineLoader() + " " + Quote(TestProgram("holdopen.exe").string()) + " " +
          Quote(WinPath(target / "app.bin")) + " " + Quote(WinPath(ready)) + " " +
          Quote(WinPath(stop)) + " </dev/null >/dev/null 2>&1 &");
    for (int waited = 0; waited < 300 && !fs::exists(ready); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    bool held = fs::exists(ready);
    int code = -1, failedCode = -1;
    std::optional<std::string> pending;
    if (held) {
        code = Shell(WineLoader() + " " + Quote(setup.string()) +
                     " /S /V=2 /LOG=" + Quote(WinPath(Log("setup2"))) +
                     " /D=" + Quote(WinPath(target)) + " </dev/null >/dev/null 2>&1");
        pending = RegValue(kSessionManager, "PendingFileRenameOperations");
        fs::create_directories(target / "zlast.txt");
        failedCode = Shell(WineLoader() + " " + Quote(setup.string()) +
                           " /S /V=3 /LOG=" + Quote(WinPath(Log("setup3"))) +
                           " /D=" + Quote(WinPath(target)) + " </dev/null >/dev/null 2>&1");
        fs::remove(target / "zlast.txt");
    }
    WriteText(stop, "");
    Shell("wineserver -w");
    ASSERT_TRUE(held) << "the holder could not open the file";

    EXPECT_EQ(code, 3010 & 0xFF) << Logs();
    EXPECT_EQ(failedCode, 1) << Logs();
    EXPECT_EQ(ReadBytes(target / "app.bin"), before)
        << "the file in use is left as it was until the restart";
    ASSERT_TRUE(pending) << Logs();
    // Pairs of NT paths separated by \0: the new file, then "!" and the name it takes; ours is the
    // last.
    std::vector<std::string> parts;
    for (size_t pos = 0; pos <= pending->size();) {
        size_t end = pending->find("\\0", pos);
        if (end == std::string::npos) end = pending->size();
        parts.push_back(pending->substr(pos, end - pos));
        pos = end + 2;
    }
    auto to = std::find(parts.rbegin(), parts.rend(), "!\\??\\" + WinPath(target / "app.bin"));
    ASSERT_TRUE(to != parts.rend() && to + 1 != parts.rend()) << *pending;
    std::string from = *(to + 1);
    ASSERT_EQ(from.rfind("\\??\\Z:\\", 0), 0u) << from;
    fs::path waiting = from.substr(6);
    std::string text = waiting.string();
    std::replace(text.begin(), text.end(), '\\', '/');
    waiting = text;
    EXPECT_EQ(waiting.parent_path(), target) << "the new file waits in the same directory";
    EXPECT_EQ(ReadBytes(waiting), after);

    // The "restart": a new session carries out the rename; the failed run's replacement, taken
    // back, neither lands nor lingers, and the file in use was not removed by its rollback.
    Shell(WineLoader() + " cmd /c exit >/dev/null 2>&1; wineserver -w");
    EXPECT_EQ(ReadBytes(target / "app.bin"), after);
    EXPECT_FALSE(fs::exists(waiting));
    EXPECT_EQ(FilesUnder(target), std::vector<fs::path>({"app.bin"}));
}

}  // namespace
}  // namespace velkan::test
