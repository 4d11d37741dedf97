// What an install run tells the window that watches it, and how that window stops it. The run
// calls these from its worker threads; an implementation must be safe to call from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace velkan::runtime {

class IInstallProgress {
public:
    virtual ~IInstallProgress() = default;
    // A file of the version (its entry path, Windows-1252) was rebuilt and checked (placed
    // false), or put where it goes (placed true); bytes is its size.
    virtual void FileDone(const std::string& entryPath, uint64_t bytes, bool placed) = 0;
    // Whether the person asked to stop. May wait while the person is being asked; when it says
    // yes, the run stops and takes back what it changed, as a failed run does.
    virtual bool CancelRequested() = 0;
};

}  // namespace velkan::runtime
