// The exit status of a build run without a window, the same for velkanc build and the editor's
// /B, so that a script can treat both alike.
#pragma once

#include "core/builder/CInstallBuild.h"

namespace velkan {

enum BuildExit : int {
    kBuildExitBuilt = 0,
    kBuildExitFailed = 1,    // failed, or nothing to install
    kBuildExitStopped = 3,   // cancelled (Ctrl-C, SIGTERM, SIGHUP, a refused disk)
    kBuildExitWarnings = 4,  // stopped at the warnings before anything was written
};

int BuildExitCode(BuildStatus status);

}  // namespace velkan
