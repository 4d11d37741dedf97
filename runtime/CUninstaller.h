// The uninstaller's unattended run: reads the install log and the data block beside itself,
// undoes every recorded change in reverse order (links, files, shared-DLL counts, fonts, OCX
// registrations, INI entries, registry values and the keys it created, the installed-programs
// entry, directories it created when they are empty), removes the additional files and registry
// keys the data block names, and finally its own files.
#pragma once

#include <string>

#include "core/package/PackageRecords.h"
#include "runtime/CCommandLine.h"
#include "runtime/CInstallRecord.h"
#include "runtime/wizard/IUninstallWatcher.h"

namespace velkan::runtime {

class CRunLog;

class CUninstaller {
public:
    CUninstaller(const CCommandLine& commandLine, CRunLog& log);

    // Uninstalls; returns 0 on success, 1 on failure. Never throws.
    int Run();
    const std::string& ErrorMessage() const { return m_strError; }
    // For the uninstaller's windows: a run that shows its files and asks about shared ones.
    void SetWatcher(IUninstallWatcher* watcher) { m_watcher = watcher; }
    // Undoes the changes of a log, last first (also the setup program's way back from a failed run).
    void UndoChanges(const CInstallRecord& record);

private:
    void Load();
    void Undo(const CInstallRecord::Item& item);
    void RemoveSharedFile(const std::wstring& path);
    bool UsedByOthers(const std::wstring& path) const;
    void RemoveExtraFiles();
    void RemoveRegistryKeys();
    void RemoveSelf();
    void RemoveFile(const std::wstring& path);

    const CCommandLine& m_commandLine;
    CRunLog& m_log;
    std::wstring m_strSelf;
    std::wstring m_strBase;
    std::wstring m_strInstallDir;
    CInstallRecord m_record;
    UninstallerDataRecord m_data;
    std::string m_strError;
    int m_nProblems = 0;
    IUninstallWatcher* m_watcher = nullptr;
};

}  // namespace velkan::runtime
