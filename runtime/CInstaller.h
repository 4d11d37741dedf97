// The setup program's unattended run: finds the package after its own image (through the size
// slot), validates every section, chooses the version and the installation directory, rebuilds
// and checks every file before anything on the machine changes (in memory up to a budget, the rest
// into a private staging folder), then puts the files in place (a new name is written directly,
// an existing file is replaced by a rename from a temporary name beside it) and makes the icons,
// shortcuts, INI entries, registry values, strings in files, the uninstaller with its data block
// and install log, and the entry in the installed-programs list.
//
// Strings written into files: an entry writes its text, then one 0 byte, at the numeric offset
// or at the first match of its byte pattern. Its first reserved value is the size of the field
// there: at most that many bytes are written (the text is cut, the 0 byte always ends it), 0
// meaning no limit. Bit 0 of its second reserved value fills the rest of the field with 0 bytes.
// A string that would pass the end of the file is not written, and the run fails.
//
// The install state (CInstallerState.cpp): each run's changes are merged into the install log of
// the product's place (see CInstallLog), values that existed are recorded with their earlier
// contents, one run at a time per product, per-machine or per-user places, and the replacement
// of another version when the versions are mutually exclusive.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/package/PackageRecords.h"
#include "core/wizard/RuntimeTexts.h"
#include "runtime/CCommandLine.h"
#include "runtime/CPathMacros.h"
#include "runtime/CProductLock.h"
#include "runtime/IInstallProgress.h"
#include "runtime/InstallLogFile.h"

namespace velkan {
class CPackageReader;
}

namespace velkan::runtime {

class CRunLog;

// Whether this user may install for every user of the machine (then the place is a choice).
bool HasAdministratorRights();

class CInstaller {
public:
    // Exit codes of the setup program.
    static constexpr int kExitInstalled = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitCancelled = 2;
    // Another setup run of the same product is under way.
    static constexpr int kExitAlreadyRunning = 4;
    static inline const char* const kAlreadyRunningText = kTextAlreadyRunning[0];
    static constexpr int kExitRestart = 3010;
    // The folder holds another product's uninstaller and log.
    static constexpr const char* kOtherProductText =
        "Another product is installed in this folder. Choose another folder, or uninstall that "
        "product first";

    CInstaller(const CCommandLine& commandLine, CRunLog& log);
    ~CInstaller();

    // Installs; returns the exit code. Never throws.
    int Run();
    // The reason of a failed run, for the message box (UTF-8).
    const std::string& ErrorMessage() const { return m_strError; }

    // Where the run reports its files and asks whether to stop (none by default); set before Run.
    void SetProgress(IInstallProgress* progress) { m_progress = progress; }
    // For the wizard: the package read, the version and directory this run would take, nothing
    // changed. Throws as Run would fail.
    std::pair<size_t, std::wstring> Choices();
    // Whether the run installs for every user (known after Choices or Run).
    bool AllUsers() const { return m_bAllUsers; }
    // For the wizard, which holds the product's lock on its own thread for its whole run: Run
    // then takes no lock of its own (a mutex belongs to one thread, and Run is on a worker).
    void SetProductLocked() { m_bLockHeld = true; }
    // The identity the product's lock is named after: the versions' names, titles, directories
    // and file paths.
    static std::wstring ProductId(const PackageContents& contents);
    // A reader of the setup program at self (and its continuation files), every section read.
    // Throws as Run would fail.
    static std::unique_ptr<CPackageReader> OpenReader(const std::wstring& self);

private:
    struct Planned {
        size_t entry = 0;
        std::wstring target;         // full destination path
        std::wstring staged;         // staged copy on disk
        std::vector<uint8_t> bytes;  // or the checked contents, held in memory
        bool inMemory = false;
        bool keep = false;  // install, but the uninstaller keeps it
        bool HasCopy() const { return inMemory || !staged.empty(); }
    };

    void OpenPackage();
    void ChooseVersion();
    void ChooseDirectory();
    void Stage();
    void PlanCopy(Planned& plan);
    void StageAll(const std::vector<size_t>& pending);
    void StageFile(CPackageReader& reader, Planned& plan) const;
    std::wstring TargetPath(const CFileEntry& entry) const;
    void Commit();
    void InstallFile(const Planned& plan);
    bool PlaceCopy(const Planned& plan, const std::wstring& path, bool mustBeNew);
    void MakeDirectories(const std::wstring& dir);
    void MakeLinks(const CFileEntry& entry, const std::wstring& target);
    void WriteIniEntries();
    void WriteRegistryEntries();
    void WriteFileStrings();
    void UpdateDirectoryRecords();
    void InstallUninstaller();
    // The install state (CInstallerState.cpp).
    bool LockProduct();
    void ChooseInstallScope();
    void KeepInstalledScope();
    std::wstring EntryKey(const std::wstring& uninstaller) const;
    void LoadPriorRecord(const std::wstring& uninstaller);
    bool CountedBefore(const std::wstring& path) const;
    bool OursBefore(const CLogRecord& record) const;
    void WriteRecordedValue(uint32_t rootIndex, const std::wstring& key, const std::wstring& name,
                            const std::wstring& value);
    void WriteRecordedIni(const std::wstring& file, const std::wstring& section,
                          const std::wstring& entry, const std::wstring& value);
    bool KeepLinkAside(const std::wstring& link);
    void WriteProgramsEntry(const std::wstring& uninstaller);
    CInstallLog MergedRecord();
    void DropEarlierVersion(CInstallLog& merged);
    void ReplaceOtherPlaces(CInstallLog& merged);
    struct OtherPlace {
        std::wstring entryKey;
        std::wstring uninstaller;
        CInstallLog log;
    };
    std::vector<OtherPlace> OtherPlaces(std::initializer_list<uint32_t> roots);
    void LoadOtherPlaces();
    std::wstring FirstEarlier(const CLogRecord& thing, const std::wstring& now,
                              const std::wstring& captured) const;
    bool KeepAside(const std::wstring& path);
    void RollBack();
    void DropBackups();
    std::string PageText(int page, int text) const;

    const CCommandLine& m_commandLine;
    CRunLog& m_log;
    std::wstring m_strSelf;
    std::wstring m_strSourceDir;
    std::unique_ptr<CPackageReader> m_reader;
    size_t m_nVersion = 0;
    std::wstring m_strInstallDir;
    CPathMacros m_macros;
    std::wstring m_strStageDir;
    std::vector<Planned> m_plans;
    uint64_t m_nMemoryStaged = 0;  // bytes of the plans held in memory
    // Files this run replaced, kept under a temporary name until it ends: (path, kept copy).
    std::vector<std::pair<std::wstring, std::wstring>> m_backups;
    std::vector<std::wstring> m_ownFiles;  // the uninstaller's files, once written
    // Files in use, replaced at the next restart: (path, the replacement waiting beside it).
    std::vector<std::pair<std::wstring, std::wstring>> m_pendingRenames;
    CInstallLog m_record;   // this run's changes
    CInstallLog m_prior;    // the log of earlier runs into the same place
    CInstallLog m_touched;  // things of earlier runs this run kept as they were
    CInstallLog m_merged;   // the log saved for the uninstaller
    // The values, INI entries and folders other places of the product made (with earlier values).
    CInstallLog m_otherPlaces;
    std::wstring m_strEntryKey;    // the installed-programs entry
    std::wstring m_strRecordPath;  // the install log beside the uninstaller
    bool m_bAllUsers = false;      // per-machine (else per-user) places
    CProductLock m_lock;
    bool m_bLockHeld = false;  // the caller holds the product's lock
    IInstallProgress* m_progress = nullptr;
    void CheckCancel() const;
    // The last directory made or found, whose ancestors exist too, and the staging subfolders
    // made (by number): fewer file system calls for files that share a folder.
    std::wstring m_strKnownDir;
    std::vector<uint8_t> m_stageFolders;
    bool m_bRestart = false;
    bool m_bComInitialised = false;
    std::string m_strError;
};

}  // namespace velkan::runtime
