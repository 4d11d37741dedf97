#include "gui/CEngineBuildRunner.h"

#include <vector>

#include "core/model/CDataArray.h"
#include "core/package/StubImage.h"
#include "core/res/RuntimeResources.h"

namespace velkan {

BuildResult CEngineBuildRunner::Build(const CDataArray& project, const BuildSettings& settings,
                                      CBuildReport& report, IBuildHost& host, IDiskHost& disks)
{
    // Refused before anything is written, as velkanc does.
    if (std::optional<int> missing = MissingRuntimeResource(project)) {
        BuildResult result;
        result.status = BuildStatus::Failed;
        result.error = RuntimeResourceMissingText(*missing);
        host.ShowError(result.error);
        return result;
    }
    return BuildInstallProgram(project, report, host, disks, settings);
}

}  // namespace velkan
