// What an install run tells whoever shows it (the wizard's progress page), and how that one stops
// it; the unattended run has none. The files of the Checking phase are reported by the run's
// worker threads as well as by the thread that called CInstaller::Run, so an implementation must
// be safe to call from any thread (a window is updated through its own thread, not from here).
#pragma once

#include <cstdint>
#include <string>

namespace velkan::runtime {

class IInstallProgress {
public:
    enum class Phase {
        Checking,  // files rebuilt from the package and checked, before anything changes
        Placing,   // files put in place (then icons, INI entries, registry values, the uninstaller)
    };
    virtual ~IInstallProgress() = default;
    // A file of the version (its entry path, Windows-1252; bytes its size) is through the phase.
    virtual void FileDone(Phase phase, const std::string& entryPath, uint64_t bytes) = 0;
    // Whether the person asked to stop. May wait while the person is being asked; when it says
    // yes, the run stops and takes back what it changed, as a failed run does.
    virtual bool CancelRequested() = 0;
};

}  // namespace velkan::runtime
