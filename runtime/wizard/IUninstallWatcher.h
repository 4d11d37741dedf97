// What an uninstall run tells the window that watches it, and the one question it asks a person:
// whether to remove a shared file no other program counts on any more. Called from the run's
// worker thread.
#pragma once

#include <string>

namespace velkan::runtime {

class IUninstallWatcher {
public:
    virtual ~IUninstallWatcher() = default;
    // A file is being removed.
    virtual void Removing(const std::wstring& path) = 0;
    // The usage count of a shared file reached 0: true removes it, false keeps it.
    virtual bool RemoveUnusedSharedFile(const std::wstring& path) = 0;
    // An item of ours stays: a file in use until the next restart, or one that cannot be removed.
    virtual void Left(const std::wstring& item, bool untilRestart) = 0;
};

}  // namespace velkan::runtime
