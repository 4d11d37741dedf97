// How an install run reports its progress to whoever shows it (the wizard's progress page); the
// unattended run has none. Always called on the thread that called CInstaller::Run, so a window
// may be updated from it directly.
#pragma once

#include <cstddef>

namespace velkan::runtime {

class IInstallProgress {
public:
    enum class Phase {
        Checking,  // files rebuilt from the package and checked, before anything changes
        Placing,   // files put in place, then icons, INI entries, registry values, the uninstaller
    };
    virtual ~IInstallProgress() = default;
    // done of total files of the phase are through.
    virtual void Progress(Phase phase, size_t done, size_t total) = 0;
};

}  // namespace velkan::runtime
