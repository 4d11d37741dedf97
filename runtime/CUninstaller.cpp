#include "runtime/CUninstaller.h"

#include <windows.h>

#include <algorithm>

#include "core/package/CPackageException.h"
#include "core/package/PackageDecoding.h"
#include "core/package/RegistryKeyRule.h"
#include "core/stream/JoinText.h"
#include "core/wizard/RuntimeTexts.h"
#include "runtime/CInstallError.h"
#include "runtime/CRunLog.h"
#include "runtime/CWinPackageInput.h"
#include "runtime/EarlierValue.h"
#include "runtime/RuntimePaths.h"
#include "runtime/WinRegistry.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

namespace {

const wchar_t* const kFontsKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char* const kInvalidInfoText = kTextInvalidUninstallInfo[0];
// The data block is a few texts and names; anything larger is not ours.
constexpr uint64_t kMaxDataBlock = 16u << 20;

uint32_t ParseRoot(const std::wstring& text)
{
    return text.size() == 1 && text[0] >= L'0' && text[0] <= L'3'
               ? static_cast<uint32_t>(text[0] - L'0')
               : 99;
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
        auto product = std::find_if(m_record.Items().begin(), m_record.Items().end(),
                                    [](const CInstallRecord::Item& item) {
                                        return item.kind == 'N' && !item.fields.empty();
                                    });
        if (product != m_record.Items().end() && !m_lock.Acquire(product->fields[0], m_log)) {
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
    if (!m_record.Load(logPath))
        throw CPackageException({"cannot read the install log ", ToUtf8(logPath)});
    CWinPackageInput data(m_strBase + L".dat");
    if (data.GetLength() > kMaxDataBlock)
        throw CPackageException({data.GetName(), ": not an uninstall data block"});
    std::vector<uint8_t> bytes(static_cast<size_t>(data.GetLength()));
    data.ReadAt(0, bytes.data(), bytes.size());
    m_data = DecodeUninstallerData(bytes.data(), bytes.size());
    if (m_record.Items().empty() || m_record.Items()[0].kind != 'P' ||
        m_record.Items()[0].fields.size() != 1) {
        throw CPackageException(
            {"the install log ", ToUtf8(logPath), " does not name the installation directory"});
    }
    m_strInstallDir = m_record.Items()[0].fields[0];
    m_log.Line({"uninstalling from ", ToUtf8(m_strInstallDir)});
}

void CUninstaller::RemoveFile(const std::wstring& path)
{
    if (m_watcher) m_watcher->Removing(path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
        GetLastError() == ERROR_PATH_NOT_FOUND) {
        m_log.Line({"removed ", ToUtf8(path)});
        return;
    }
    // In use: removed at the next restart.
    if (MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
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
    unsigned long count = 0;
    if (ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count) && count > 1) {
        WriteDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count - 1);
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

void CUninstaller::UndoChanges(const CInstallRecord& record, bool rollback)
{
    m_bRollback = rollback;
    if (&record != &m_record) m_record = record;  // UsedByOthers reads it
    const auto& items = m_record.Items();
    for (auto it = items.rbegin(); it != items.rend(); ++it) Undo(*it);
}

bool CUninstaller::UsedByOthers(const std::wstring& path) const
{
    // Only a file this installation counted as shared can have other users. Asked before our own
    // count is taken away, so a count above one means someone else's.
    const auto& items = m_record.Items();
    bool counted = std::any_of(items.begin(), items.end(), [&](const CInstallRecord::Item& item) {
        bool countedFont = item.kind == 'O' && item.fields.size() >= 3 && item.fields[2] == L"S";
        return (item.kind == 'S' || countedFont) && !item.fields.empty() &&
               CompareStringOrdinal(item.fields[0].c_str(), -1, path.c_str(), -1, TRUE) ==
                   CSTR_EQUAL;
    });
    unsigned long count = 0;
    return counted && ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count) && count > 1;
}

void CUninstaller::Undo(const CInstallRecord::Item& item)
{
    const auto& f = item.fields;
    switch (item.kind) {
    case 'F':
    case 'L':
        if (f.size() >= 1) RemoveFile(f[0]);
        break;
    case 'S':
        if (f.size() >= 1) RemoveSharedFile(f[0]);
        break;
    case 'O':
        if (f.size() >= 3 && f[2] == L"S" && UsedByOthers(f[0])) {
            unsigned long count = 0;
            ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, f[0], count);
            WriteDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, f[0], count - 1);
            m_log.Line({"still used by other programs: ", ToUtf8(f[0])});
        } else if (f.size() >= 2) {
            if (f.size() >= 3 && f[2] == L"S")
                DeleteValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, f[0]);
            RemoveFontResourceW(f[0].c_str());
            DeleteValue(HKEY_LOCAL_MACHINE, kFontsKey, f[1]);
            RemoveFile(f[0]);
        }
        break;
    case 'X':
        // A shared server that another program still counts on stays registered for it.
        if (f.size() >= 1 && UsedByOthers(f[0])) {
            m_log.Line({"still used by other programs, left registered: ", ToUtf8(f[0])});
        } else if (f.size() >= 1) {
            HMODULE module = LoadLibraryExW(f[0].c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
            auto unregister = module ? reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(
                                           GetProcAddress(module, "DllUnregisterServer")))
                                     : nullptr;
            if (unregister) unregister();
            if (module) FreeLibrary(module);
        }
        break;
    case 'I':
        if (f.size() >= 6 && f[4] != kNoEarlierValue) {
            // The entry had a value before: it comes back, unless the user has changed ours since.
            std::wstring now;
            if (m_bRollback || (ReadIniValue(f[0], f[1], f[2], now) && now == f[5])) {
                RestoreIniValue(f[0], f[1], f[2], f[4]);
                WritePrivateProfileStringW(nullptr, nullptr, nullptr, f[0].c_str());
            } else {
                m_log.Line({"INI entry changed since, left: [", ToUtf8(f[1]), "] ", ToUtf8(f[2])});
            }
        } else if (f.size() >= 3) {
            WritePrivateProfileStringW(f[1].c_str(), f[2].c_str(), nullptr, f[0].c_str());
            // A section left without entries goes too; so does a file we created that is now empty.
            wchar_t probe[4] = L"";
            if (GetPrivateProfileSectionW(f[1].c_str(), probe, 4, f[0].c_str()) == 0) {
                WritePrivateProfileStringW(f[1].c_str(), nullptr, nullptr, f[0].c_str());
            }
            WritePrivateProfileStringW(nullptr, nullptr, nullptr, f[0].c_str());  // flush the cache
            if (f.size() >= 4 && f[3] == L"1") {
                wchar_t sections[4] = L"";
                if (GetPrivateProfileSectionNamesW(sections, 4, f[0].c_str()) == 0)
                    RemoveFile(IniPath(f[0]));
            }
        }
        break;
    case 'R':
        if (f.size() >= 5 && f[3] != kNoEarlierValue) {
            void* root = RegistryRootFromIndex(ParseRoot(f[0]));
            std::wstring now;
            if (!root) break;
            if (m_bRollback || (ReadStringValue(root, f[1], f[2], now) && now == f[4])) {
                if (!RestoreRegistryValue(root, f[1], f[2], f[3])) {
                    ++m_nProblems;
                    m_log.Line({"left: cannot restore the registry value ", ToUtf8(f[1]), "\\",
                                ToUtf8(f[2])});
                    if (m_watcher) m_watcher->Left(f[1] + L"\\" + f[2], false);
                }
            } else {
                m_log.Line(
                    {"registry value changed since, left: ", ToUtf8(f[1]), "\\", ToUtf8(f[2])});
            }
        } else if (f.size() >= 3) {
            if (void* root = RegistryRootFromIndex(ParseRoot(f[0]))) DeleteValue(root, f[1], f[2]);
        }
        break;
    case 'K':
        if (f.size() >= 2) {
            if (void* root = RegistryRootFromIndex(ParseRoot(f[0]))) DeleteKeyIfEmpty(root, f[1]);
        }
        break;
    case 'U':
        if (f.size() >= 2) {
            if (void* root = RegistryRootFromIndex(ParseRoot(f[0]))) DeleteKeyTree(root, f[1]);
        }
        break;
    case 'D':
        if (f.size() >= 1 && RemoveDirectoryW(f[0].c_str())) m_log.Line({"removed ", ToUtf8(f[0])});
        break;
    default: break;
    }
}

// Whether path lies in a folder the product created (or is one).
bool CUninstaller::InsideOurFolder(const std::wstring& path) const
{
    for (const CInstallRecord::Item& item : m_record.Items()) {
        if (item.kind != 'D' || item.fields.empty()) continue;
        const std::wstring& dir = item.fields[0];
        if (path.size() >= dir.size() &&
            CompareStringOrdinal(path.c_str(), static_cast<int>(dir.size()), dir.c_str(), -1,
                                 TRUE) == CSTR_EQUAL &&
            (path.size() == dir.size() || path[dir.size()] == L'\\')) {
            return true;
        }
    }
    return false;
}

// Removes the entries of dir matching pattern ("*" everything, ".ext" files of that extension);
// this program's own files stay until the end.
void CUninstaller::RemoveMatching(const std::wstring& dir, const std::wstring& pattern)
{
    WIN32_FIND_DATAW found;
    HANDLE search =
        FindFirstFileW((dir + L"\\*" + (pattern == L"*" ? L"" : pattern)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring entry = found.cFileName;
        if (entry == L"." || entry == L"..") continue;
        std::wstring path = dir + L"\\" + entry;
        if (CompareStringOrdinal(path.c_str(), -1, m_strSelf.c_str(), -1, TRUE) == CSTR_EQUAL ||
            CompareStringOrdinal(path.c_str(), -1, (m_strBase + L".log").c_str(), -1, TRUE) ==
                CSTR_EQUAL ||
            CompareStringOrdinal(path.c_str(), -1, (m_strBase + L".dat").c_str(), -1, TRUE) ==
                CSTR_EQUAL) {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (pattern == L"*" && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
        } else {
            RemoveFile(path);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The additional files to remove are matched only inside folders the product created: in the
// installation directory when we created it, else in each folder we created inside it. A user's
// files in a folder that was there before the product stay whatever the pattern says.
void CUninstaller::RemoveExtraFiles()
{
    if (!m_data.hasFiles) return;
    std::vector<std::wstring> roots;  // the outermost folders of ours in the installation directory
    if (InsideOurFolder(m_strInstallDir)) {
        roots.push_back(m_strInstallDir);
    } else {
        for (const CInstallRecord::Item& item : m_record.Items()) {
            if (item.kind != 'D' || item.fields.empty()) continue;
            const std::wstring& dir = item.fields[0];
            bool inside =
                dir.size() > m_strInstallDir.size() && dir[m_strInstallDir.size()] == L'\\' &&
                CompareStringOrdinal(dir.c_str(), static_cast<int>(m_strInstallDir.size()),
                                     m_strInstallDir.c_str(), -1, TRUE) == CSTR_EQUAL;
            if (inside && !InsideOurFolder(ParentDir(dir))) roots.push_back(dir);
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
        // folder that is not ours, is refused.
        try {
            std::wstring path = JoinInside(m_strInstallDir, name);
            if (!InsideOurFolder(ParentDir(path))) {
                m_log.Line({"additional file refused, not in a folder of ours: ", ToUtf8(path)});
                continue;
            }
            DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) continue;
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveTree(path);
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

void CUninstaller::RemoveProgramFiles(const std::wstring& uninstaller, const CInstallRecord& record)
{
    std::wstring base = UninstallDataBase(uninstaller);
    RemoveFile(base + L".dat");
    RemoveFile(base + L".log");
    RemoveFile(uninstaller);
    const auto& items = record.Items();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->kind == 'D' && !it->fields.empty()) RemoveDirectoryW(it->fields[0].c_str());
    }
}

void CUninstaller::RemoveSelf()
{
    RemoveFile(m_strBase + L".dat");
    RemoveFile(m_strBase + L".log");
    SetFileAttributesW(m_strSelf.c_str(), FILE_ATTRIBUTE_NORMAL);
    bool deleted = DeleteFileW(m_strSelf.c_str()) != 0;
    if (!deleted) MoveFileExW(m_strSelf.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    // Directories we created, now that our own files are gone (deepest first).
    const auto& items = m_record.Items();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->kind == 'D' && !it->fields.empty()) RemoveDirectoryW(it->fields[0].c_str());
    }
    if (!deleted) {
        // A running program cannot remove its own file on Windows: a command shell started now
        // removes it (and the directories) once this process has ended.
        std::wstring command =
            L"cmd.exe /c ping -n 3 127.0.0.1 >nul & del /f /q \"" + m_strSelf + L"\"";
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (it->kind == 'D' && !it->fields.empty())
                command += L" & rmdir \"" + it->fields[0] + L"\"";
        }
        wchar_t system[MAX_PATH] = L"";
        GetSystemDirectoryW(system, MAX_PATH);
        std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi = {};
        if (CreateProcessW(cmd.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                           nullptr, system, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
}

}  // namespace velkan::runtime
