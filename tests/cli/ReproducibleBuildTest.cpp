// Two builds of one project from two copies of its tree must give the same bytes, whatever the
// folder, the build time, the locale, the umask and the order the files were made in, once
// SOURCE_DATE_EPOCH caps the recorded file times.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "CliRunner.h"
#include "core/model/ProjectFile.h"
#include "core/platform/FileTimes.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

constexpr int64_t kEpoch = 1700000000;  // 2023-11-14

// Sets environment variables for the velkanc runs of one scope.
class CScopedEnv {
public:
    void Set(const char* name, const std::string& value)
    {
        m_names.push_back(name);
        setenv(name, value.c_str(), 1);
    }
    ~CScopedEnv()
    {
        for (const char* name : m_names) unsetenv(name);
    }

private:
    std::vector<const char*> m_names;
};

const std::vector<std::pair<std::string, std::string>> kTree = {
    {"app.exe", std::string(40000, 'a') + "code"},
    {"docs/Guide.txt", "guide"},
    {"docs/b.txt", "b"},
    {"old.txt", "kept from long ago"},
    {"Z.ini", "[x]\ny=1\n"},
};

// One copy of the tree at root: files made in the given order under the given umask, all written
// at `written` except old.txt, which predates the epoch; and the project beside it as text.
void MakeCopy(const fs::path& root, bool reverse, mode_t mask, fs::file_time_type written)
{
    mode_t previous = umask(mask);
    fs::create_directories(root / "src" / "docs");
    auto files = kTree;
    if (reverse) std::reverse(files.begin(), files.end());
    for (const auto& [path, bytes] : files) WriteFileText(root / "src" / path, bytes);
    umask(previous);
    for (const auto& [path, bytes] : files) fs::last_write_time(root / "src" / path, written);
    fs::last_write_time(root / "src" / "old.txt",
                        fs::file_time_type::clock::from_sys(
                            std::chrono::sys_seconds(std::chrono::seconds(1000000000))));

    CDataArray project = NewProject();
    CData& v = project.m_versions[0];
    v.m_strSourceDir = (root / "src").string() + "/";
    v.m_files.ScanDirectory(v.m_strSourceDir, v.m_strSourceDir, true, nullptr);
    CData& two = project.m_versions.emplace_back(v);
    two.m_strName = "Two";
    two.m_strUninstFile = "Uninst.exe";
    SaveProject(project, (root / "p.json").string());
}

}  // namespace

TEST(ReproducibleBuild, TwoCopiesOfATreeGiveTheSameBytes)
{
    TempDir dir;
    WriteStandInRuntime(dir / "rt");

    auto now = fs::file_time_type::clock::now();
    MakeCopy(dir / "first" / "deeper", false, 022, now - std::chrono::hours(1));
    MakeCopy(dir / "second", true, 077, now);

    auto build = [&](const fs::path& root, const std::string& locale, const std::string& tz) {
        CScopedEnv env;
        env.Set("SOURCE_DATE_EPOCH", std::to_string(kEpoch));
        env.Set("LC_ALL", locale);
        env.Set("TZ", tz);
        CliResult r = RunVelkanc({"build", (root / "p.json").string(), "--runtime",
                                  (dir / "rt").string(), "-o", (root / "setup.exe").string()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadFileText(root / "setup.exe");
    };
    std::string first = build(dir / "first" / "deeper", "C", "UTC");
    std::string second = build(dir / "second", "C.UTF-8", "Asia/Tokyo");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "the two setup programs differ";

    // The cap lowers later times to the epoch and leaves earlier ones as they are.
    CliResult inspect = RunVelkanc({"inspect", (dir / "second" / "setup.exe").string(), "--json"});
    EXPECT_NE(inspect.out.find("\"writeTime\": " + std::to_string(UnixTimeToFileTime(kEpoch, 0))),
              std::string::npos);
    EXPECT_NE(
        inspect.out.find("\"writeTime\": " + std::to_string(UnixTimeToFileTime(1000000000, 0))),
        std::string::npos);
    EXPECT_EQ(
        inspect.out.find("\"creationTime\": " + std::to_string(UnixTimeToFileTime(1000000000, 0))),
        std::string::npos)
        << "the old file was made now: its creation time is capped";
}

TEST(ReproducibleBuild, AnEpochThatIsNoNumberFailsTheBuildNamingIt)
{
    TempDir dir;
    WriteStandInRuntime(dir / "rt");
    MakeCopy(dir / "tree", false, 022, fs::file_time_type::clock::now());
    for (const char* bad : {"yesterday", "-5", "1e9", "99999999999999999999"}) {
        CScopedEnv env;
        env.Set("SOURCE_DATE_EPOCH", bad);
        CliResult r = RunVelkanc({"build", (dir / "tree" / "p.json").string(), "--runtime",
                                  (dir / "rt").string(), "-o", (dir / "setup.exe").string()});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("SOURCE_DATE_EPOCH is \"" + std::string(bad) + "\""),
                  std::string::npos)
            << r.err;
        EXPECT_FALSE(fs::exists(dir / "setup.exe"));
    }
}
