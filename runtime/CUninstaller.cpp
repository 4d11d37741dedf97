#include "runtime/CUninstaller.h"

#include <windows.h>

#include <algorithm>

#include "core/package/CPackageException.h"
#include "core/package/PackageDecoding.h"
#include "core/package/ProductIdentity.h"
#include "core/package/RegistryKeyRule.h"
#include "core/install/InstallPaths.h"
#include "core/install/WideText.h"
#include "core/stream/JoinText.h"
#include "core/wizard/RuntimeTexts.h"
#include "runtime/CInstallError.h"
#include "runtime/CPathMacros.h"
#include "runtime/CRunLog.h"
#include "runtime/CWinPackageInput.h"
#include "runtime/EarlierValue.h"
#include "runtime/RuntimePaths.h"
#include "runtime/SharedRegistrations.h"
#include "runtime/SelfRemoval.h"
#include "runtime/WinRegistry.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

using install::IsInside;
using install::MatchesExtra;

namespace {

const char* const kInvalidInfoText = kTextInvalidUninstallInfo[0];
// The data block is a few texts and names; anything larger is not ours.
constexpr uint64_t kMaxDataBlock = 16u << 20;

// A server named by a log read from disk is loaded (to unregister it) only from where the
// uninstaller itself lies or from the Windows and System folders: places no less trusted than
// the uninstaller. (A failed run undoes its own record, held in memory.)
// A link on the way is refused, since it could lead anywhere.
bool ServerFolderTrusted(const std::wstring& server)
{
    std::wstring path = FullPath(server);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    for (const std::wstring& folder :
         {ParentDir(OwnProgramPath()), CPathMacros::SystemDir(), CPathMacros::WindowsDir()}) {
        std::wstring prefix = FullPath(folder);
        if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
        if (path.size() > prefix.size() &&
            CompareStringOrdinal(path.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                 static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

// The installed-programs list's "Velkan-" and 16 hex digits, as the setup program names the entry.
bool IsProgramsEntryOfOurs(const std::wstring& key)
{
    const std::wstring prefix =
        std::wstring(package::kProgramsListKey) + L"\\" + package::kProgramsEntryPrefix;
    if (key.size() != prefix.size() + 16 ||
        CompareStringOrdinal(key.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                             static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL) {
        return false;
    }
    return key.find_first_not_of(L"0123456789abcdefABCDEF", prefix.size()) == std::wstring::npos;
}

}  // namespace

CUninstaller::CUninstaller(const CCommandLine& commandLine, CRunLog& log)
    : m_commandLine(commandLine), m_log(log)
{
}

int CUninstaller::Run()
{
    try {
        Load();
        // The product's lock, as its setup runs take it (the first product the log names).
        const std::wstring* product = m_record.ProductId();
        if (product && !m_lock.Acquire(*product, m_log)) {
            m_strError = kTextAlreadyRunning[0];
            m_log.Line({"error: ", m_strError});
            return kExitAlreadyRunning;
        }
        UndoChanges(m_record, false);
        RemoveExtraFiles();
        RemoveRegistryKeys();
        RemoveSelf();
    } catch (const CPackageException& e) {
        std::string text =
            m_data.texts.size() > 8 ? ToUtf8(FromPackage(m_data.texts[8])) : std::string();
        m_strError = (text.empty() ? kInvalidInfoText : text) + std::string("\n") + e.what();
    } catch (const std::exception& e) {
        m_strError = e.what();
    }
    if (!m_strError.empty()) {
        m_log.Line({"error: ", m_strError});
        return kExitFailed;
    }
    if (m_nProblems) {
        m_log.Line({"not everything could be removed: ", m_nProblems, " items left (named above)"});
        return kExitIncomplete;
    }
    if (m_nRestart) {
        m_log.Line(
            {"uninstalled; a restart removes ", m_nRestart, " files still in use (named above)"});
        return kExitRestart;
    }
    m_log.Line("uninstalled");
    return kExitUninstalled;
}

void CUninstaller::Load()
{
    m_strSelf = OwnProgramPath();
    m_strBase = UninstallDataBase(m_strSelf);
    std::wstring logPath = m_strBase + L".log";
    if (!LoadInstallLog(logPath, m_record))
        throw CPackageException({"cannot read the install log ", ToUtf8(logPath)});
    CWinPackageInput data(m_strBase + L".dat");
    if (data.GetLength() > kMaxDataBlock)
        throw CPackageException({data.GetName(), ": not an uninstall data block"});
    std::vector<uint8_t> bytes(static_cast<size_t>(data.GetLength()));
    data.ReadAt(0, bytes.data(), bytes.size());
    m_data = DecodeUninstallerData(bytes.data(), bytes.size());
    if (!m_record.PlaceDir()) {
        throw CPackageException(
            {"the install log ", ToUtf8(logPath), " does not name the installation directory"});
    }
    m_strInstallDir = *m_record.PlaceDir();
    m_log.Line({"uninstalling from ", ToUtf8(m_strInstallDir)});
}

void CUninstaller::RemoveFile(const std::wstring& path)
{
    if (m_watcher) m_watcher->Removing(path);
    std::wstring longPath = LongPath(path);
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(longPath.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
        GetLastError() == ERROR_PATH_NOT_FOUND) {
        m_log.Line({"removed ", ToUtf8(path)});
        return;
    }
    // In use: removed at the next restart.
    if (MoveFileExW(longPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        ++m_nRestart;
        m_log.Line({"left until the next restart, in use: ", ToUtf8(path)});
        if (m_watcher) m_watcher->Left(path, true);
    } else {
        ++m_nProblems;
        m_log.Line({"left: cannot remove, denied access: ", ToUtf8(path)});
        if (m_watcher) m_watcher->Left(path, false);
    }
}

void CUninstaller::RemoveSharedFile(const std::wstring& path)
{
    if (LowerUsageCount(path)) {
        m_log.Line({"still used by other programs: ", ToUtf8(path)});
        return;
    }
    // The count reaches 0: unattended, the file goes without asking; a person is asked.
    DeleteValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path);
    if (m_watcher && !m_watcher->RemoveUnusedSharedFile(path)) {
        m_log.Line({"kept, as asked: ", ToUtf8(path)});
        return;
    }
    RemoveFile(path);
}

void CUninstaller::UndoChanges(const CInstallLog& record, bool rollback)
{
    m_bRollback = rollback;
    if (&record != &m_record) m_record = record;  // CountedByOthers reads it
    const auto& records = m_record.Records();
    for (auto it = records.rbegin(); it != records.rend(); ++it) Undo(*it);
}

bool CUninstaller::CountedByOthers(const std::wstring& path) const
{
    // Only a file this installation counted as shared can have other users. Asked before our own
    // count is taken away, so a count above one means someone else's.
    return m_record.CountedFile(path) && UsedByOthers(path);
}

void CUninstaller::Undo(const CLogRecord& record)
{
    switch (record.Kind()) {
    case LogKind::File:
    case LogKind::Link: RemoveFile(record.Path()); break;
    case LogKind::SharedFile: RemoveSharedFile(record.Path()); break;
    case LogKind::Font:
        if (record.Counted() && LowerUsageCount(record.Path())) {
            m_log.Line({"still used by other programs: ", ToUtf8(record.Path())});
            break;
        }
        if (record.Counted()) DeleteValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, record.Path());
        RemoveFontResourceW(record.Path().c_str());
        DeleteValue(HKEY_LOCAL_MACHINE, kFontsKey, record.FontValueName());
        RemoveFile(record.Path());
        break;
    case LogKind::Server:
        // A shared server that another program still counts on stays registered for it.
        if (CountedByOthers(record.Path())) {
            m_log.Line({"still used by other programs, left registered: ", ToUtf8(record.Path())});
        } else if (!m_bRollback && !ServerFolderTrusted(record.Path())) {
            ++m_nProblems;
            m_log.Line(
                {"left registered: not loaded from outside the uninstaller's folder and the "
                 "Windows folders: ",
                 ToUtf8(record.Path())});
        } else {
            CallServerRegistration(record.Path(), false);
        }
        break;
    case LogKind::IniEntry: UndoIniEntry(record); break;
    case LogKind::RegistryValue: UndoRegistryValue(record); break;
    case LogKind::RegistryKey:
        DeleteKeyIfEmpty(RegistryRootFromIndex(record.Root()), record.Key());
        break;
    case LogKind::ProgramsEntry:
        // A log can be tampered with: the only tree such a line removes is an installed-programs
        // entry of ours.
        if (!IsProgramsEntryOfOurs(record.Key())) {
            ++m_nProblems;
            m_log.Line({"left: not an installed-programs entry of ours: ", ToUtf8(record.Key())});
        } else {
            DeleteKeyTree(RegistryRootFromIndex(record.Root()), record.Key());
        }
        break;
    case LogKind::Folder:
        if (RemoveDirectoryW(LongPath(record.Path()).c_str()))
            m_log.Line({"removed ", ToUtf8(record.Path())});
        break;
    case LogKind::Place:
    case LogKind::Product: break;
    }
}

void CUninstaller::UndoIniEntry(const CLogRecord& record)
{
    const std::wstring& file = record.IniFile();
    const std::wstring& section = record.IniSection();
    const std::wstring& entry = record.IniEntryName();
    if (record.HadEarlier()) {
        // The entry had a value before: it comes back, unless the user has changed ours since.
        std::wstring now;
        if (m_bRollback || (ReadIniValue(file, section, entry, now) && now == record.Ours())) {
            RestoreIniValue(file, section, entry, record.Earlier());
            WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
        } else {
            m_log.Line({"INI entry changed since, left: [", ToUtf8(section), "] ", ToUtf8(entry)});
        }
        return;
    }
    WritePrivateProfileStringW(section.c_str(), entry.c_str(), nullptr, file.c_str());
    // A section left without entries goes too; so does a file we created that is now empty.
    wchar_t probe[4] = L"";
    if (GetPrivateProfileSectionW(section.c_str(), probe, 4, file.c_str()) == 0)
        WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // flush the cache
    wchar_t sections[4] = L"";
    if (record.IniNewFile() && GetPrivateProfileSectionNamesW(sections, 4, file.c_str()) == 0)
        RemoveFile(IniPath(file));
}

void CUninstaller::UndoRegistryValue(const CLogRecord& record)
{
    void* root = RegistryRootFromIndex(record.Root());
    if (!record.HadEarlier()) {
        DeleteValue(root, record.Key(), record.ValueName());
        return;
    }
    std::wstring now;
    if (m_bRollback ||
        (ReadStringValue(root, record.Key(), record.ValueName(), now) && now == record.Ours())) {
        if (!RestoreRegistryValue(root, record.Key(), record.ValueName(), record.Earlier())) {
            ++m_nProblems;
            m_log.Line({"left: cannot restore the registry value ", ToUtf8(record.Key()), "\\",
                        ToUtf8(record.ValueName())});
            if (m_watcher) m_watcher->Left(record.Key() + L"\\" + record.ValueName(), false);
        }
    } else {
        m_log.Line({"registry value changed since, left: ", ToUtf8(record.Key()), "\\",
                    ToUtf8(record.ValueName())});
    }
}

// Whether the product created the folder dir.
bool CUninstaller::OurFolder(const std::wstring& dir) const
{
    return m_record.Find(CLogRecord::Folder(dir)) != nullptr;
}

bool CUninstaller::IsOwnFile(const std::wstring& path) const
{
    for (const std::wstring& own : {m_strSelf, m_strBase + L".log", m_strBase + L".dat"}) {
        if (install::SameName(path, own)) return true;
    }
    return false;
}

// Removes the files of dir matching pattern ("*" every file, ".ext" the files of that
// extension), and the same in each folder in it that the product created; a folder it did not
// create is never entered. This program's own files stay until the end.
void CUninstaller::RemoveMatching(const std::wstring& dir, const std::wstring& pattern)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(LongPath(dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> files, folders;
    do {
        std::wstring entry = found.cFileName;
        if (entry == L"." || entry == L"..") continue;
        std::wstring path = dir + L"\\" + entry;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && OurFolder(path))
                folders.push_back(path);
        } else if (!IsOwnFile(path) && MatchesExtra(entry, pattern)) {
            files.push_back(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& file : files) RemoveFile(file);
    for (const std::wstring& folder : folders) RemoveMatching(folder, pattern);
}

// The additional files to remove are matched only inside folders the product created: in the
// installation directory when we created it, else in each folder we created inside it. A user's
// files in a folder that was there before the product stay whatever the pattern says, and so
// does every folder the product did not create, with all it holds.
void CUninstaller::RemoveExtraFiles()
{
    if (!m_data.hasFiles) return;
    std::vector<std::wstring> roots;  // the outermost folders of ours in the installation directory
    if (OurFolder(m_strInstallDir)) {
        roots.push_back(m_strInstallDir);
    } else {
        for (const CLogRecord& record : m_record.Records()) {
            if (record.Kind() != LogKind::Folder) continue;
            const std::wstring& dir = record.Path();
            if (dir.size() > m_strInstallDir.size() && IsInside(dir, m_strInstallDir) &&
                !OurFolder(ParentDir(dir))) {
                roots.push_back(dir);
            }
        }
        m_log.Line(
            "the installation directory existed before: additional files only in folders created "
            "in it");
    }
    for (const std::string& item : m_data.files) {
        std::wstring name = FromPackage(item);
        if (name == L"*" || (name.size() > 1 && name[0] == L'.' && IsSafeComponent(L"x" + name))) {
            for (const std::wstring& root : roots) RemoveMatching(root, name);
            continue;
        }
        // A name relative to the installation directory; one that would leave it, or lies in a
        // folder that is not ours, is refused. A folder is never removed here: its files are
        // matched as "*" would, and it goes at the end when ours and empty.
        try {
            std::wstring path = JoinInside(m_strInstallDir, name);
            if (!OurFolder(ParentDir(path))) {
                m_log.Line({"additional file refused, not in a folder of ours: ", ToUtf8(path)});
                continue;
            }
            DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || IsOwnFile(path)) continue;
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && OurFolder(path))
                    RemoveMatching(path, L"*");
            } else {
                RemoveFile(path);
            }
        } catch (const CPackageException& e) {
            m_log.Line(std::string("refused: ") + e.what());
        }
    }
}

void CUninstaller::RemoveRegistryKeys()
{
    for (const RegistryKeyToRemove& key : m_data.keys) {
        void* root = RegistryRootFromHandleValue(key.root);
        std::wstring path = FromPackage(key.path);
        std::string refusal = RegistryKeyRefusal(key);
        if (!root || !refusal.empty()) {
            m_log.Line({"registry key refused: ", ToUtf8(path), ": ", refusal});
            continue;
        }
        DeleteKeyTree(root, path);
        m_log.Line({"registry key removed: ", ToUtf8(path)});
    }
}

void CUninstaller::RemoveProgramFiles(const std::wstring& uninstaller, const CInstallLog& record)
{
    std::wstring base = UninstallDataBase(uninstaller);
    RemoveFile(base + L".dat");
    RemoveFile(base + L".log");
    RemoveFile(uninstaller);
    RemoveFolders(record);
}

// The folders a log says were created, deepest first, when empty; one that cannot go although
// empty is named as left.
void CUninstaller::RemoveFolders(const CInstallLog& record)
{
    const auto& records = record.Records();
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->Kind() != LogKind::Folder) continue;
        std::wstring path = LongPath(it->Path());
        if (RemoveDirectoryW(path.c_str())) {
            m_log.Line({"removed ", ToUtf8(it->Path())});
            continue;
        }
        // A folder holding what is not ours stays, as it should; an empty one is ours and left.
        if (IsEmptyFolder(path)) {
            ++m_nProblems;
            m_log.Line({"left: cannot remove the folder ", ToUtf8(it->Path())});
        }
    }
}

void CUninstaller::RemoveSelf()
{
    RemoveFile(m_strBase + L".dat");
    RemoveFile(m_strBase + L".log");
    std::wstring self = LongPath(m_strSelf);
    SetFileAttributesW(self.c_str(), FILE_ATTRIBUTE_NORMAL);
    bool deleted = DeleteFileW(self.c_str()) != 0;
    if (!deleted) MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    // Directories we created, now that our own files are gone (deepest first).
    RemoveFolders(m_record);
    const auto& records = m_record.Records();
    if (!deleted) {
        // A running program cannot remove its own file on Windows: a copy of it removes the file
        // (and the folders, when empty) once this process has ended. No path goes through a
        // command line.
        std::vector<std::wstring> folders;
        for (auto it = records.rbegin(); it != records.rend(); ++it) {
            if (it->Kind() == LogKind::Folder) folders.push_back(LongPath(it->Path()));
        }
        RemoveAfterExit(self, folders);
    }
}

}  // namespace velkan::runtime
