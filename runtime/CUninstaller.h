// The uninstaller's unattended run: reads the install log and the data block beside itself,
// undoes every recorded change in reverse order (links, files, shared-DLL counts, fonts, OCX
// registrations, INI entries, registry values and the keys it created, the installed-programs
// entry, directories it created when they are empty), removes the additional files and registry
// keys the data block names, and finally its own files.
//
// What it never removes: an INI entry or registry value that had a value before the product
// wrote it gets that value back, and only while it still holds what we wrote (a value the user
// changed since stays). Additional files are matched only inside folders the product created,
// so a user's files in a folder that existed before stay. A registry key to remove must lie two
// levels below its root and be none of the shared keys (RegistryKeyRule). What could not be
// removed is named in the log ("left"), and the exit code is kExitIncomplete (kExitRestart when only files
// in use are left for the next restart).
#pragma once

#include <string>

#include "core/package/PackageRecords.h"
#include "runtime/CCommandLine.h"
#include "runtime/InstallLogFile.h"
#include "runtime/CProductLock.h"
#include "runtime/wizard/IUninstallWatcher.h"

namespace velkan::runtime {

class CRunLog;

class CUninstaller {
public:
    CUninstaller(const CCommandLine& commandLine, CRunLog& log);

    static constexpr int kExitUninstalled = 0;
    static constexpr int kExitFailed = 1;
    // The person answered Cancel to the question before anything was removed.
    static constexpr int kExitDeclined = 2;
    // Uninstalled, but something of ours could not be removed (the log names it).
    static constexpr int kExitIncomplete = 3;
    // A setup run or another uninstall of the same product is under way.
    static constexpr int kExitAlreadyRunning = 4;
    // Uninstalled but for files in use, which the next restart removes (the log names them).
    static constexpr int kExitRestart = 3010;

    // Uninstalls; returns one of the exit codes. Never throws.
    int Run();
    const std::string& ErrorMessage() const { return m_strError; }
    // For the uninstaller's windows: a run that shows its files and asks about shared ones.
    void SetWatcher(IUninstallWatcher* watcher) { m_watcher = watcher; }
    // Undoes the changes of a log, last first (also the setup program's way back from a failed
    // run: rollback puts every earlier value back, whatever the value holds now).
    void UndoChanges(const CInstallLog& record, bool rollback);
    // Removes another place's uninstaller, its data block and log, and the folders its log says
    // were created (when empty).
    void RemoveProgramFiles(const std::wstring& uninstaller, const CInstallLog& record);

private:
    void Load();
    void Undo(const CLogRecord& record);
    void UndoIniEntry(const CLogRecord& record);
    void UndoRegistryValue(const CLogRecord& record);
    void RemoveSharedFile(const std::wstring& path);
    bool CountedByOthers(const std::wstring& path) const;
    void RemoveExtraFiles();
    bool OurFolder(const std::wstring& dir) const;
    bool IsOwnFile(const std::wstring& path) const;
    void RemoveMatching(const std::wstring& dir, const std::wstring& pattern);
    void RemoveFolders(const CInstallLog& record);
    void RemoveRegistryKeys();
    void RemoveSelf();
    void RemoveFile(const std::wstring& path);

    const CCommandLine& m_commandLine;
    CRunLog& m_log;
    std::wstring m_strSelf;
    std::wstring m_strBase;
    std::wstring m_strInstallDir;
    CInstallLog m_record;
    UninstallerDataRecord m_data;
    std::string m_strError;
    int m_nProblems = 0;
    IUninstallWatcher* m_watcher = nullptr;
    int m_nRestart = 0;
    CProductLock m_lock;
    bool m_bRollback = false;
};

}  // namespace velkan::runtime
