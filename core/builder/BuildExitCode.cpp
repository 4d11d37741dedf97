#include "core/builder/BuildExitCode.h"

namespace velkan {

int BuildExitCode(BuildStatus status)
{
    switch (status) {
    case BuildStatus::Built: return kBuildExitBuilt;
    case BuildStatus::Declined: return kBuildExitWarnings;
    case BuildStatus::Cancelled: return kBuildExitStopped;
    case BuildStatus::NothingToInstall:
    case BuildStatus::Failed: break;
    }
    return kBuildExitFailed;
}

}  // namespace velkan
