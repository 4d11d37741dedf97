// The install wizard end to end: setup programs and test programs run under Wine on a virtual X
// display (Xvfb), driven by key presses (xdotool) as a person would drive them. The wizard's log
// says which page it shows, so each key goes to the page it is meant for. Every page is
// photographed in both window modes, with and without the wizard bitmap, into the build tree
// (work/screenshots) for review. The tests share a prefix of their own, set to Wine's virtual
// desktop so that windows have their frames and captions without a window manager.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "BuildSetup.h"
#include "WineFixture.h"
#include "XScreenshot.h"
#include "core/model/CDataArray.h"
#include "core/install/WideText.h"
#include "core/model/FileOption.h"
#include "core/package/CPackageReader.h"
#include "core/package/ProductIdentity.h"
#include "core/package/StubImage.h"
#include "core/package/TestProgram.h"
#include "core/res/RuntimeResources.h"
#include "core/wizard/LanguageTemplates.h"
#include "core/wizard/WizardBitmap.h"
#include "core/wizard/WizardPage.h"
#include "tests/support/BitmapFiles.h"

namespace velkan::test {
namespace {

using namespace std::chrono_literals;

// Functions, not constants: kWork lives in another file, initialised in an order of its own.
fs::path PrefixPath()
{
    return kWork / "wizard-prefix";
}
fs::path ShotsPath()
{
    return kWork / "screenshots";
}
std::string g_display;
pid_t g_xvfb = 0;

std::string Environment()
{
    return "WINEPREFIX=" + Quote(PrefixPath().string()) +
           " HOME=" + Quote((kWork / "home").string()) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=" + g_display + " ";
}

int XShell(const std::string& command)
{
    int status = std::system((Environment() + command).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A bitmap file of w x h pixels, 24 bits, in bands of colour (so its place and scaling show);
// seed at most 6.
std::vector<uint8_t> ColourBitmap(int w, int h, unsigned seed)
{
    uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b(54 + stride * static_cast<uint32_t>(h), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &b[54 + y * stride + 3 * x];
            // From seed * 40 up to 255, never past it: a wrap to 0 would draw a sharp dark edge
            // across the picture that looks like a fault of the wizard's scaling.
            p[0] = static_cast<uint8_t>(seed * 40 + static_cast<unsigned>(y) * (255 - seed * 40) /
                                                        static_cast<unsigned>(h));
            p[1] = static_cast<uint8_t>(x * 255 / w);
            p[2] = static_cast<uint8_t>((x / 8 + y / 8) % 2 ? 200 : 60);
        }
    }
    return b;
}

// One run of a Windows program in the background, followed through its log.
class CRun {
public:
    CRun(const fs::path& program, const std::string& args, const fs::path& log) : m_log(log)
    {
        fs::remove(log);
        // /D takes the rest of the command line: the log switch goes first.
        std::string line = Environment() + WineLoader() + " " + Quote(program.string()) +
                           " /LOG=" + Quote(WinPath(log)) + " " + args +
                           " </dev/null >/dev/null 2>&1";
        m_pid = fork();
        if (m_pid == 0) {
            execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~CRun()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    // Waits until the log holds text after what was already seen.
    bool See(const std::string& text)
    {
        for (auto end = std::chrono::steady_clock::now() + 30s;
             std::chrono::steady_clock::now() < end;) {
            std::string log = ReadText(m_log);
            size_t at = log.find(text, m_nSeen);
            if (at != std::string::npos) {
                m_nSeen = at + text.size();
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    bool Page(int code) { return See("wizard page " + std::to_string(code) + "\r\n"); }

    static void Keys(const std::string& keys) { XShell("xdotool key --delay 40 " + keys); }
    static void Type(const std::string& text) { XShell("xdotool type --delay 15 " + Quote(text)); }
    static void Shot(const std::string& name)
    {
        std::this_thread::sleep_for(400ms);  // the page painted
        fs::create_directories(ShotsPath());
        SaveScreenshot(g_display, (ShotsPath() / (name + ".png")).string());
    }

    // The exit code, or -1 when the program does not end in time. Unless alone, the run waits
    // only for itself, not for every program of the prefix to end.
    int Wait(bool alone = true)
    {
        for (auto end = std::chrono::steady_clock::now() + 30s;
             std::chrono::steady_clock::now() < end;) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = 0;
                if (alone) XShell("wineserver -w");
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }
    std::string Log() const { return ReadText(m_log); }

private:
    fs::path m_log;
    pid_t m_pid = 0;
    size_t m_nSeen = 0;
};

class WizardWine : public RuntimeWine {
protected:
    static void SetUpTestSuite()
    {
        if (!HaveWine() || !HaveProgram("Xvfb") || !HaveProgram("xdotool")) return;
        for (int n = 90; n < 140 && !g_xvfb; ++n) {
            if (fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
            std::string display = ":" + std::to_string(n);
            pid_t pid = fork();
            if (pid == 0) {
                execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                       "tcp", static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int i = 0; i < 100; ++i) {
                if (DisplayAnswers(display)) {
                    g_xvfb = pid;
                    g_display = display;
                    break;
                }
                std::this_thread::sleep_for(50ms);
            }
            if (!g_xvfb) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        }
        if (!g_xvfb) return;
        fs::create_directories(kWork / "home");
        if (!fs::exists(PrefixPath() / "system.reg")) {
            XShell(WineLoader() + " wineboot -i >/dev/null 2>&1; wineserver -w");
            // Wine's own desktop window: frames and captions without a window manager.
            XShell(WineLoader() +
                   " reg add 'HKCU\\Software\\Wine\\Explorer' /v Desktop /d Default /f >/dev/null "
                   "2>&1");
            XShell(WineLoader() +
                   " reg add 'HKCU\\Software\\Wine\\Explorer\\Desktops' /v Default /d 1024x768 /f "
                   ">/dev/null 2>&1");
            XShell("wineserver -w");
        }
    }
    static void TearDownTestSuite()
    {
        if (!g_xvfb) return;
        XShell("wineserver -k >/dev/null 2>&1");
        kill(g_xvfb, SIGTERM);
        waitpid(g_xvfb, nullptr, 0);
        g_xvfb = 0;
    }
    void SetUp() override
    {
        if (!g_xvfb) GTEST_SKIP() << "Wine, Xvfb or xdotool is missing";
        RuntimeWine::SetUp();
    }

    // The look of a project: window mode and bitmaps, written beside the sources.
    void SetLook(CDataArray& project, int mode, bool bitmaps)
    {
        project.m_nWindowMode = mode;
        project.m_strBackTitle = mode == 1 ? "Velkan Test" : "";
        if (bitmaps) {
            WriteBytes(m_dir / "wizard.bmp", ColourBitmap(128, 280, 1));
            WriteBytes(m_dir / "pattern.bmp", ColourBitmap(48, 48, 3));
            project.m_strWizardBitmap = (m_dir / "wizard.bmp").string();
            project.m_strBackBitmap = mode == 1 ? (m_dir / "pattern.bmp").string() : "";
        }
    }

    static fs::path Drive(const std::string& name) { return PrefixPath() / "drive_c" / name; }
    // The registry of this suite's prefix. reg.exe runs without the display: the session it
    // starts ends before the next program, which makes windows, starts one of its own.
    static std::vector<std::string> Entries(const std::string& displayName)
    {
        std::vector<std::string> entries = ProgramsEntries(displayName, PrefixPath());
        XShell("wineserver -w");
        return entries;
    }
    static std::optional<std::string> Value(const std::string& key, const std::string& name)
    {
        std::optional<std::string> value = RegValue(key, name, PrefixPath());
        XShell("wineserver -w");
        return value;
    }
};

// The platforms a person installs alike: the Windows 3.1 layout's 8-bit templates make the same
// windows. Screenshots of the 32-bit platform keep their names without a prefix.
struct PlatformCase {
    const char* name;
    int32_t platform;
    const char* shotPrefix;
};

class InteractiveWizard : public WizardWine, public ::testing::WithParamInterface<PlatformCase> {};

// Two versions, an information text and the wizard bitmap: every page is passed with Enter,
// the second version is chosen beforehand with /V, the directory typed; the installed files are
// those of the chosen version, byte for byte. Then the uninstaller, with its windows, removes them.
TEST_P(InteractiveWizard, InstallThroughEveryPage)
{
    const std::string shot = GetParam().shotPrefix;
    CDataArray project;
    project.m_nPlatform = GetParam().platform;
    SetLook(project, 0, true);
    for (int n = 1; n <= 2; ++n) {
        fs::path src = m_dir / ("src" + std::to_string(n));
        WriteText(src / "readme.txt", "version " + std::to_string(n) + "\r\n");
        WriteBytes(src / "bin" / "tool.dat", Noise(20000 + n, static_cast<unsigned>(n)));
        WriteBytes(src / "velkanwz.dll", Noise(3000, 7));
        CData v = Version(n, n == 1 ? "One" : "Two");
        v.m_texts[PageInformation][kInformationText] = "Licence\nLine two of the licence.";
        v.m_files.push_back(CFileItem("readme.txt"));
        v.m_files.push_back(CFileItem("bin\\tool.dat"));
        // Counted (only the Windows, System and Fonts directories count): the uninstaller asks
        // before removing it.
        CFileItem shared("velkanwz.dll");
        shared.SetOption(OptDestination, DestSystem);
        shared.SetOption(OptUsageCount, OptionOn);
        v.m_files.push_back(shared);
        v.m_strUninstFile = "Uninstal.exe";
        project.m_versions.push_back(v);
    }
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::remove_all(Drive("VT1"));
    // No count left by an earlier run of this test: the uninstall brings it to 0.
    fs::remove(Drive("windows") / "system32" / "velkanwz.dll");
    XShell(WineLoader() +
           " reg delete 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls' /v " +
           "'C:\\windows\\system32\\velkanwz.dll' /f >/dev/null 2>&1");

    CRun run(setup, "/V=two", m_dir / "setup.log");  // chosen beforehand, by name
    ASSERT_TRUE(run.Page(0)) << run.Log();
    CRun::Shot(shot + "install-mode0-bitmap-0");
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(1)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(2)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(4)) << run.Log();
    CRun::Shot(shot + "install-mode0-bitmap-4");
    // Browse opens the directory chooser; the name typed there, taken with Enter, is the directory.
    CRun::Keys("alt+r");
    ASSERT_TRUE(run.See("wizard: browse")) << run.Log();
    CRun::Type("C:\\VT1");
    CRun::Shot(shot + "install-mode0-bitmap-browse");
    CRun::Keys("Return");
    CRun::Keys("Return");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // create the directory?
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(5)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(6)) << run.Log();
    ASSERT_TRUE(run.Page(7)) << run.Log();
    CRun::Shot(shot + "install-mode0-bitmap-7");
    CRun::Keys("Return");
    ASSERT_EQ(run.Wait(), 0) << run.Log();
    // Under Wine the person may install for all users: the Directory page offered both, and
    // what it proposed, all users, was taken.
    EXPECT_NE(run.Log().find("wizard: for all users\r\n"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("installing for all users\r\n"), std::string::npos) << run.Log();

    fs::path src = m_dir / "src2";
    const fs::path sharedName = "velkanwz.dll";
    const fs::path system = Drive("windows") / "system32";
    auto installed = [&](const fs::path& f) {
        return (f == sharedName ? system : Drive("VT1")) / f;
    };
    for (const fs::path& f : FilesUnder(src))
        EXPECT_EQ(ReadBytes(installed(f)), ReadBytes(src / f)) << f;
    ASSERT_TRUE(fs::exists(Drive("VT1") / "Uninstal.exe"));

    // The uninstaller, started by a person: it asks, works, asks before removing the shared file
    // no other program counts on (Yes), and says it is done.
    CRun uninstall(Drive("VT1") / "Uninstal.exe", "", m_dir / "uninstall.log");
    ASSERT_TRUE(uninstall.See("uninstall message: ")) << uninstall.Log();
    CRun::Shot(shot + "uninstall-confirm");
    CRun::Keys("Return");
    ASSERT_TRUE(uninstall.See("uninstall message: The following system file")) << uninstall.Log();
    CRun::Shot(shot + "uninstall-shared-question");
    CRun::Keys("Return");
    ASSERT_TRUE(uninstall.See("uninstall message: ")) << uninstall.Log();
    CRun::Shot(shot + "uninstall-done");
    CRun::Keys("Return");
    EXPECT_EQ(uninstall.Wait(), 0) << uninstall.Log();
    EXPECT_NE(uninstall.Log().find("uninstalled"), std::string::npos) << uninstall.Log();
    for (const fs::path& f : FilesUnder(src)) EXPECT_FALSE(fs::exists(installed(f))) << f;
}

INSTANTIATE_TEST_SUITE_P(Platforms, InteractiveWizard,
                         ::testing::Values(PlatformCase{"Win32", CDataArray::Win32, ""},
                                           PlatformCase{"Win31", CDataArray::Win31, "win31-"}),
                         [](const ::testing::TestParamInfo<PlatformCase>& c) {
                             return c.param.name;
                         });

// The person clears "for all users" on the Directory page by its access key: the icons go to their
// own Start menu and the product is listed among their programs, not the machine's. The author
// wrote both texts under the directory field, so the box takes the lower half of the lower one
// (screenshot install-mode0-plain-scope).
TEST_F(WizardWine, TheCurrentUserChosenOnTheDirectoryPage)
{
    const std::string title = "Velkan Wizard Scope";
    CDataArray project;
    SetLook(project, 0, false);
    WriteText(m_dir / "src1" / "readme.txt", "scope\r\n");
    CData v = Version(1, "One");
    v.m_strTitle = title;
    v.m_strUninstFile = "Uninstal.exe";
    v.m_texts[PageDirectory][2] = "The files go into this folder.";
    v.m_texts[PageDirectory][3] = "Browse to choose another one.";
    CFileItem item("readme.txt");
    item.m_strMenuFolder = title;
    item.m_strMenuName = "Velkan Scope Readme";
    v.m_files.push_back(item);
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    const std::string uninstall =
        WineLoader() + " 'C:\\VTScope\\Uninstal.exe' /S </dev/null >/dev/null 2>&1; wineserver -w";
    // A run of this test stopped half-way left the product installed: it goes first.
    if (fs::exists(Drive("VTScope") / "Uninstal.exe")) XShell(uninstall);
    fs::remove_all(Drive("VTScope"));
    auto listed = [&](const char* root) {
        return XShell(WineLoader() + " reg query '" + root +
                      "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall' /s 2>/dev/null | "
                      "grep -q " +
                      Quote(title)) == 0;
    };
    ASSERT_FALSE(listed("HKCU"));
    ASSERT_FALSE(listed("HKLM"));

    CRun run(setup, Quote("/D=C:\\VTScope"), m_dir / "setup.log");
    ASSERT_TRUE(run.Page(0)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(4)) << run.Log();
    CRun::Keys("alt+a");
    CRun::Shot("install-mode0-plain-scope");
    CRun::Keys("Return");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // create the directory?
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(5)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(7)) << run.Log();
    CRun::Keys("Return");
    ASSERT_EQ(run.Wait(), 0) << run.Log();
    EXPECT_NE(run.Log().find("wizard: for the current user\r\n"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("installing for the current user\r\n"), std::string::npos)
        << run.Log();

    std::vector<fs::path> links = FindByName(PrefixPath() / "drive_c", "Velkan Scope Readme.lnk");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].string().find("ProgramData"), std::string::npos) << links[0];
    EXPECT_TRUE(listed("HKCU"));
    EXPECT_FALSE(listed("HKLM"));

    XShell(uninstall);
    EXPECT_FALSE(listed("HKCU"));
    EXPECT_TRUE(FindByName(PrefixPath() / "drive_c", "Velkan Scope Readme.lnk").empty());
}

// Cancel while files are written asks first; Yes takes everything back, as a failed run, and
// the setup program ends with the cancelled code. /D without /S only proposes the directory; the
// place chosen on the Directory page is the place the run installs for.
TEST_F(WizardWine, CancelOnProgressLeavesNothing)
{
    CDataArray project;
    SetLook(project, 1, false);
    fs::path src = m_dir / "src1";
    for (int i = 0; i < 8; ++i)
        WriteBytes(src / ("part" + std::to_string(i) + ".dat"), Noise(400000, 10 + i));
    CData v = Version(1, "One");
    for (int i = 0; i < 8; ++i) v.m_files.push_back(CFileItem("part" + std::to_string(i) + ".dat"));
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::remove_all(Drive("VTCancel"));

    CRun run(setup, Quote("/D=C:\\VTCancel\\Sub"), m_dir / "setup.log");
    ASSERT_TRUE(run.Page(0)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(4)) << run.Log();  // blank information, one version
    // An administrator chooses the place: unchecked, the run is for the current user only.
    CRun::Shot("cancel-mode1-4");
    CRun::Keys("alt+a");
    CRun::Keys("Return");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // create the directory?
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(5)) << run.Log();
    EXPECT_FALSE(fs::exists(Drive("VTCancel")));  // tried, and taken back at once
    // Start, and Escape at once: the run waits at its next file while the question is open.
    XShell("xdotool key --delay 1 Return Escape");
    ASSERT_TRUE(run.Page(6)) << run.Log();
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();
    CRun::Shot("cancel-mode1-question");
    CRun::Keys("Return");                                   // Yes
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // did not complete
    CRun::Keys("Return");
    EXPECT_EQ(run.Wait(), 2) << run.Log();
    EXPECT_NE(run.Log().find("installing into C:\\VTCancel\\Sub"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("wizard: for the current user"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("installing for the current user"), std::string::npos) << run.Log();
    // Stopped while rebuilding or before the first file is placed: either way, taken back.
    EXPECT_NE(run.Log().find("error: "), std::string::npos) << run.Log();
    EXPECT_FALSE(fs::exists(Drive("VTCancel"))) << run.Log();
}

// While a wizard is open, a second setup of the same product is refused (exit 4) before it
// changes anything; the Directory page refuses a folder Windows shares with a message and keeps
// the person on the page.
TEST_F(WizardWine, AnOpenWizardHoldsTheProductAndRefusesAProtectedFolder)
{
    CDataArray project;
    SetLook(project, 0, false);
    WriteText(m_dir / "src1" / "readme.txt", "one\r\n");
    CData v = Version(1, "One");
    v.m_files.push_back(CFileItem("readme.txt"));
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);

    CRun run(setup, "", m_dir / "setup.log");
    ASSERT_TRUE(run.Page(0)) << run.Log();
    fs::path second = m_dir / "second.log";
    EXPECT_EQ(XShell(WineLoader() + " " + Quote(setup.string()) + " /S /LOG=" +
                     Quote(WinPath(second)) + " /D=C:\\VTSecond </dev/null >/dev/null 2>&1"),
              4)
        << ReadText(second);
    EXPECT_FALSE(fs::exists(Drive("VTSecond")));
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(4)) << run.Log();
    CRun::Keys("alt+r");
    ASSERT_TRUE(run.See("wizard: browse")) << run.Log();
    CRun::Type("C:\\windows");
    CRun::Keys("Return");
    CRun::Keys("Return");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();
    ASSERT_TRUE(run.See("refused as installation directory")) << run.Log();
    CRun::Keys("Return");
    CRun::Keys("Escape");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // stop?
    CRun::Keys("Return");
    EXPECT_EQ(run.Wait(), 2) << run.Log();
    EXPECT_EQ(run.Log().find("installing into"), std::string::npos) << run.Log();
}

// /P, for package managers: the progress window alone (no background even in window mode 1), no
// key pressed, the files placed, exit 0 and the log written; the installed-programs entry as a
// packager finds it. A failure is only logged, another run of the product is refused with 4,
// Escape stops the run without a question, and /S with /P changes nothing. The uninstaller asks without /P (Cancel exits 2 and keeps everything)
// and with /P removes everything, the shared file no other program counts on too, without a
// question.
TEST_F(WizardWine, ProgressOnlyAsksNothingAndShowsTheProgressWindow)
{
    const std::string title = "Velkan Progress Only";
    CDataArray project;
    SetLook(project, 1, false);
    fs::path src = m_dir / "src1";
    WriteText(src / "readme.txt", "progress\r\n");
    CData v = Version(1, "One");
    v.m_strTitle = title;
    v.m_strUninstFile = "Uninstal.exe";
    v.m_files.push_back(CFileItem("readme.txt"));
    WriteBytes(src / "velkanpm.dll", Noise(3000, 8));
    CFileItem shared("velkanpm.dll");
    shared.SetOption(OptDestination, DestSystem);
    shared.SetOption(OptUsageCount, OptionOn);
    v.m_files.push_back(shared);
    // Enough to keep the window up for the picture and for Escape to arrive while files are written.
    constexpr unsigned kParts = 36, kPartSize = 1500000;
    for (unsigned i = 0; i < kParts; ++i) {
        std::string name = "part" + std::to_string(i) + ".dat";
        WriteBytes(src / name, Noise(kPartSize, 40 + i));
        v.m_files.push_back(CFileItem(name));
    }
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    const fs::path target = Drive("VTProgress");
    if (fs::exists(target / "Uninstal.exe"))
        XShell(WineLoader() + " 'C:\\VTProgress\\Uninstal.exe' /S </dev/null >/dev/null 2>&1; " +
               "wineserver -w");
    fs::remove_all(target);
    const fs::path sharedFile = Drive("windows") / "system32" / "velkanpm.dll";
    fs::remove(sharedFile);
    XShell(WineLoader() +
           " reg delete 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls' /v " +
           "'C:\\windows\\system32\\velkanpm.dll' /f >/dev/null 2>&1");

    EXPECT_EQ(XShell(WineLoader() + " " + Quote(setup.string()) +
                     " /S /P /D=C:\\VTProgress </dev/null >/dev/null 2>&1"),
              1);
    EXPECT_FALSE(fs::exists(target));
    // A version the program does not have: logged, no message box waits for a key.
    CRun unknown(setup, "/P /V=9 " + Quote("/D=C:\\VTProgress"), m_dir / "unknown.log");
    EXPECT_EQ(unknown.Wait(), 1) << unknown.Log();
    EXPECT_NE(unknown.Log().find("error: no version 9"), std::string::npos) << unknown.Log();
    EXPECT_FALSE(fs::exists(target));
    // While a wizard of the product is open, /P is refused at once (4) without a message box.
    {
        CRun wizard(setup, "", m_dir / "wizard.log");
        ASSERT_TRUE(wizard.Page(0)) << wizard.Log();
        EXPECT_EQ(XShell("timeout 60 " + WineLoader() + " " + Quote(setup.string()) +
                         " /P /D=C:\\VTProgress </dev/null >/dev/null 2>&1"),
                  4);
        CRun::Shot("progress-only-wizard-open");
        CRun::Keys("Escape");
        ASSERT_TRUE(wizard.See("wizard message: ")) << wizard.Log();  // stop?
        CRun::Shot("progress-only-wizard-stop");
        CRun::Keys("Return");
        EXPECT_EQ(wizard.Wait(), 2) << wizard.Log();
    }
    // Escape as soon as the window shows: stopped, taken back, no question.
    CRun cancelled(setup, "/P " + Quote("/D=C:\\VTProgress"), m_dir / "cancelled.log");
    ASSERT_TRUE(cancelled.Page(6)) << cancelled.Log();
    CRun::Keys("Escape");
    EXPECT_EQ(cancelled.Wait(), 2) << cancelled.Log();
    EXPECT_EQ(cancelled.Log().find("wizard message: "), std::string::npos) << cancelled.Log();
    EXPECT_FALSE(fs::exists(target)) << cancelled.Log();

    CRun run(setup, "/P " + Quote("/D=C:\\VTProgress"), m_dir / "setup.log");
    ASSERT_TRUE(run.Page(6)) << run.Log();
    std::this_thread::sleep_for(150ms);
    fs::create_directories(ShotsPath());
    SaveScreenshot(g_display, (ShotsPath() / "progress-only.png").string());
    ASSERT_EQ(run.Wait(), 0) << run.Log();
    const std::string log = run.Log();
    for (const char* absent : {"wizard page 0", "wizard page 4", "wizard page 5", "wizard page 7",
                               "wizard message: ", "error: "}) {
        EXPECT_EQ(log.find(absent), std::string::npos) << absent << "\n" << log;
    }
    EXPECT_NE(log.find("\r\ninstalled\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("wizard: exit code 0"), std::string::npos) << log;
    auto installed = [&](const fs::path& f) {
        return f == "velkanpm.dll" ? sharedFile : target / f;
    };
    for (const fs::path& f : FilesUnder(src))
        EXPECT_EQ(ReadBytes(installed(f)), ReadBytes(src / f)) << f;

    // The entry: named "Velkan-" and 16 hex digits, carrying the identity velkanc inspect gives.
    std::vector<std::string> entries = Entries(title);
    ASSERT_EQ(entries.size(), 1u);
    const std::string& entry = entries[0];
    const std::string name = entry.substr(entry.rfind('\\') + 1);
    EXPECT_EQ(name.substr(0, 7), "Velkan-") << entry;
    EXPECT_EQ(name.size(), 7u + 16u) << entry;
    auto reader = CPackageReader::OpenFile(setup.string());
    reader->Read();
    EXPECT_EQ(Value(entry, "VelkanProduct"),
              install::ToUtf8(package::ProductId(reader->Contents())));
    const std::string uninstaller = "\"C:\\VTProgress\\Uninstal.exe\"";
    EXPECT_EQ(Value(entry, "DisplayName"), title);
    EXPECT_EQ(Value(entry, "DisplayVersion"), "One");
    EXPECT_EQ(Value(entry, "InstallLocation"), "C:\\VTProgress");
    EXPECT_EQ(Value(entry, "UninstallString"), uninstaller);
    EXPECT_EQ(Value(entry, "QuietUninstallString"), uninstaller + " /S");
    EXPECT_EQ(Value(entry, "DisplayIcon"), "C:\\VTProgress\\Uninstal.exe,0");
    std::string date = Value(entry, "InstallDate").value_or("");
    EXPECT_EQ(date.size(), 8u) << date;
    EXPECT_EQ(date.find_first_not_of("0123456789"), std::string::npos) << date;
    // What is installed, in KiB (reg.exe prints a DWORD in hex).
    unsigned long kib = std::stoul(Value(entry, "EstimatedSize").value_or("0"), nullptr, 16);
    EXPECT_GE(kib, kParts * kPartSize / 1024u);
    EXPECT_LE(kib, kParts * kPartSize / 1024u + 64u);

    // Without /P the uninstaller asks first; Cancel keeps everything and exits 2.
    CRun declined(target / "Uninstal.exe", "", m_dir / "declined.log");
    ASSERT_TRUE(declined.See("uninstall message: ")) << declined.Log();
    CRun::Shot("progress-only-uninstall-confirm");  // the box is up before the key
    CRun::Keys("Escape");
    EXPECT_EQ(declined.Wait(), 2) << declined.Log();
    EXPECT_TRUE(fs::exists(target / "readme.txt"));
    EXPECT_EQ(Entries(title).size(), 1u);

    CRun uninstall(target / "Uninstal.exe", "/P", m_dir / "uninstall.log");
    EXPECT_EQ(uninstall.Wait(), 0) << uninstall.Log();
    EXPECT_EQ(uninstall.Log().find("uninstall message: "), std::string::npos) << uninstall.Log();
    EXPECT_NE(uninstall.Log().find("uninstalled"), std::string::npos) << uninstall.Log();
    XShell("sleep 4; wineserver -w");  // a helper may remove the uninstaller after it has ended
    for (const fs::path& f : FilesUnder(src)) EXPECT_FALSE(fs::exists(installed(f))) << f;
    EXPECT_TRUE(Entries(title).empty());
}

// A setup written in a template's language says its own words in that language too: the
// all-users box (screenshot), the refusal of a folder name Windows cannot hold (at once, before
// any offer to create it), the refusal of a folder Windows shares, and the product lock. Every
// page and message is photographed as <language>-*.
struct LanguageCase {
    const char* language;
    const char* badName;     // words of the refusal of "C:\bad<name"
    const char* protected_;  // words of the refusal of C:\windows
};

class LanguageWizard : public WizardWine, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageWizard, OurOwnTextsSpeakTheLanguageOfTheAuthorsTexts)
{
    const std::string lang = GetParam().language;
    CDataArray project;
    SetLook(project, 0, true);
    WriteText(m_dir / "src1" / "readme.txt", "one\r\n");
    CData v = Version(1, "Produit");
    ASSERT_TRUE(ApplyLanguageTemplate(v.m_texts, VELKAN_SOURCE_DIR "/data/Templ/", lang));
    v.m_texts[PageInformation][kInformationText] = "Licence";
    v.m_files.push_back(CFileItem("readme.txt"));
    v.m_strUninstFile = "Uninst.exe";
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::remove_all(Drive("VTLang"));

    CRun run(setup, "", m_dir / "setup.log");
    ASSERT_TRUE(run.Page(0)) << run.Log();
    CRun::Shot(lang + "-0");
    {
        // A second setup of the product, by a person: refused, in the language.
        CRun second(setup, "", m_dir / "second.log");
        ASSERT_TRUE(second.See("error: ")) << second.Log();
        CRun::Shot(lang + "-already-running");
        CRun::Keys("Return");
        EXPECT_EQ(second.Wait(false), 4) << second.Log();
    }
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(1)) << run.Log();
    CRun::Shot(lang + "-1");
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(4)) << run.Log();
    CRun::Shot(lang + "-4");  // the all-users box
    auto typeDirectory = [](const std::string& dir) {
        CRun::Keys("End shift+Home BackSpace");
        CRun::Type(dir);
        CRun::Keys("Return");
    };
    typeDirectory("C:\\bad<name");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();
    ASSERT_TRUE(run.See(GetParam().badName)) << run.Log();
    CRun::Shot(lang + "-bad-name");
    CRun::Keys("Return");
    typeDirectory("C:\\windows");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();
    ASSERT_TRUE(run.See(GetParam().protected_)) << run.Log();
    CRun::Shot(lang + "-protected");
    CRun::Keys("Return");
    typeDirectory("C:\\VTLang");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // create the directory?
    CRun::Shot(lang + "-create");
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(5)) << run.Log();
    CRun::Shot(lang + "-5");
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(7)) << run.Log();
    CRun::Shot(lang + "-7");
    CRun::Keys("Return");
    ASSERT_EQ(run.Wait(), 0) << run.Log();
    // The first message of the run was the bad name's refusal, not an offer to create it.
    const std::string log = run.Log();
    size_t first = log.find("wizard message: ");
    EXPECT_LT(log.find(GetParam().badName), log.find("wizard message: ", first + 1)) << log;

    CRun uninstall(Drive("VTLang") / "Uninst.exe", "", m_dir / "uninstall.log");
    ASSERT_TRUE(uninstall.See("uninstall message: ")) << uninstall.Log();
    CRun::Shot(lang + "-uninstall-confirm");
    CRun::Keys("Return");
    ASSERT_TRUE(uninstall.See("uninstall message: ")) << uninstall.Log();
    CRun::Shot(lang + "-uninstall-done");
    CRun::Keys("Return");
    EXPECT_EQ(uninstall.Wait(), 0) << uninstall.Log();
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LanguageWizard,
    ::testing::Values(LanguageCase{"French", "ne peut pas utiliser ce nom de dossier",
                                   "refusé comme répertoire d'installation"},
                      LanguageCase{"German", "Diesen Ordnernamen kann Windows nicht verwenden",
                                   "als Installationsverzeichnis abgelehnt"}),
    [](const ::testing::TestParamInfo<LanguageCase>& c) { return std::string(c.param.language); });

// Test programs in both window modes, with and without bitmaps: every page is shown (and
// photographed) with Next, Back goes back from Progress, and nothing is installed.
TEST_F(WizardWine, TestProgramsShowEveryPageAndInstallNothing)
{
    auto stub = LoadRuntimeResource(StubResourceId(1));
    ASSERT_TRUE(stub.has_value());
    for (int mode : {0, 1}) {
        for (bool bitmaps : {false, true}) {
            std::string look = "mode" + std::to_string(mode) + (bitmaps ? "-bitmap" : "-plain");
            SCOPED_TRACE(look);
            CDataArray project;
            SetLook(project, mode, bitmaps);
            fs::path src = m_dir / "src1";
            WriteText(src / "a.txt", "a");
            WriteText(src / "b" / "c.txt", "c");
            for (int n = 1; n <= 2; ++n) {
                CData v = Version(1, n == 1 ? "One" : "Two");
                v.m_strInstallDir = "C:\\VTPreview";
                v.m_texts[PageInformation][kInformationText] =
                    "Information text\nof the test program.";
                v.m_files.push_back(CFileItem("a.txt"));
                v.m_files.push_back(CFileItem("b\\c.txt"));
                project.m_versions.push_back(v);
            }
            project.m_nCurrent = 1;
            auto block = LoadRuntimeResource(DialogBlockResourceId(1, bitmaps));
            fs::path program = m_dir / (look + ".exe");
            ASSERT_TRUE(WriteTestProgramFile(program.string(), project, *stub,
                                             block ? &*block : nullptr, -1));

            CRun run(program, "", m_dir / (look + ".log"));
            for (int page : {0, 1, 2, 4, 5, 6, 7}) {
                ASSERT_TRUE(run.Page(page)) << run.Log();
                CRun::Shot(look + "-" + std::to_string(page));
                if (page == 6) {
                    CRun::Keys("alt+b");
                    ASSERT_TRUE(run.Page(5)) << run.Log();
                    CRun::Keys("Return");
                    ASSERT_TRUE(run.Page(6)) << run.Log();
                }
                CRun::Keys("Return");
            }
            EXPECT_EQ(run.Wait(), 0) << run.Log();
            EXPECT_FALSE(fs::exists(Drive("VTPreview")));
        }
    }
}

// Wizard bitmaps of every form a setup program carries, each in a test program on its first
// page: the bitmap shows (its blue squares are on the screen), and one larger than its field is
// scaled down into it, in proportion. Top-down rows are not carried, so not shown here.
TEST_F(WizardWine, WizardBitmapsOfEveryFormShow)
{
    auto stub = LoadRuntimeResource(StubResourceId(1));
    auto block = LoadRuntimeResource(DialogBlockResourceId(1, true));
    ASSERT_TRUE(stub && block);
    struct Shown {
        std::string name;
        test::BitmapForm form;
        int levels, w, h;
    };
    std::vector<Shown> cases;
    for (const auto& form : test::EveryBitmapForm()) {
        if (form.form != test::BitmapForm::TopDown)
            cases.push_back({form.name, form.form, form.levels, 100, 200});
    }
    cases.push_back({"oversize-bits24", test::BitmapForm::Bits24, 256, 164, 314});
    cases.push_back({"oversize-rle8", test::BitmapForm::Rle8, 256, 164, 314});
    const unsigned long blue = test::PaletteColour(1);
    for (const Shown& c : cases) {
        SCOPED_TRACE(c.name);
        // Squares of 16 pixels, blue and green (black and blue with two colours), in a frame of
        // red, one pixel wide, that shows the edges are kept.
        auto picture = [&](int x, int y) -> uint32_t {
            if (x == 0 || y == 0 || x == c.w - 1 || y == c.h - 1) return c.levels > 4 ? 4 : 0;
            return (x / 16 + y / 16) % 2 ? 1 : (c.levels > 2 ? 2 : 0);
        };
        CDataArray project;
        SetLook(project, 0, false);
        WriteBytes(m_dir / "wizard.bmp", test::MakeBitmapFile(c.form, c.w, c.h, picture));
        project.m_strWizardBitmap = (m_dir / "wizard.bmp").string();
        project.m_versions.push_back(Version(1, "One"));
        fs::path program = m_dir / "bitmap.exe";
        ASSERT_TRUE(WriteTestProgramFile(program.string(), project, *stub, &*block, 0));
        CRun run(program, "", m_dir / "bitmap.log");
        ASSERT_TRUE(run.Page(0)) << run.Log();
        CRun::Shot("bitmap-" + c.name);
        const FitSize fit =
            FitInside(c.w, c.h, kWizardBitmapField.width, kWizardBitmapField.height);
        // About half the shown area is blue; scaling blends only the squares' edges.
        EXPECT_GT(CountScreenPixels(g_display, blue), fit.width * fit.height / 3);
        CRun::Keys("Escape");
        ASSERT_TRUE(run.See("wizard message: ")) << run.Log();
        CRun::Keys("Return");
        EXPECT_EQ(run.Wait(), 0) << run.Log();
    }
}

// A test program starts at the page it names.
TEST_F(WizardWine, TestProgramStartsAtItsPage)
{
    auto stub = LoadRuntimeResource(StubResourceId(1));
    auto block = LoadRuntimeResource(DialogBlockResourceId(1, false));
    ASSERT_TRUE(stub && block);
    CDataArray project;
    SetLook(project, 0, false);
    project.m_versions.push_back(Version(1, "One"));
    fs::path program = m_dir / "preview.exe";
    ASSERT_TRUE(WriteTestProgramFile(program.string(), project, *stub, &*block, 2));  // Directory
    CRun run(program, "", m_dir / "preview.log");
    ASSERT_TRUE(run.Page(4)) << run.Log();
    CRun::Keys("Escape");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();
    CRun::Keys("Return");
    EXPECT_EQ(run.Wait(), 0) << run.Log();
    EXPECT_EQ(run.Log().find("wizard page 0"), std::string::npos);

    // The End page, with the author's request for the restart question: asked, and in a test
    // program answered without restarting anything.
    project.m_versions[0].m_texts[PageEnd][kEndForceRestartText] = "1";
    ASSERT_TRUE(WriteTestProgramFile(program.string(), project, *stub, &*block, 5));
    CRun end(program, "", m_dir / "end.log");
    ASSERT_TRUE(end.Page(7)) << end.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(end.See("wizard message: You need to restart Windows")) << end.Log();
    CRun::Shot("mode0-plain-restart");
    CRun::Keys("Return");
    EXPECT_EQ(end.Wait(), 0) << end.Log();

    // A read-only directory: what is typed does not change it.
    project.m_versions[0].m_nDirFlags = 0;
    project.m_versions[0].m_strInstallDir = "C:\\VTFixed";
    ASSERT_TRUE(WriteTestProgramFile(program.string(), project, *stub, &*block, 2));
    CRun fixed(program, "", m_dir / "fixed.log");
    ASSERT_TRUE(fixed.Page(4)) << fixed.Log();
    CRun::Type("zz");
    CRun::Keys("Return");
    ASSERT_TRUE(fixed.Page(5)) << fixed.Log();
    EXPECT_NE(fixed.Log().find("wizard: directory C:\\VTFixed\r\n"), std::string::npos)
        << fixed.Log();
    CRun::Keys("Escape");
    ASSERT_TRUE(fixed.See("wizard message: ")) << fixed.Log();
    CRun::Keys("Return");
    EXPECT_EQ(fixed.Wait(), 0) << fixed.Log();

    // Written without the dialog templates (as the editor does when it lacks them): the
    // standard ones stand in.
    ASSERT_TRUE(WriteTestProgramFile(program.string(), project, *stub, nullptr, 0));
    CRun bare(program, "", m_dir / "bare.log");
    ASSERT_TRUE(bare.Page(0)) << bare.Log();
    CRun::Keys("Escape");
    ASSERT_TRUE(bare.See("wizard message: ")) << bare.Log();
    CRun::Keys("Return");
    EXPECT_EQ(bare.Wait(), 0) << bare.Log();
}

// Long hyphenated names on the Progress page: the file line keeps the start of the path and the
// name on one line, elided in the middle, and the list scrolls sideways to whole names. Enough
// files that the page is photographed while they are being put in place
// (progress-long-names-installing), then the End page (progress-long-names-end).
TEST_F(WizardWine, LongNamesOnTheProgressPage)
{
    const std::string folder = "Shared-Components\\runtime-support-libraries\\";
    auto longName = [&](int i) {
        return folder + "graphics-rendering-pipeline-compatibility-shim-" + std::to_string(i) +
               "-for-legacy-display-drivers-x86-64.dat";
    };
    constexpr int kFiles = 1200;
    CDataArray project;
    SetLook(project, 0, false);
    fs::path src = m_dir / "src1";
    CData v = Version(1, "One");
    for (int i = 0; i < kFiles; ++i) {
        std::string name = longName(i);
        std::string host = name;
        std::replace(host.begin(), host.end(), '\\', '/');
        WriteBytes(src / host, Noise(512, static_cast<unsigned>(i)));
        v.m_files.push_back(CFileItem(name));
    }
    project.m_versions.push_back(v);
    fs::path setup = m_dir / "setup.exe";
    BuildSetup(project, setup);
    fs::remove_all(Drive("VTLong"));

    CRun run(setup, Quote("/D=C:\\VTLong"), m_dir / "setup.log");
    ASSERT_TRUE(run.Page(0)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(4)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.See("wizard message: ")) << run.Log();  // create the directory?
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(5)) << run.Log();
    CRun::Keys("Return");
    ASSERT_TRUE(run.Page(6)) << run.Log();
    ASSERT_TRUE(run.See("installed C:\\VTLong\\" + longName(kFiles / 4))) << run.Log();
    CRun::Shot("progress-long-names-installing");
    ASSERT_TRUE(run.Page(7)) << run.Log();
    CRun::Shot("progress-long-names-end");
    CRun::Keys("Return");
    ASSERT_EQ(run.Wait(), 0) << run.Log();
    EXPECT_NE(run.Log().find("wizard: the file list scrolls sideways to "), std::string::npos)
        << run.Log();
    for (const fs::path& f : FilesUnder(src))
        EXPECT_EQ(ReadBytes(Drive("VTLong") / f), ReadBytes(src / f)) << f;
}

}  // namespace
}  // namespace velkan::test
