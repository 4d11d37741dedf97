// An install log changed after the install, under Wine: lines a lesser user could add to it
// remove nothing outside the product and run nothing. A registry tree named as the product's
// installed-programs entry that is not one, a key to remove under the shared keys, and folder
// paths made to break out of a command line are refused or stay paths.
#include "BuildSetup.h"
#include "WineFixture.h"
#include "core/model/CDataArray.h"

namespace velkan::test {
namespace {

using velkan::CData;
using velkan::CDataArray;
using velkan::CFileItem;

TEST_F(RuntimeWine, ATamperedLogRemovesNothingOutsideTheProductAndRunsNothing)
{
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "One");
    WriteText(m_dir / "src1" / "app.txt", "the product");
    v.m_files.push_back(CFileItem("app.txt"));
    v.m_strUninstFile = "uninstall.exe";
    project.m_versions = {v};
    BuildSetup(project, m_dir / "setup.exe");
    fs::path target = m_dir / "app";
    ASSERT_EQ(InstallUnattended(m_dir / "setup.exe", target, m_dir / "install.log"), 0)
        << ReadText(m_dir / "install.log");

    // What a lesser user might add: the user's whole Software key as an "entry", a shared key,
    // and folders whose names would run a command if a shell ever saw them.
    RegAdd("HKCU\\Software\\VelkanSentinel", "Keep", "yes");
    RegAdd("HKCU\\Software\\Microsoft\\VelkanSentinel", "Keep", "yes");
    fs::path marker = PrefixDir("") / "pwned.txt";
    fs::remove(marker);
    const std::string command = "\" & echo pwned > C:\\pwned.txt & rem \"";
    std::string lines =
        "U\t1\tSoftware\n"
        "U\t1\tSoftware\\Microsoft\\VelkanSentinel\n"
        "D\t" +
        WinPath(target) + command +
        "\n"
        "D\tC:\\x" +
        command + "\n";
    fs::path log = target / "uninstall.log";
    ASSERT_TRUE(fs::exists(log));
    WriteText(log, ReadText(log) + lines);

    int code = Wine((target / "uninstall.exe").string(),
                    "/S /LOG=" + Quote(WinPath(m_dir / "uninstall-run.log")));
    std::string runLog = ReadText(m_dir / "uninstall-run.log");
    EXPECT_NE(code, 0) << "lines it refused are named as left\n" << runLog;
    EXPECT_TRUE(RegKeyExists("HKCU\\Software\\VelkanSentinel")) << runLog;
    EXPECT_TRUE(RegKeyExists("HKCU\\Software\\Microsoft\\VelkanSentinel")) << runLog;
    EXPECT_FALSE(fs::exists(marker)) << runLog;
    EXPECT_FALSE(fs::exists(target / "app.txt")) << runLog;
    EXPECT_NE(runLog.find("not an installed-programs entry of ours"), std::string::npos) << runLog;
    RegDelete("HKCU\\Software\\VelkanSentinel");
    RegDelete("HKCU\\Software\\Microsoft\\VelkanSentinel");
}

}  // namespace
}  // namespace velkan::test
