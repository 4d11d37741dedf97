#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "CliRunner.h"
#include "core/model/FileOption.h"
#include "core/model/ProjectFile.h"
#include "core/package/PackageFormat.h"
#include "tests/core/package/PackageTestSupport.h"

extern char** environ;

using namespace velkan;
namespace fs = std::filesystem;

namespace {

std::string Noise(uint32_t seed, size_t size)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = static_cast<char>(random());
    return bytes;
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    WriteFileText(path, std::string(bytes.begin(), bytes.end()));
}

class BuildCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The install runtime as small stand-ins carrying the slot markers.
        fs::create_directories(m_dir / "rt");
        WriteBytes(m_dir / "rt" / "500.bin", test::FakeStub(200));
        WriteBytes(m_dir / "rt" / "502.bin", test::FakeDialogBlock());
        WriteBytes(m_dir / "rt" / "503.bin", test::FakeDialogBlock());
        WriteBytes(m_dir / "rt" / "507.bin", test::FakeStub(300, false));
        project.m_versions.clear();
    }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }

    CData& AddVersion(const std::string& name)
    {
        CData& version = project.m_versions.emplace_back();
        version.m_strName = name;
        version.m_strUninstFile.clear();
        version.m_strSourceDir = P(name) + "/";
        fs::create_directories(P(name));
        return version;
    }
    CFileItem& AddFile(const std::string& version, const std::string& path, const std::string& bytes)
    {
        std::string relative = path;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        fs::create_directories((m_dir / version / relative).parent_path());
        WriteFileText(m_dir / version / relative, bytes);
        for (CData& v : project.m_versions) {
            if (v.m_strName == version) {
                v.m_files.push_back(CFileItem(path));
                return v.m_files.back();
            }
        }
        throw std::logic_error("no version " + version);
    }
    CliResult Build(std::vector<std::string> extra = {})
    {
        SaveProject(project, P("p.vkp"));
        std::vector<std::string> args = {"build", P("p.vkp"), "--runtime", P("rt")};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunVelkanc(args);
    }

    TempDir m_dir;
    CDataArray project;
};

TEST_F(BuildCommand, BuildsAProgramThatVerifiesAndExtractsToTheSources)
{
    const std::string app1 = Noise(1, 50000);
    std::string app2 = app1;
    app2.replace(20000, 5, "patch");
    const std::string readme(3000, 'r');
    AddVersion("one");
    AddFile("one", "app.exe", app1);
    AddFile("one", "data\\readme.txt", readme);
    AddVersion("two").m_strUninstFile = "Uninst.exe";
    AddFile("two", "app.exe", app2);
    AddFile("two", "data\\readme.txt", readme);
    AddFile("two", "new.txt", "new in two");

    CliResult r = Build({"-o", P("setup.exe")});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;  // no terminal: no progress bar
    for (const char* text : {"File", "Packed", "Size", "Ratio", "Uninstaller", "app.exe",
                             "data\\readme.txt", "Result :", "    Number of files: 5",
                             "    Install program size: "}) {
        EXPECT_NE(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    }
    // The header and the file lines share the columns.
    size_t header = r.out.find("File");
    size_t line = r.out.find("new.txt");
    ASSERT_NE(line, std::string::npos);
    std::string headerLine = r.out.substr(header, r.out.find('\n', header) - header);
    std::string fileLine = r.out.substr(line, r.out.find('\n', line) - line);
    EXPECT_EQ(headerLine.size(), fileLine.size()) << headerLine << "\n" << fileLine;
    EXPECT_NE(fileLine.find("     10  "), std::string::npos) << fileLine;  // the size column

    CliResult verify = RunVelkanc({"verify", P("setup.exe")});
    EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;

    for (const char* version : {"one", "two"}) {
        CliResult extract = RunVelkanc({"extract", P("setup.exe"), "--version", version, "--to",
                                        P(std::string("x-") + version)});
        ASSERT_EQ(extract.exitCode, 0) << extract.err;
        const CData* source = nullptr;
        for (const CData& v : project.m_versions) {
            if (v.m_strName == version) source = &v;
        }
        for (const CFileItem& item : source->m_files) {
            std::string relative = item.m_strPath;
            std::replace(relative.begin(), relative.end(), '\\', '/');
            EXPECT_EQ(ReadFileText(m_dir / (std::string("x-") + version) / relative),
                      ReadFileText(m_dir / version / relative))
                << version << " " << relative;
        }
    }
}

TEST_F(BuildCommand, TheOutputPathComesFromTheProjectUnlessGiven)
{
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    CliResult none = Build();
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("-o OUT"), std::string::npos) << none.err;

    project.m_strOutputPath = P("from-project.exe");
    CliResult fromProject = Build();
    EXPECT_EQ(fromProject.exitCode, 0) << fromProject.err;
    EXPECT_TRUE(fs::exists(P("from-project.exe")));
}

TEST_F(BuildCommand, AMissingRuntimeProgramIsNamedAndNothingIsWritten)
{
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    fs::remove(m_dir / "rt" / "500.bin");
    CliResult r = Build({"-o", P("setup.exe")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("setup stub (resource 500) is not built into"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("setup.exe")));

    CliResult win31 = Build({"-o", P("setup.exe"), "--platform", "win31"});
    EXPECT_EQ(win31.exitCode, 1);
    EXPECT_NE(win31.err.find("resource 501"), std::string::npos) << win31.err;

    EXPECT_EQ(Build({"-o", P("setup.exe"), "--platform", "dos"}).exitCode, 2);
}

TEST_F(BuildCommand, WarningsStopTheBuildUnlessYes)
{
    AddVersion("one");
    AddFile("one", "a.exe", "a").m_strMenuName = "A";  // an icon in no folder
    CliResult stopped = Build({"-o", P("setup.exe")});
    EXPECT_EQ(stopped.exitCode, 3);
    EXPECT_NE(stopped.out.find("Warning; the icon folder of one or more file(s) is empty."),
              std::string::npos)
        << stopped.out;
    EXPECT_FALSE(fs::exists(P("setup.exe")));

    CliResult yes = Build({"-o", P("setup.exe"), "--yes"});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_TRUE(fs::exists(P("setup.exe")));
}

TEST_F(BuildCommand, NothingToInstallFails)
{
    AddVersion("one");
    AddFile("one", "a.txt", "a").SetOption(OptInstallMode, 2);
    CliResult r = Build({"-o", P("setup.exe")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Nothing to install! No Install program saved."), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("setup.exe")));
}

// --jobs chooses the threads and never the bytes; --share-equal-files stores equal files once
// and the result verifies.
TEST_F(BuildCommand, JobsAndSharedFiles)
{
    AddVersion("one");
    for (int i = 0; i < 6; ++i) AddFile("one", "f" + std::to_string(i), Noise(i % 3, 20000));
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    ASSERT_EQ(Build({"-o", P("one.exe"), "--jobs", "1"}).exitCode, 0);
    ASSERT_EQ(Build({"-o", P("three.exe"), "--jobs", "3"}).exitCode, 0);
    EXPECT_TRUE(bytes(P("one.exe")) == bytes(P("three.exe")));
    for (const char* bad : {"", "x", "-1", "12345"}) {
        EXPECT_EQ(Build({"-o", P("bad.exe"), "--jobs", bad}).exitCode, 2) << bad;
    }
    EXPECT_FALSE(fs::exists(P("bad.exe")));

    CliResult shared = Build({"-o", P("shared.exe"), "--share-equal-files"});
    ASSERT_EQ(shared.exitCode, 0) << shared.err;
    EXPECT_LT(fs::file_size(P("shared.exe")) + 20000, fs::file_size(P("one.exe")));  // three copies fewer
    CliResult verified = RunVelkanc({"verify", P("shared.exe")});
    EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
}

// --delta-search global copies a block moved beyond the window's reach; the program verifies and
// the later version extracts to its source.
TEST_F(BuildCommand, GlobalDeltaSearch)
{
    const std::string app1 = Noise(7, 400000);
    AddVersion("one");
    AddFile("one", "app.exe", app1);
    AddVersion("two");
    AddFile("two", "app.exe", app1.substr(100000) + app1.substr(0, 100000));

    ASSERT_EQ(Build({"-o", P("window.exe")}).exitCode, 0);
    CliResult global = Build({"-o", P("global.exe"), "--delta-search", "global"});
    ASSERT_EQ(global.exitCode, 0) << global.err;
    EXPECT_LT(fs::file_size(P("global.exe")) + 300000, fs::file_size(P("window.exe")));
    CliResult verified = RunVelkanc({"verify", P("global.exe")});
    EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
    CliResult extract = RunVelkanc({"extract", P("global.exe"), "--version", "two", "--to", P("x")});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    EXPECT_TRUE(ReadFileText(m_dir / "x" / "app.exe") == ReadFileText(m_dir / "two" / "app.exe"));

    EXPECT_EQ(Build({"-o", P("bad.exe"), "--delta-search", "everywhere"}).exitCode, 2);
    EXPECT_FALSE(fs::exists(P("bad.exe")));
}

TEST_F(BuildCommand, ControlCCancelsWithoutLeavingFiles)
{
    AddVersion("one");
    for (int i = 0; i < 12; ++i) AddFile("one", "big" + std::to_string(i), Noise(i, 4 << 20));
    SaveProject(project, P("p.vkp"));
    fs::create_directories(P("tmp"));

    std::string tmpdir = "TMPDIR=" + P("tmp");
    std::vector<std::string> env = {tmpdir, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = {VELKANC_PATH, "build", P("p.vkp"), "--runtime", P("rt"),
                                     "-o", P("setup.exe")};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, VELKANC_PATH, &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Once the program file exists, the build is packing files.
    for (int i = 0; i < 2000 && !fs::exists(P("setup.exe")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_FALSE(fs::exists(P("setup.exe")));
    EXPECT_TRUE(fs::is_empty(P("tmp")));
}

}  // namespace

TEST_F(BuildCommand, AFailureNamesTheFileInTheTerminalsEncoding)
{
    // The project lists "café.txt" (Windows-1252 é) but the file is not there: the message must
    // show the host's UTF-8 name once, not converted a second time.
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    project.m_versions[0].m_files.push_back(CFileItem("caf\xE9.txt"));
    CliResult r = Build({"-o", P("out.exe")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("caf\xC3\xA9.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\xC3\x83"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("out.exe")));
}
