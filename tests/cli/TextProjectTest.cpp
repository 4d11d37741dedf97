// Projects that live beside their tree: the README's example builds as it stands, a project and
// its tree moved elsewhere build the same bytes from any current directory, every build takes the
// file list from the tree (keeping known files' settings), and defines fill ${NAME}.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CliRunner.h"
#include "core/model/FileOption.h"
#include "core/model/ProjectFile.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

// The example project of the README, taken from it so the two cannot drift.
std::string ReadmeExample()
{
    std::string readme = ReadFileText(fs::path(VELKAN_SOURCE_DIR) / "README.md");
    size_t marker = readme.find("<!-- the example project");
    size_t start = readme.find("```jsonc\n", marker);
    size_t end = readme.find("```\n", start + 9);
    if (marker == std::string::npos || start == std::string::npos || end == std::string::npos)
        return std::string();
    return readme.substr(start + 9, end - start - 9);
}

// Runs velkanc with dir as the current directory.
CliResult RunIn(const fs::path& dir, const std::vector<std::string>& args)
{
    fs::path before = fs::current_path();
    fs::current_path(dir);
    CliResult r = RunVelkanc(args);
    fs::current_path(before);
    return r;
}

class TextProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandInRuntime(m_dir / "rt");
        setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }
    std::string Rt() const { return (m_dir / "rt").string(); }

    TempDir m_dir;
};

}  // namespace

TEST_F(TextProject, TheReadmeExampleBuildsAsItStandsFromAnyDirectory)
{
    std::string example = ReadmeExample();
    ASSERT_FALSE(example.empty()) << "README.md has no example project";
    fs::path project = m_dir / "proj";
    fs::create_directories(project / "app" / "docs");
    WriteFileText(project / "app" / "App.exe", "MZ program");
    WriteFileText(project / "app" / "docs" / "readme.txt", "read me");
    WriteFileText(project / "app.json", example);
    fs::create_directories(m_dir / "elsewhere");
    CliResult r = RunIn(m_dir / "elsewhere",
                        {"build", "../proj/app.json", "-D", "VERSION=1.0", "--runtime", Rt()});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(fs::exists(project / "setup.exe"));  // the output is read from the project's folder
    EXPECT_NE(r.out.find("Define VERSION=1.0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("new file docs\\readme.txt"), std::string::npos) << r.out;

    // Moved with its tree, it builds the same bytes from another directory.
    fs::create_directories(m_dir / "moved");
    fs::copy(project, m_dir / "moved" / "deep", fs::copy_options::recursive);
    fs::remove(m_dir / "moved" / "deep" / "setup.exe");
    CliResult moved =
        RunIn(m_dir.Path(), {"build", "moved/deep/app.json", "-DVERSION=1.0", "--runtime", Rt()});
    ASSERT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_TRUE(ReadFileText(project / "setup.exe") ==
                ReadFileText(m_dir / "moved" / "deep" / "setup.exe"));

    // Without the define, the build fails naming it and where it is used.
    CliResult undefined = RunIn(m_dir.Path(), {"build", "moved/deep/app.json", "--runtime", Rt()});
    EXPECT_EQ(undefined.exitCode, 1);
    EXPECT_NE(undefined.err.find("backgroundTitle: ${VERSION} is used but not defined"),
              std::string::npos)
        << undefined.err;
}

// Files added, removed and renamed by case after the project was made: the build and rescan take
// the tree, keeping every known file's settings; --no-rescan builds the stored list.
TEST_F(TextProject, EveryBuildTakesTheFileListFromTheTreeKeepingSettings)
{
    fs::path tree = m_dir / "app";
    fs::create_directories(tree / "sub");
    WriteFileText(tree / "Setup.EXE", "setup");
    WriteFileText(tree / "gone.txt", "gone");
    WriteFileText(tree / "sub" / "lib.dll", "lib");
    ASSERT_EQ(
        RunVelkanc({"new", "--source", tree.string(), "-o", (m_dir / "p.json").string()}).exitCode,
        0);
    EXPECT_NE(ReadFileText(m_dir / "p.json").find("\"source\": \"app/\""), std::string::npos);
    CDataArray p = LoadProject((m_dir / "p.json").string());
    for (CFileItem& f : p.m_versions[0].m_files) f.SetOption(OptDestination, DestSystem);
    SaveProject(p, (m_dir / "p.json").string());

    fs::remove(tree / "gone.txt");
    WriteFileText(tree / "sub" / "new.txt", "new");

    CliResult build = RunVelkanc({"build", (m_dir / "p.json").string(), "-o",
                                  (m_dir / "setup.exe").string(), "--runtime", Rt()});
    ASSERT_EQ(build.exitCode, 0) << build.err;
    EXPECT_NE(build.out.find("new file sub\\new.txt"), std::string::npos) << build.out;
    EXPECT_NE(build.out.find("gone: gone.txt"), std::string::npos) << build.out;
    CliResult stored = RunVelkanc({"build", (m_dir / "p.json").string(), "--no-rescan", "-o",
                                   (m_dir / "stored.exe").string(), "--runtime", Rt()});
    EXPECT_EQ(stored.exitCode, 1) << "the stored list names a file that is gone";

    // The rescanned project builds the same bytes as the build that scanned for itself.
    ASSERT_EQ(RunVelkanc({"rescan", (m_dir / "p.json").string()}).exitCode, 0);
    ASSERT_EQ(RunVelkanc({"build", (m_dir / "p.json").string(), "--no-rescan", "-o",
                          (m_dir / "again.exe").string(), "--runtime", Rt()})
                  .exitCode,
              0);
    EXPECT_TRUE(ReadFileText(m_dir / "setup.exe") == ReadFileText(m_dir / "again.exe"));

    fs::rename(tree / "Setup.EXE", tree / "setup.exe");
    CliResult rescan = RunVelkanc({"rescan", (m_dir / "p.json").string()});
    ASSERT_EQ(rescan.exitCode, 0) << rescan.err;
    CDataArray after = LoadProject((m_dir / "p.json").string());
    const CFileList& files = after.m_versions[0].m_files;
    ASSERT_EQ(files.size(), 3u);
    ASSERT_NE(files.FindByPath("setup.exe"), nullptr);
    EXPECT_EQ(files.FindByPath("setup.exe")->m_strPath, "Setup.EXE");  // the listed spelling
    EXPECT_EQ(files.FindByPath("setup.exe")->GetOption(OptDestination), DestSystem);
    EXPECT_EQ(files.FindByPath("sub\\lib.dll")->GetOption(OptDestination), DestSystem);
    EXPECT_EQ(files.FindByPath("sub\\new.txt")->GetOption(OptDestination), DestInstallDir);
    EXPECT_EQ(files.FindByPath("gone.txt"), nullptr);

    // The listed spelling still builds on a host whose names keep case, and in a renamed folder.
    fs::rename(tree / "sub", tree / "SUB");
    CliResult renamed = RunVelkanc({"build", (m_dir / "p.json").string(), "-o",
                                    (m_dir / "renamed.exe").string(), "--runtime", Rt()});
    ASSERT_EQ(renamed.exitCode, 0) << renamed.err;
    ASSERT_EQ(
        RunVelkanc({"extract", (m_dir / "renamed.exe").string(), "--to", (m_dir / "out").string()})
            .exitCode,
        0);
    EXPECT_EQ(ReadFileText(m_dir / "out" / "Setup.EXE"), "setup");
    EXPECT_EQ(ReadFileText(m_dir / "out" / "sub" / "lib.dll"), "lib");
}

TEST_F(TextProject, DefinesFillEveryTextOfABinaryProjectToo)
{
    fs::create_directories(m_dir / "v2");
    WriteFileText(m_dir / "v2" / "a.txt", "a");
    CDataArray p = NewProject();
    p.m_versions[0].m_strSourceDir = "${TREE}/";
    p.m_versions[0].m_strTitle = "App ${VER} $${literal}";
    SaveProject(p, (m_dir / "p.vkp").string());
    CliResult r = RunVelkanc({"build", (m_dir / "p.vkp").string(), "--define", "TREE=v2", "-D",
                              "VER=2", "-o", (m_dir / "s.exe").string(), "--runtime", Rt()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Define TREE=v2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Define VER=2"), std::string::npos) << r.out;
    CliResult inspect = RunVelkanc({"inspect", (m_dir / "s.exe").string()});
    EXPECT_NE(inspect.out.find("App 2 ${literal}"), std::string::npos) << inspect.out;
    // The project keeps ${NAME} as written.
    EXPECT_EQ(LoadProject((m_dir / "p.vkp").string()).m_versions[0].m_strTitle,
              "App ${VER} $${literal}");
    EXPECT_EQ(RunVelkanc({"build", (m_dir / "p.vkp").string(), "-D", "1X=2"}).exitCode, 2);
}
