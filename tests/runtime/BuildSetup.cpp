#include "BuildSetup.h"

#include <stdexcept>
#include <string>

#include "WineFixture.h"
#include "core/builder/CInstallBuild.h"
#include "tests/support/LocalDisks.h"
#include "tests/support/RecordingReport.h"
#include "tests/support/ScriptedHost.h"

namespace velkan::test {

void BuildSetup(const CDataArray& project, const std::filesystem::path& output)
{
    RecordingReport report;
    ScriptedHost host;  // answers Yes: the warnings are accepted
    LocalDisks disks;
    BuildResult result = BuildInstallProgram(project, report, host, disks, {output.string(), {}});
    if (result.status == BuildStatus::Built) return;
    std::string message = "no setup program was built at " + output.string() + ": " + result.error;
    for (const std::string& line : report.Texts()) message += "\n  " + line;
    for (const std::string& text : host.information) message += "\n  " + text;
    throw std::runtime_error(message);
}

#ifdef VELKANC_PATH
int VelkancBuild(const std::filesystem::path& project, const std::filesystem::path& output,
                 const std::string& options, const std::filesystem::path& log)
{
    return Shell(Quote(VELKANC_PATH) + " build " + Quote(project.string()) + " -o " +
                 Quote(output.string()) + " --yes " + options + " >" + Quote(log.string()) +
                 " 2>&1");
}
#endif

}  // namespace velkan::test
