// The build as the Build page starts it: the engine's build driver with the page as report sink
// and the window's hosts. Tests put a recording runner in its place.
#pragma once

#include "core/builder/BuildPreparation.h"
#include "core/builder/CInstallBuild.h"

namespace velkan {

class IBuildRunner {
public:
    virtual ~IBuildRunner() = default;
    // Builds project into settings.outputPath; the questions, messages and errors go through
    // host (and disks), so the result only tells how the build ended. inputs: what the build
    // prepares the project with (its folder, a scan of the source folders).
    virtual BuildResult Build(const CDataArray& project, const BuildInputs& inputs,
                              const BuildSettings& settings, CBuildReport& report, IBuildHost& host,
                              IDiskHost& disks) = 0;
};

}  // namespace velkan
