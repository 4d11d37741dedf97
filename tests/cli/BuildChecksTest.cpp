// A project that would make an empty or unusable setup program stops the build before anything
// is written; a version of several that lists no file is a warning.
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/builder/BuildExitCode.h"

namespace fs = std::filesystem;

TEST(BuildChecks, EmptyOrUnusableProjectsFailAndAnEmptyVersionWarns)
{
    TempDir dir;
    WriteStandInRuntime(dir / "rt");
    fs::create_directories(dir / "app");
    WriteFileText(dir / "app" / "a.txt", "a");
    struct Case {
        const char* project;
        int exitCode;
        const char* message;  // on stderr for a failure, on stdout for a warning
    } cases[] = {
        {"{}", 1, "Nothing to install: no version lists a file"},
        {R"({"versions": []})", 1, "The project has no version to install."},
        {R"({"versions": [{"files": ["a.txt"]}]})", 1,
         "Version \"Default\" lists files but names no source folder"},
        {R"({"versions": [{"source": "missing/"}]})", 1, "missing"},
        {R"({"versions": [{"source": "app/"}, {"name": "Empty"}]})", velkan::kBuildExitWarnings,
         "version \"Empty\" lists no file."},
        {R"({"versions": [{"source": "app/"}]})", 0, "new file a.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.project);
        WriteFileText(dir / "p.json", c.project);
        fs::remove(dir / "setup.exe");
        CliResult r =
            RunVelkanc({"build", (dir / "p.json").string(), "-o", (dir / "setup.exe").string(),
                        "--runtime", (dir / "rt").string()});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out << r.err;
        EXPECT_NE((c.exitCode == 0 ? r.out : r.err).find(c.message), std::string::npos)
            << r.out << r.err;
        EXPECT_EQ(fs::exists(dir / "setup.exe"), c.exitCode == 0);
    }
}
