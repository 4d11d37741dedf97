// velkanc build --sign: the command signs the uninstaller before it is embedded and then the
// finished setup program, each where it lies; a failing command fails the build. Readers refuse
// anything but a certificate table after the package.
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/model/ProjectFile.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

class SignedBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandInRuntime(m_dir / "rt");
        fs::create_directories(m_dir / "src");
        WriteFileText(m_dir / "src" / "a.txt", "some text");
        CDataArray project = NewProject();
        project.m_versions[0].m_strSourceDir = P("src") + "/";
        project.m_versions[0].m_files.push_back(CFileItem("a.txt"));
        SaveProject(project, P("p.json"));
    }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }
    CliResult Build(const std::string& sign)
    {
        return RunVelkanc(
            {"build", P("p.json"), "--runtime", P("rt"), "-o", P("setup.exe"), "--sign", sign});
    }

    TempDir m_dir;
};

}  // namespace

TEST_F(SignedBuild, TheCommandSignsTheUninstallerThenTheProgramInPlace)
{
    // Stands in for a signing tool: notes each path and, for the uninstaller (a scratch file),
    // appends bytes as a signature would. The program is signed under its temporary name beside
    // the target, before it replaces any earlier program.
    std::string log = P("signed.log");
    CliResult r = Build("echo \"%1\" >> '" + log +
                        "'; case \"%1\" in *setup.exe.*.tmp) ;; *) printf SIGNED >> \"%1\";; esac");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string paths = ReadFileText(log);
    ASSERT_EQ(std::count(paths.begin(), paths.end(), '\n'), 2) << paths;
    std::string first = paths.substr(0, paths.find('\n'));
    std::string second = paths.substr(first.size() + 1);
    EXPECT_EQ(second.rfind(P("setup.exe") + ".", 0), 0u) << second;
    EXPECT_TRUE(second.size() > 5 && second.substr(second.size() - 5) == ".tmp\n") << second;
    EXPECT_FALSE(fs::exists(second.substr(0, second.size() - 1))) << "renamed into place";
    EXPECT_FALSE(fs::exists(first)) << "the uninstaller's scratch file is removed";

    CliResult inspect = RunVelkanc({"inspect", P("setup.exe"), "--json"});
    size_t section = inspect.out.find("\"uninstaller program\"");
    ASSERT_NE(section, std::string::npos) << inspect.out;
    EXPECT_NE(inspect.out.find("\"unpackedSize\": 306", section), std::string::npos)
        << "the signed uninstaller is embedded";
    EXPECT_EQ(RunVelkanc({"verify", P("setup.exe")}).exitCode, 0);
}

TEST_F(SignedBuild, AFailingCommandFailsTheBuildNamingIt)
{
    CliResult r = Build("exit 3 # %1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("the signing command failed with exit status 3: exit 3 # "),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(P("setup.exe")));

    // Failing on the finished program leaves no program either.
    r = Build("case \"%1\" in *setup.exe.*.tmp) exit 1;; esac");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("setup.exe"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("setup.exe")));
}

TEST_F(SignedBuild, BytesAfterThePackageThatAreNoSignatureAreRefused)
{
    ASSERT_EQ(
        RunVelkanc({"build", P("p.json"), "--runtime", P("rt"), "-o", P("setup.exe")}).exitCode, 0);
    std::string program = ReadFileText(m_dir / "setup.exe");
    WriteFileText(m_dir / "setup.exe", program + "tail");
    CliResult r = RunVelkanc({"verify", P("setup.exe")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("4 bytes follow the package at offset " + std::to_string(program.size())),
              std::string::npos)
        << r.err;
}
