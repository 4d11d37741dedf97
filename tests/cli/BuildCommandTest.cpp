#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <pty.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "CliRunner.h"
#include "core/builder/BuildExitCode.h"
#include "core/install/CCommandLine.h"
#include "core/model/FileOption.h"
#include "core/model/JsonValue.h"
#include "core/model/ProjectFile.h"
#include "core/package/CPackageReader.h"
#include "core/package/ContinuationFileName.h"
#include "core/package/PackageFormat.h"
#include "core/platform/CodePage.h"

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

class BuildCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandInRuntime(m_dir / "rt");
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
    CFileItem& AddFile(const std::string& version, const std::string& path,
                       const std::string& bytes)
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

    CliResult r = Build({"-o", P("setup.exe"), "--verbose"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;  // no terminal: no progress bar
    for (const char* text :
         {"File", "Packed", "Size", "Ratio", "Uninstaller", "app.exe", "data\\readme.txt",
          "Result :", "    Number of files: 5", "    Install program size: "}) {
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
    EXPECT_NE(r.err.find("setup stub (resource 500) is not built into"), std::string::npos)
        << r.err;
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
    // On stderr alone, one line, one spelling; an exit code of its own.
    CliResult stopped = Build({"-o", P("setup.exe")});
    EXPECT_EQ(stopped.exitCode, kBuildExitWarnings);
    // It names the version and the file.
    EXPECT_NE(stopped.err.find("velkanc: warning: version 1 (one), file a.exe: the icon folder of "
                               "one or more file(s) is empty.\n"),
              std::string::npos)
        << stopped.err;
    EXPECT_EQ(stopped.out, "");
    EXPECT_FALSE(fs::exists(P("setup.exe")));

    // Built anyway: the warning still on stderr alone, at every level.
    const std::string warning = "velkanc: warning: version 1 (one), file a.exe: ";
    for (const char* level : {"-q", "-v", "--json"}) {
        SCOPED_TRACE(level);
        CliResult yes = Build({"-o", P("setup.exe"), "--yes", level});
        EXPECT_EQ(yes.exitCode, 0) << yes.err;
        EXPECT_NE(yes.err.find(warning), std::string::npos) << yes.err;
        EXPECT_EQ(yes.out.find("velkanc: warning"), std::string::npos) << yes.out;
        if (std::string(level) == "-q") {
            EXPECT_EQ(yes.out, "");
        }
    }
    EXPECT_TRUE(fs::exists(P("setup.exe")));
}

// A listed file that is a link leaving the source folder (or lies under a linked folder that
// does) would pack whatever the link names: the build warns, as the scan does, and stops unless
// --yes. A link that stays inside the folder is no warning.
TEST_F(BuildCommand, ListedLinksLeavingTheSourceFolderAreWarnings)
{
    fs::create_directories(m_dir / "elsewhere");
    WriteFileText(m_dir / "elsewhere" / "secret.txt", "secret");
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    AddFile("one", "inside.txt", "x");
    fs::remove(m_dir / "one" / "inside.txt");
    fs::create_symlink("a.txt", m_dir / "one" / "inside.txt");
    CliResult quiet = Build({"-o", P("setup.exe")});
    EXPECT_EQ(quiet.exitCode, 0) << quiet.out << quiet.err;
    fs::remove(P("setup.exe"));

    struct Case {
        const char* listed;  // the project's path, Windows-1252
        const char* shown;   // how stderr names it, UTF-8
        bool folderLink;     // the link is a folder on the way, not the file
    };
    const Case cases[] = {{"key.txt", "key.txt", false},
                          {"cl\xE9.txt", "cl\xC3\xA9.txt", false},
                          {"linked\\secret.txt", "linked/secret.txt", true}};
    for (const Case& c : cases) {
        const std::string listed = c.listed;
        SCOPED_TRACE(c.shown);
        if (c.folderLink) {
            fs::create_directory_symlink(m_dir / "elsewhere", m_dir / "one" / "linked");
        } else {
            fs::create_symlink(m_dir / "elsewhere" / "secret.txt", m_dir / "one" / c.shown);
        }
        project.m_versions[0].m_files.push_back(CFileItem(listed));
        // The stored list as it is: a scan would leave such a link out.
        CliResult stopped = Build({"-o", P("setup.exe"), "--no-rescan"});
        EXPECT_EQ(stopped.exitCode, kBuildExitWarnings);
        EXPECT_NE(stopped.err.find("velkanc: warning: version 1 (one), file " +
                                   Cp1252ToUtf8(listed) + ": "),
                  std::string::npos)
            << stopped.err;
        EXPECT_NE(stopped.err.find("a link to a file outside the source folder"), std::string::npos)
            << stopped.err;
        EXPECT_NE(stopped.err.find((m_dir / "one").string() + "/" + c.shown + "\" is a link"),
                  std::string::npos)
            << stopped.err;
        EXPECT_FALSE(fs::exists(P("setup.exe")));
        project.m_versions[0].m_files.erase(project.m_versions[0].m_files.end() - 1);
    }
    project.m_versions[0].m_files.push_back(CFileItem("key.txt"));
    CliResult yes = Build({"-o", P("setup.exe"), "--yes"});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_TRUE(fs::exists(P("setup.exe")));
}

// An auxiliary file past the size a setup program carries for it would make a program every
// reader refuses: the build stops, naming it, without reading it.
TEST_F(BuildCommand, AnAuxiliaryFileOverItsCapStopsTheBuild)
{
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    WriteFileText(m_dir / "aux.bin", "");
    fs::resize_file(m_dir / "aux.bin", (64u << 20) + 1);
    project.m_strAuxFile = P("aux.bin");
    CliResult r = Build({"-o", P("setup.exe"), "--yes"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("aux.bin"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("at most 67108864 bytes"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("setup.exe")));
}

TEST_F(BuildCommand, NothingToInstallFails)
{
    AddVersion("one");
    AddFile("one", "a.txt", "a").SetOption(OptInstallMode, InstallSkip);
    CliResult r = Build({"-o", P("setup.exe")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Nothing to install! No Install program saved."), std::string::npos)
        << r.err;
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
    EXPECT_LT(fs::file_size(P("shared.exe")) + 20000,
              fs::file_size(P("one.exe")));  // three copies fewer
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
    CliResult extract =
        RunVelkanc({"extract", P("global.exe"), "--version", "two", "--to", P("x")});
    ASSERT_EQ(extract.exitCode, 0) << extract.err;
    EXPECT_TRUE(ReadFileText(m_dir / "x" / "app.exe") == ReadFileText(m_dir / "two" / "app.exe"));

    EXPECT_EQ(Build({"-o", P("bad.exe"), "--delta-search", "everywhere"}).exitCode, 2);
    EXPECT_FALSE(fs::exists(P("bad.exe")));
}

// Ctrl-C, SIGTERM or SIGHUP while files are packed: exit 3 with one line, no temporary left beside
// the target or in TMPDIR, and the earlier program (with its continuation files, for a spanned
// build) as it was.
TEST_F(BuildCommand, StopSignalsCancelWithoutLeavingFilesOrLosingTheEarlierProgram)
{
    AddVersion("one");
    for (int i = 0; i < 12; ++i) AddFile("one", "big" + std::to_string(i), Noise(i, 4 << 20));
    SaveProject(project, P("p.vkp"));

    // A CI timeout sends SIGTERM, a closed terminal SIGHUP: each stops the build as Ctrl-C does.
    const struct {
        int signal;
        std::vector<std::string> extra;
    } cases[] = {
        {SIGINT, {}},
        {SIGTERM, {}},
        {SIGHUP, {}},
        {SIGINT, {"--span", "1M"}},
        {SIGTERM, {"--span", "1M"}},
    };
    for (const auto& [signal, extra] : cases) {
        SCOPED_TRACE(std::string(extra.empty() ? "whole, " : "spanned, ") + strsignal(signal));
        fs::remove_all(P("tmp"));
        fs::create_directories(P("tmp"));
        WriteFileText(m_dir / "setup.exe", "earlier program");
        WriteFileText(ContinuationFileName(P("setup.exe"), 1), "earlier piece");
        auto namesBesideTarget = [&] {
            std::vector<std::string> names;
            for (const auto& item : fs::directory_iterator(m_dir.Path())) {
                std::string name = item.path().filename().string();
                if (name.rfind("setup.", 0) == 0) names.push_back(name);
            }
            std::sort(names.begin(), names.end());
            return names;
        };
        const std::vector<std::string> before = namesBesideTarget();

        std::vector<std::string> args = {"build", P("p.vkp"), "--runtime",
                                         P("rt"), "-o",       P("setup.exe")};
        args.insert(args.end(), extra.begin(), extra.end());
        const std::string errPath = P("build.err");
        const pid_t pid = StartVelkanc(args, {"TMPDIR=" + P("tmp"), "PATH=/usr/bin:/bin"}, errPath);
        ASSERT_GT(pid, 0);

        // Once a temporary file beside the target exists, the build is packing files.
        for (int i = 0; i < 2000 && namesBesideTarget() == before; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(pid, signal);
        EXPECT_EQ(WaitForExit(pid), kBuildExitStopped);
        EXPECT_EQ(ReadFileText(errPath), "velkanc: build cancelled; nothing was written\n");
        EXPECT_EQ(namesBesideTarget(), before);
        EXPECT_EQ(ReadFileText(m_dir / "setup.exe"), "earlier program");
        EXPECT_EQ(ReadFileText(ContinuationFileName(P("setup.exe"), 1)), "earlier piece");
        EXPECT_TRUE(fs::is_empty(P("tmp")));
    }
}

}  // namespace

TEST_F(BuildCommand, AFailureNamesTheFileInTheTerminalsEncoding)
{
    // The project lists "café.txt" (Windows-1252 é) but the file is not there: the message must
    // show the host's UTF-8 name once, not converted a second time.
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    project.m_versions[0].m_files.push_back(CFileItem("caf\xE9.txt"));
    CliResult r = Build({"-o", P("out.exe"), "--no-rescan"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("caf\xC3\xA9.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\xC3\x83"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(P("out.exe")));
}

namespace {

// Files a build must not take: names Windows refuses or alters (the setup program would fail at
// the end user's), and files that are not regular (a FIFO would hang the build, a device feed it
// without end). Each stops the build with the file named, even with --yes.
TEST_F(BuildCommand, SourcesWindowsOrTheBuildCannotTakeStopIt)
{
    struct Case {
        const char* path;  // Windows-1252, as the project lists it
        const char* message;
        std::function<void(const fs::path&)> make = nullptr;  // replaces the written file
    } cases[] = {
        {"aux", "a device name reserved by Windows"},
        {"docs\\CON.txt", "a device name reserved by Windows"},
        {"com1", "a device name reserved by Windows"},
        {"COM\xB9.txt", "a device name reserved by Windows"},
        {"trail.", "a trailing dot or space"},
        {"trail ", "a trailing dot or space"},
        {"q?.txt", "the character '?'"},
        {"tab\t.txt", "the control character 0x09"},
        {"fifo", "not a regular file",
         [](const fs::path& p) {
             fs::remove(p);
             ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
         }},
        {"zero", "not a regular file",
         [](const fs::path& p) {
             fs::remove(p);
             fs::create_symlink("/dev/zero", p);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        SetUp();
        AddVersion("one");
        AddFile("one", "a.txt", "a");
        std::string host = c.path;
        std::replace(host.begin(), host.end(), '\\', '/');
        // Non-ASCII names are stored on the host in UTF-8.
        if (host.find('\xB9') != std::string::npos) host = "COM\xC2\xB9.txt";
        fs::create_directories((m_dir / "one" / host).parent_path());
        WriteFileText(m_dir / "one" / host, "x");
        if (c.make) c.make(m_dir / "one" / host);
        project.m_versions[0].m_files.push_back(CFileItem(c.path));
        WriteFileText(m_dir / "setup.exe", "the previous program");
        // As the project lists them: a scan stops at such names or leaves such files out.
        CliResult r = Build({"-o", P("setup.exe"), "--yes", "--no-rescan"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(host), std::string::npos) << r.err;
        EXPECT_EQ(ReadFileText(m_dir / "setup.exe"), "the previous program");
        fs::remove_all(m_dir / "one");
    }
}

}  // namespace

namespace {

// A later version of a kept-external file is a delta against it: verify and extract rebuild it
// from the file beside the program, or under --external; without it the message names the entry.
TEST_F(BuildCommand, DeltasAgainstKeptExternalFilesAreRebuiltFromThatFile)
{
    const std::string old = Noise(7, 30000);
    std::string changed = old;
    changed.replace(100, 4, "new!");
    AddVersion("one");
    AddFile("one", "big.dat", old).SetOption(OptKeepExternal, OptionOn);
    AddVersion("two");
    AddFile("two", "big.dat", changed);
    CliResult r = Build({"-o", P("setup.exe")});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;

    CliResult missing = RunVelkanc({"verify", P("setup.exe")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(
        missing.out.find("version 2 entry 1 (\"big.dat\"): its reference, version 1 entry 1 "
                         "(\"big.dat\"), is kept outside the setup program and was not found"),
        std::string::npos)
        << missing.out;

    CliResult elsewhere = RunVelkanc({"verify", P("setup.exe"), "--external", P("one")});
    EXPECT_EQ(elsewhere.exitCode, 0) << elsewhere.out;

    WriteFileText(m_dir / "big.dat", changed);  // beside the program, but not the file it kept
    CliResult wrong = RunVelkanc({"verify", P("setup.exe")});
    EXPECT_NE(wrong.out.find("the file found differs from it"), std::string::npos) << wrong.out;

    WriteFileText(m_dir / "big.dat", old);
    EXPECT_EQ(RunVelkanc({"verify", P("setup.exe")}).exitCode, 0);
    CliResult extract = RunVelkanc({"extract", P("setup.exe"), "--version", "2", "--to", P("x")});
    EXPECT_EQ(extract.exitCode, 0) << extract.err;
    EXPECT_EQ(ReadFileText(m_dir / "x" / "big.dat"), changed);
}

// Links already in the extraction folder are never written through.
TEST_F(BuildCommand, ExtractionDoesNotFollowLinksInTheFolder)
{
    AddVersion("one");
    AddFile("one", "docs\\readme.txt", "readme");
    AddFile("one", "a.txt", "a");
    ASSERT_EQ(Build({"-o", P("setup.exe")}).exitCode, 0);
    fs::create_directories(P("elsewhere"));
    fs::create_directories(P("x"));
    WriteFileText(m_dir / "elsewhere" / "victim", "precious");
    fs::create_directory_symlink(P("elsewhere"), P("x/docs"));
    fs::create_symlink(P("elsewhere/victim"), P("x/a.txt.part"));
    CliResult r = RunVelkanc({"extract", P("setup.exe"), "--to", P("x")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.err.find("\"docs\\\\readme.txt\": cannot open the folder docs (a symbolic link is in "
                   "the way)"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFileText(m_dir / "x" / "a.txt"), "a");
    EXPECT_EQ(ReadFileText(m_dir / "elsewhere" / "victim"), "precious");
    EXPECT_FALSE(fs::exists(m_dir / "elsewhere" / "readme.txt"));
}

}  // namespace

namespace {

// An Authenticode signature appends its certificate table after the data section: the one thing
// allowed there. Anything after the table, or instead of it, is refused.
TEST_F(BuildCommand, ASignedProgramVerifiesAndBytesAfterItDoNot)
{
    if (std::system("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0) {
        GTEST_SKIP() << "osslsigncode or openssl is not installed";
    }
    AddVersion("one");
    AddFile("one", "a.txt", "signed content");
    SaveProject(project, P("p.vkp"));
    // The embedded runtime: signing needs a real PE stub.
    CliResult built = RunVelkanc({"build", P("p.vkp"), "-o", P("setup.exe"), "--yes"});
    if (built.exitCode != 0) GTEST_SKIP() << "no install runtime in this build: " << built.err;
    std::string sign = "cd " + P("") +
                       " && openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=t " +
                       "-keyout k.pem -out c.pem -days 2 >/dev/null 2>&1 && osslsigncode sign " +
                       "-certs c.pem -key k.pem -in setup.exe -out signed.exe >/dev/null 2>&1";
    ASSERT_EQ(std::system(sign.c_str()), 0);
    CliResult signedOk = RunVelkanc({"verify", P("signed.exe")});
    EXPECT_EQ(signedOk.exitCode, 0) << signedOk.out << signedOk.err;

    std::string bytes = ReadFileText(m_dir / "signed.exe");
    WriteFileText(m_dir / "more.exe", bytes + "x");
    CliResult more = RunVelkanc({"verify", P("more.exe")});
    EXPECT_EQ(more.exitCode, 1);
    EXPECT_NE(more.err.find("follow the package"), std::string::npos) << more.err;
    WriteFileText(m_dir / "unsigned-tail.exe",
                  ReadFileText(m_dir / "setup.exe") + std::string(16, '\0'));
    EXPECT_EQ(RunVelkanc({"verify", P("unsigned-tail.exe")}).exitCode, 1);
}

}  // namespace

namespace {

std::string Sha256sum(const std::string& path)
{
    std::string command = "sha256sum '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "";
    char digest[65] = {};
    const size_t n = std::fread(digest, 1, 64, pipe);
    pclose(pipe);
    return std::string(digest, n);
}

const JsonValue& Member(const JsonValue& object, const std::string& key)
{
    for (const auto& [name, value] : object.Members()) {
        if (name == key) return value;
    }
    static const JsonValue none;
    ADD_FAILURE() << "no member " << key;
    return none;
}

// Whatever the output is, the program arrives and the output stays what it was: a link stays a
// link (its target gets the program), a FIFO stays a FIFO, '-' is standard output, a missing
// folder is made. Messages name the output as given, never a temporary file.
TEST_F(BuildCommand, EveryKindOfOutputGetsTheProgramAndStaysWhatItIs)
{
    AddVersion("one");
    AddFile("one", "a.txt", "a");
    ASSERT_EQ(Build({"-o", P("reference.exe"), "-q"}).exitCode, 0);
    const std::string program = ReadFileText(m_dir / "reference.exe");

    struct Case {
        const char* what;
        std::string output;
        std::function<void()> make;
        std::function<std::string(const CliResult&)> received;
        std::function<bool()> kept = [] { return true; };
    } cases[] = {
        {"an existing file", P("existing.exe"),
         [&] { WriteFileText(m_dir / "existing.exe", "old"); },
         [&](const CliResult&) { return ReadFileText(m_dir / "existing.exe"); }},
        {"a missing folder", P("new/deeper/setup.exe"), [] {},
         [&](const CliResult&) { return ReadFileText(m_dir / "new/deeper/setup.exe"); }},
        {"a link", P("link.exe"),
         [&] {
             WriteFileText(m_dir / "target.exe", "old");
             fs::create_symlink("target.exe", m_dir / "link.exe");
         },
         [&](const CliResult&) { return ReadFileText(m_dir / "target.exe"); },
         [&] { return fs::is_symlink(m_dir / "link.exe"); }},
        {"a link to a missing file", P("dangling.exe"),
         [&] { fs::create_symlink("made/by/build.exe", m_dir / "dangling.exe"); },
         [&](const CliResult&) { return ReadFileText(m_dir / "made/by/build.exe"); },
         [&] { return fs::is_symlink(m_dir / "dangling.exe"); }},
        {"standard output", "-", [] {}, [](const CliResult& r) { return r.out; }},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        CliResult r = Build({"-o", c.output});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(c.received(r), program);
        EXPECT_TRUE(c.kept());
        // The summary names the output as given (on stderr when stdout carries the program).
        EXPECT_NE((c.output == "-" ? r.err : r.out).find(c.output + ": "), std::string::npos)
            << r.out << r.err;
    }

    // A FIFO is written into, not replaced.
    ASSERT_EQ(mkfifo(P("fifo").c_str(), 0600), 0);
    std::string fromFifo;
    std::thread reader([&] {
        std::ifstream in(P("fifo"), std::ios::binary);
        fromFifo.assign(std::istreambuf_iterator<char>(in), {});
    });
    CliResult toFifo = Build({"-o", P("fifo"), "-q"});
    reader.join();
    EXPECT_EQ(toFifo.exitCode, 0) << toFifo.err;
    EXPECT_EQ(fromFifo, program);
    EXPECT_TRUE(fs::is_fifo(P("fifo")));
    // A FIFO holds no continuation files.
    EXPECT_EQ(Build({"-o", P("fifo"), "--span", "1M"}).exitCode, 2);

    // A folder that cannot be made: the message names the output, not a temporary file.
    WriteFileText(m_dir / "afile", "x");
    CliResult blocked = Build({"-o", P("afile/setup.exe")});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.err.find(P("afile/setup.exe")), std::string::npos) << blocked.err;
    EXPECT_EQ(blocked.err.find(".tmp"), std::string::npos) << blocked.err;
    CliResult folder = Build({"-o", m_dir.Path().string()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_TRUE(fs::is_directory(m_dir.Path()));
}

// -q prints nothing on success; the default a short summary (no per-file table) naming the
// output with its size and SHA-256; -v the table as well; --json one document that reads back to
// the program's own facts.
TEST_F(BuildCommand, ReportLevelsAndTheJsonReport)
{
    const std::string app1 = Noise(7, 40000);
    std::string app2 = app1;
    app2.replace(1000, 6, "change");
    AddVersion("one");
    AddFile("one", "app.exe", app1);
    AddVersion("two");
    AddFile("two", "app.exe", app2);
    AddFile("two", "new.txt", "new");

    CliResult quiet = Build({"-o", P("setup.exe"), "--quiet"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "");
    const std::string sha = Sha256sum(P("setup.exe"));
    ASSERT_EQ(sha.size(), 64u);
    const std::string size = std::to_string(fs::file_size(P("setup.exe")));

    CliResult normal = Build({"-o", P("setup.exe")});
    EXPECT_EQ(normal.err, "");  // no terminal, no --progress: no progress at all
    EXPECT_NE(normal.out.find(P("setup.exe") + ": " + size + " bytes, SHA-256 " + sha),
              std::string::npos)
        << normal.out;
    EXPECT_NE(normal.out.find("2 version(s), 1 delta(s)"), std::string::npos) << normal.out;
    EXPECT_EQ(normal.out.find("Ratio"), std::string::npos) << normal.out;
    EXPECT_NE(Build({"-o", P("setup.exe"), "-v"}).out.find("Ratio"), std::string::npos);
    EXPECT_EQ(Build({"-q", "-v"}).exitCode, 2);

    // Without a terminal, --progress prints one line per tenth, in order, at most ten.
    CliResult progress = Build({"-o", P("setup.exe"), "-q", "--progress"});
    EXPECT_EQ(progress.out, "");
    std::vector<int> tenths;
    for (size_t at = 0; (at = progress.err.find("velkanc: ", at)) != std::string::npos; ++at) {
        tenths.push_back(std::atoi(progress.err.c_str() + at + 9));
    }
    ASSERT_FALSE(tenths.empty()) << progress.err;
    EXPECT_LE(tenths.size(), 10u);
    EXPECT_TRUE(std::is_sorted(tenths.begin(), tenths.end()));
    EXPECT_EQ(tenths.back(), 100) << progress.err;

    CliResult json = Build({"-o", P("setup.exe"), "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const JsonValue report = JsonValue::Parse(json.out);
    const JsonValue& output = Member(report, "output");
    EXPECT_EQ(Member(output, "path").GetText(), P("setup.exe"));
    EXPECT_EQ(std::to_string(Member(output, "size").GetNumber()), size);
    EXPECT_EQ(Member(output, "sha256").GetText(), sha);
    const auto& versions = Member(report, "versions").Items();
    ASSERT_EQ(versions.size(), 2u);
    for (size_t v = 0; v < versions.size(); ++v) {
        SCOPED_TRACE(v);
        EXPECT_EQ(Member(versions[v], "number").GetNumber(), static_cast<int64_t>(v + 1));
        const auto& entries = Member(versions[v], "entries").Items();
        ASSERT_EQ(entries.size(), project.m_versions[v].m_files.size());
        for (size_t e = 0; e < entries.size(); ++e) {
            const std::string path = Member(entries[e], "path").GetText();
            EXPECT_EQ(Member(entries[e], "number").GetNumber(), static_cast<int64_t>(e + 1));
            const fs::path source = m_dir / (v == 0 ? "one" : "two") / path;
            EXPECT_EQ(Member(entries[e], "size").GetNumber(),
                      static_cast<int64_t>(fs::file_size(source)));
            const bool delta = v == 1 && path == "app.exe";
            EXPECT_EQ(Member(entries[e], "delta").GetBool(), delta) << path;
            if (delta) {
                EXPECT_EQ(Member(entries[e], "deltaAgainstVersion").GetNumber(), 1);
            }
        }
    }

    // inspect numbers versions and entries as build does, from 1.
    CliResult inspect = RunVelkanc({"inspect", P("setup.exe"), "--json"});
    ASSERT_EQ(inspect.exitCode, 0) << inspect.err;
    const JsonValue inspectReport = JsonValue::Parse(inspect.out);
    const auto& inspected = Member(inspectReport, "versions").Items();
    ASSERT_EQ(inspected.size(), 2u);
    for (size_t v = 0; v < 2; ++v) {
        EXPECT_EQ(Member(inspected[v], "number").GetNumber(), static_cast<int64_t>(v + 1));
        const auto& table = Member(inspected[v], "fileTable").Items();
        const auto& built = Member(versions[v], "entries").Items();
        ASSERT_EQ(table.size(), built.size());
        for (size_t e = 0; e < table.size(); ++e) {
            EXPECT_EQ(Member(table[e], "number").GetNumber(),
                      Member(built[e], "number").GetNumber());
            EXPECT_EQ(Member(table[e], "storedChecksum").GetText(),
                      Member(built[e], "checksum").GetText());
        }
    }
}

// The JSON of build, verify and extract read back against the setup program as the package
// reader sees it, entry by entry, and one number per version and entry in every command: the
// JSON documents, inspect, and verify's and extract's messages.
TEST_F(BuildCommand, JsonReportsAgreeWithThePackageAndNumberEntriesAlike)
{
    const std::string old = Noise(3, 30000);
    std::string changed = old;
    changed.replace(500, 4, "new!");
    AddVersion("one");
    AddFile("one", "a.txt", "alpha");
    AddFile("one", "big.dat", old).SetOption(OptKeepExternal, OptionOn);
    AddVersion("two");
    AddFile("two", "a.txt", "alpha");
    AddFile("two", "sub\\c.txt", "gamma");
    AddFile("two", "big.dat", changed);
    CliResult built = Build({"-o", P("setup.exe"), "--json"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const JsonValue build = JsonValue::Parse(built.out);
    // Without the external file beside it, the delta against it cannot be checked.
    CliResult verified = RunVelkanc({"verify", P("setup.exe"), "--json"});
    EXPECT_EQ(verified.exitCode, 1) << verified.err;
    const JsonValue verify = JsonValue::Parse(verified.out);
    const std::string verifyText = RunVelkanc({"verify", P("setup.exe")}).out;
    CliResult inspected = RunVelkanc({"inspect", P("setup.exe"), "--json"});
    ASSERT_EQ(inspected.exitCode, 0) << inspected.err;
    const JsonValue inspect = JsonValue::Parse(inspected.out);

    auto reader = CPackageReader::OpenFile(P("setup.exe"));
    reader->Read();
    const auto& versions = reader->Contents().versions;
    ASSERT_EQ(versions.size(), 2u);
    ASSERT_EQ(Member(build, "versions").Items().size(), 2u);
    ASSERT_EQ(Member(verify, "versions").Items().size(), 2u);
    bool sawFailure = false;
    for (size_t v = 0; v < versions.size(); ++v) {
        const JsonValue& builtVersion = Member(build, "versions").Items()[v];
        const JsonValue& verifiedVersion = Member(verify, "versions").Items()[v];
        const JsonValue& inspectedVersion = Member(inspect, "versions").Items()[v];
        for (const JsonValue* version : {&builtVersion, &verifiedVersion, &inspectedVersion}) {
            EXPECT_EQ(Member(*version, "number").GetNumber(), static_cast<int64_t>(v + 1));
        }
        EXPECT_EQ(Member(verifiedVersion, "name").GetText(), versions[v].block.name);
        const auto& files = versions[v].files;
        const auto& builtEntries = Member(builtVersion, "entries").Items();
        const auto& verifiedEntries = Member(verifiedVersion, "entries").Items();
        const auto& table = Member(inspectedVersion, "fileTable").Items();
        ASSERT_EQ(builtEntries.size(), files.size());
        ASSERT_EQ(verifiedEntries.size(), files.size());
        ASSERT_EQ(table.size(), files.size());
        for (size_t e = 0; e < files.size(); ++e) {
            const CFileEntry& entry = files[e];
            SCOPED_TRACE(entry.m_strPath);
            char checksum[16];
            std::snprintf(checksum, sizeof checksum, "0x%08X",
                          static_cast<unsigned>(entry.m_nChecksum));
            const bool delta = (entry.m_nFlags & package::kEntryDelta) != 0;
            EXPECT_EQ(Member(table[e], "number").GetNumber(), static_cast<int64_t>(e + 1));
            for (const JsonValue* facts : {&builtEntries[e], &verifiedEntries[e]}) {
                EXPECT_EQ(Member(*facts, "number").GetNumber(), static_cast<int64_t>(e + 1));
                EXPECT_EQ(Member(*facts, "path").GetText(), Cp1252ToUtf8(entry.m_strPath));
                EXPECT_EQ(Member(*facts, "size").GetNumber(), static_cast<int64_t>(entry.m_nSize));
                EXPECT_EQ(Member(*facts, "packedSize").GetNumber(),
                          static_cast<int64_t>(entry.m_nPackedSize));
                EXPECT_EQ(Member(*facts, "delta").GetBool(), delta);
                if (delta) {
                    EXPECT_EQ(Member(*facts, "deltaAgainstVersion").GetNumber(),
                              static_cast<int64_t>(entry.m_nSourceVersion) + 1);
                } else {
                    EXPECT_EQ(Member(*facts, "deltaAgainstVersion").GetType(),
                              JsonValue::Type::Null);
                }
                EXPECT_EQ(Member(*facts, "checksum").GetText(), checksum);
            }
            // The one failure names the entry by the number its JSON carries, in both forms.
            const bool fails = v == 1 && entry.m_strPath == "big.dat";
            EXPECT_EQ(Member(verifiedEntries[e], "ok").GetBool(), !fails);
            if (fails) {
                sawFailure = true;
                const std::string named =
                    "version 2 entry " + std::to_string(e + 1) + " (\"big.dat\")";
                EXPECT_NE(Member(verifiedEntries[e], "error").GetText().find(named),
                          std::string::npos)
                    << Member(verifiedEntries[e], "error").GetText();
                EXPECT_NE(verifyText.find(named), std::string::npos) << verifyText;
            }
        }
    }
    EXPECT_TRUE(sawFailure);
    EXPECT_FALSE(Member(verify, "ok").GetBool());
    EXPECT_EQ(Member(verify, "failed").GetNumber(), 1);

    // extract: every entry it wrote is the source file, with the size and number the package
    // gives it; the file kept outside is skipped with the same number.
    for (const char* version : {"1", "2"}) {
        SCOPED_TRACE(version);
        const size_t v = version[0] == '1' ? 0 : 1;
        const fs::path to = m_dir / (std::string("x") + version);
        CliResult extracted = RunVelkanc({"extract", P("setup.exe"), "--version", version, "--to",
                                          to.string(), "--external", P("one"), "--json"});
        ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
        const JsonValue extract = JsonValue::Parse(extracted.out);
        EXPECT_EQ(Member(extract, "number").GetNumber(), static_cast<int64_t>(v + 1));
        const auto& entries = Member(extract, "entries").Items();
        ASSERT_EQ(entries.size(), versions[v].files.size());
        for (size_t e = 0; e < entries.size(); ++e) {
            const CFileEntry& entry = versions[v].files[e];
            SCOPED_TRACE(entry.m_strPath);
            EXPECT_EQ(Member(entries[e], "number").GetNumber(), static_cast<int64_t>(e + 1));
            EXPECT_EQ(Member(entries[e], "path").GetText(), Cp1252ToUtf8(entry.m_strPath));
            if (entry.IsExternal()) {
                EXPECT_EQ(Member(entries[e], "result").GetText(), "skipped: kept external");
                continue;
            }
            ASSERT_EQ(Member(entries[e], "result").GetText(), "written");
            const fs::path file = to / Member(entries[e], "file").GetText();
            EXPECT_EQ(static_cast<int64_t>(fs::file_size(file)),
                      Member(entries[e], "size").GetNumber());
            std::string source = entry.m_strPath;
            std::replace(source.begin(), source.end(), '\\', '/');
            EXPECT_TRUE(ReadFileText(file) ==
                        ReadFileText(m_dir / (v == 0 ? "one" : "two") / source));
        }
    }
}

// On a terminal the progress bar is redrawn at most ten times a second, however often the build
// reports progress; without one (every other test here) there is no bar.
TEST_F(BuildCommand, TheBarOnATerminalIsRedrawnAtMostTenTimesASecond)
{
    AddVersion("one");
    for (int i = 0; i < 24; ++i) AddFile("one", "f" + std::to_string(i), Noise(i, 1 << 20));
    SaveProject(project, P("p.vkp"));
    std::vector<std::string> args = {VELKANC_PATH, "build",        P("p.vkp"), "--runtime", P("rt"),
                                     "-o",         P("setup.exe"), "--jobs",   "1"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto started = std::chrono::steady_clock::now();
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execv(VELKANC_PATH, argv.data());
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, n);
    close(terminal);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(WaitForExit(pid), 0) << shown;

    size_t draws = 0;
    for (size_t at = 0; (at = shown.find("\r[", at)) != std::string::npos; ++at) ++draws;
    EXPECT_GE(draws, 1u) << shown;
    // Ten a second, the first and the last.
    EXPECT_LE(static_cast<double>(draws), seconds * 10 + 2) << seconds << " s";
}

// SIGTERM while extract writes: exit 3 with one line, the file being written gone (no temporary
// file left in the folder), the files written before it kept.
TEST_F(BuildCommand, ExtractStoppedBySigtermKeepsWhatItWroteAndLeavesNoTemporaryFile)
{
    AddVersion("one");
    AddFile("one", "a.txt", "alpha");
    std::string big(96 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>("velkan "[i % 7]);
    AddFile("one", "big.txt", big);
    big.clear();
    ASSERT_EQ(Build({"-o", P("setup.exe"), "-q"}).exitCode, 0);

    const fs::path to = m_dir / "x";
    const pid_t pid =
        StartVelkanc({"extract", P("setup.exe"), "--to", to.string()}, {}, P("extract.err"));
    ASSERT_GT(pid, 0);
    auto names = [&] {
        std::vector<std::string> found;
        std::error_code ec;
        for (const auto& item : fs::recursive_directory_iterator(to, ec)) {
            found.push_back(item.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    // a.txt is written, and something beside it: big.txt on its way.
    for (int i = 0; i < 4000 && names().size() < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(names().size(), 2u) << "extract wrote no second file";
    kill(pid, SIGTERM);
    ASSERT_EQ(WaitForExit(pid), kBuildExitStopped);
    EXPECT_EQ(ReadFileText(P("extract.err")), "velkanc: cancelled; no temporary file left\n");
    EXPECT_EQ(names(), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadFileText(to / "a.txt"), "alpha");
}

// inspect's "manifest" gives a package manager what it needs, after the keys it always had: the
// product and its versions as the installed-programs list shows them, the identity the entry
// carries, and switches the setup program's own parser takes as what they are named for.
TEST_F(BuildCommand, InspectEndsWithAPackageManifest)
{
    CData& pro = AddVersion("Pro");
    pro.m_strTitle = "Caf\xE9 Tool";
    pro.m_strUninstFile = "Uninst.exe";
    AddFile("Pro", "app.exe", "pro");
    AddVersion("Lite").m_strTitle.clear();
    AddFile("Lite", "app.exe", "lite");
    ASSERT_EQ(Build({"-o", P("setup.exe")}).exitCode, 0);

    CliResult inspected = RunVelkanc({"inspect", P("setup.exe"), "--json"});
    ASSERT_EQ(inspected.exitCode, 0) << inspected.err;
    const JsonValue inspect = JsonValue::Parse(inspected.out);
    std::vector<std::string> keys;
    for (const auto& [name, value] : inspect.Members()) keys.push_back(name);
    EXPECT_EQ(keys,
              (std::vector<std::string>{"fileLength", "stubSize", "keyMarker", "key", "sections",
                                        "project", "versions", "data", "manifest"}));
    const JsonValue& manifest = Member(inspect, "manifest");
    EXPECT_EQ(Member(manifest, "product").GetText(), "Caf\xC3\xA9 Tool");

    struct Version {
        const char* name;
        const char* title;
        const char* displayName;
        bool uninstaller;
    } expected[] = {{"Pro", "Caf\xC3\xA9 Tool", "Caf\xC3\xA9 Tool", true},
                    {"Lite", "", "Lite", false}};
    const auto& versions = Member(manifest, "versions").Items();
    ASSERT_EQ(versions.size(), 2u);
    for (size_t v = 0; v < versions.size(); ++v) {
        SCOPED_TRACE(v);
        EXPECT_EQ(Member(versions[v], "number").GetNumber(), static_cast<int64_t>(v + 1));
        EXPECT_EQ(Member(versions[v], "name").GetText(), expected[v].name);
        EXPECT_EQ(Member(versions[v], "title").GetText(), expected[v].title);
        EXPECT_EQ(Member(versions[v], "displayName").GetText(), expected[v].displayName);
        EXPECT_EQ(Member(versions[v], "displayVersion").GetText(), expected[v].name);
        const JsonValue& uninstaller = Member(versions[v], "uninstaller");
        EXPECT_EQ((uninstaller.GetType() == JsonValue::Type::Null), !expected[v].uninstaller);
        if (expected[v].uninstaller) {
            EXPECT_EQ(uninstaller.GetText(), "Uninst.exe");
        }
    }

    const JsonValue& programs = Member(manifest, "installedPrograms");
    const auto& lists = Member(programs, "keys").Items();
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].GetText(),
              "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(lists[1].GetText(),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(Member(programs, "entryName").GetType(), JsonValue::Type::Null);
    EXPECT_EQ(Member(programs, "entryPrefix").GetText(), "Velkan-");
    EXPECT_EQ(Member(programs, "productValue").GetText(), "VelkanProduct");
    const std::string id = Member(programs, "productId").GetText();
    EXPECT_EQ(id.size(), 16u);
    EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF"), std::string::npos) << id;
    // Another product (a version more) is another identity.
    AddVersion("Trial");
    AddFile("Trial", "app.exe", "trial");
    ASSERT_EQ(Build({"-o", P("other.exe")}).exitCode, 0);
    const JsonValue other = JsonValue::Parse(RunVelkanc({"inspect", P("other.exe"), "--json"}).out);
    EXPECT_NE(Member(Member(Member(other, "manifest"), "installedPrograms"), "productId").GetText(),
              id);

    // Each switch, as the manifest writes it, is the one the runtime's parser knows by that role.
    auto parse = [](const std::string& text) {
        return install::CCommandLine({std::wstring(text.begin(), text.end())});
    };
    const JsonValue& setup = Member(manifest, "switches");
    EXPECT_TRUE(parse(Member(setup, "silent").GetText()).m_bSilent);
    EXPECT_TRUE(parse(Member(setup, "progress").GetText()).m_bProgress);
    EXPECT_EQ(parse(Member(setup, "directory").GetText() + "C:\\A").m_strDirectory, L"C:\\A");
    EXPECT_EQ(parse(Member(setup, "version").GetText() + "2").m_strVersion, L"2");
    EXPECT_EQ(parse(Member(setup, "log").GetText() + "C:\\l.txt").m_strLogFile, L"C:\\l.txt");
    EXPECT_TRUE(parse(Member(setup, "allUsers").GetText()).m_bAllUsers);
    EXPECT_TRUE(parse(Member(setup, "currentUser").GetText()).m_bCurrentUser);
    const JsonValue& uninstall = Member(manifest, "uninstallSwitches");
    EXPECT_TRUE(parse(Member(uninstall, "silent").GetText()).m_bSilent);
    EXPECT_TRUE(parse(Member(uninstall, "progress").GetText()).m_bProgress);
    EXPECT_EQ(parse(Member(uninstall, "log").GetText() + "C:\\l.txt").m_strLogFile, L"C:\\l.txt");
}

}  // namespace
