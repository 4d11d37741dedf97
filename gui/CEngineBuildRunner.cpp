#include "gui/CEngineBuildRunner.h"

namespace velkan {

BuildResult CEngineBuildRunner::Build(const CDataArray& project, const BuildSettings& settings,
                                      CBuildReport& report, IBuildHost& host, IDiskHost& disks)
{
    return BuildInstallProgram(project, report, host, disks, settings);
}

}  // namespace velkan
