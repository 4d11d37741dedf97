#include "gui/CEngineBuildRunner.h"

namespace velkan {

BuildResult CEngineBuildRunner::Build(const CDataArray& project, const BuildInputs& inputs,
                                      const BuildSettings& settings, CBuildReport& report,
                                      IBuildHost& host, IDiskHost& disks)
{
    return BuildFromProject(project, inputs, report, host, disks, settings);
}

}  // namespace velkan
