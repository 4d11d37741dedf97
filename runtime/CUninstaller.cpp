#include "runtime/CUninstaller.h"

#include <windows.h>

#include <algorithm>

#include "core/package/CPackageException.h"
#include "core/package/PackageDecoding.h"
#include "runtime/CInstallError.h"
#include "runtime/CRunLog.h"
#include "runtime/CWinPackageInput.h"
#include "runtime/RuntimePaths.h"
#include "runtime/WinRegistry.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

namespace {

const wchar_t* const kSharedDllsKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const wchar_t* const kFontsKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char* const kInvalidInfoText = "Invalid uninstall info. This program cannot uninstall the product.";
// The data block is a few texts and names; anything larger is not ours.
constexpr uint64_t kMaxDataBlock = 16u << 20;

uint32_t ParseRoot(const std::wstring& text)
{
    return text.size() == 1 && text[0] >= L'0' && text[0] <= L'3' ? static_cast<uint32_t>(text[0] - L'0') : 99;
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
        UndoChanges(m_record);
        RemoveExtraFiles();
        RemoveRegistryKeys();
        RemoveSelf();
    } catch (const CPackageException& e) {
        std::string text = m_data.texts.size() > 8 ? ToUtf8(FromPackage(m_data.texts[8])) : std::string();
        m_strError = (text.empty() ? kInvalidInfoText : text) + std::string("\n") + e.what();
    } catch (const std::exception& e) {
        m_strError = e.what();
    }
    if (!m_strError.empty()) {
        m_log.Line("error: " + m_strError);
        return 1;
    }
    m_log.Line(m_nProblems ? "uninstalled, with " + std::to_string(m_nProblems) + " items left" : "uninstalled");
    return 0;
}

void CUninstaller::Load()
{
    m_strSelf = OwnProgramPath();
    m_strBase = UninstallDataBase(m_strSelf);
    std::wstring logPath = m_strBase + L".log";
    if (!m_record.Load(logPath)) throw CPackageException("cannot read the install log " + ToUtf8(logPath));
    CWinPackageInput data(m_strBase + L".dat");
    if (data.GetLength() > kMaxDataBlock) throw CPackageException(data.GetName() + ": not an uninstall data block");
    std::vector<uint8_t> bytes(static_cast<size_t>(data.GetLength()));
    data.ReadAt(0, bytes.data(), bytes.size());
    m_data = DecodeUninstallerData(bytes.data(), bytes.size());
    if (m_record.Items().empty() || m_record.Items()[0].kind != 'P' || m_record.Items()[0].fields.size() != 1) {
        throw CPackageException("the install log " + ToUtf8(logPath) + " does not name the installation directory");
    }
    m_strInstallDir = m_record.Items()[0].fields[0];
    m_log.Line("uninstalling from " + ToUtf8(m_strInstallDir));
}

void CUninstaller::RemoveFile(const std::wstring& path)
{
    if (m_watcher) m_watcher->Removing(path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND) {
        m_log.Line("removed " + ToUtf8(path));
        return;
    }
    // In use: removed at the next restart.
    if (MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        m_log.Line("removed at the next restart: " + ToUtf8(path));
    } else {
        ++m_nProblems;
        m_log.Line("cannot remove, denied access: " + ToUtf8(path));
    }
}

void CUninstaller::RemoveSharedFile(const std::wstring& path)
{
    unsigned long count = 0;
    if (ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count) && count > 1) {
        WriteDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, count - 1);
        m_log.Line("still used by other programs: " + ToUtf8(path));
        return;
    }
    // The count reaches 0: unattended, the file goes without asking; a person is asked.
    DeleteValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, path);
    if (m_watcher && !m_watcher->RemoveUnusedSharedFile(path)) {
        m_log.Line("kept, as asked: " + ToUtf8(path));
        return;
    }
    RemoveFile(path);
}

void CUninstaller::UndoChanges(const CInstallRecord& record)
{
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
               CompareStringOrdinal(item.fields[0].c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL;
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
            m_log.Line("still used by other programs: " + ToUtf8(f[0]));
        } else if (f.size() >= 2) {
            if (f.size() >= 3 && f[2] == L"S") DeleteValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, f[0]);
            RemoveFontResourceW(f[0].c_str());
            DeleteValue(HKEY_LOCAL_MACHINE, kFontsKey, f[1]);
            RemoveFile(f[0]);
        }
        break;
    case 'X':
        // A shared server that another program still counts on stays registered for it.
        if (f.size() >= 1 && UsedByOthers(f[0])) {
            m_log.Line("still used by other programs, left registered: " + ToUtf8(f[0]));
        } else if (f.size() >= 1) {
            HMODULE module = LoadLibraryExW(f[0].c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
            auto unregister = module ? reinterpret_cast<HRESULT(WINAPI*)()>(
                                           reinterpret_cast<void*>(GetProcAddress(module, "DllUnregisterServer")))
                                     : nullptr;
            if (unregister) unregister();
            if (module) FreeLibrary(module);
        }
        break;
    case 'I':
        if (f.size() >= 3) {
            WritePrivateProfileStringW(f[1].c_str(), f[2].c_str(), nullptr, f[0].c_str());
            // A section left without entries goes too; so does a file we created that is now empty.
            wchar_t probe[4] = L"";
            if (GetPrivateProfileSectionW(f[1].c_str(), probe, 4, f[0].c_str()) == 0) {
                WritePrivateProfileStringW(f[1].c_str(), nullptr, nullptr, f[0].c_str());
            }
            WritePrivateProfileStringW(nullptr, nullptr, nullptr, f[0].c_str());  // flush the cache
            if (f.size() >= 4 && f[3] == L"1") {
                wchar_t sections[4] = L"";
                if (GetPrivateProfileSectionNamesW(sections, 4, f[0].c_str()) == 0) RemoveFile(IniPath(f[0]));
            }
        }
        break;
    case 'R':
        if (f.size() >= 3) {
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
        if (f.size() >= 1 && RemoveDirectoryW(f[0].c_str())) m_log.Line("removed " + ToUtf8(f[0]));
        break;
    default:
        break;
    }
}

void CUninstaller::RemoveExtraFiles()
{
    if (!m_data.hasFiles) return;
    for (const std::string& item : m_data.files) {
        std::wstring name = FromPackage(item);
        if (name == L"*") {
            // Everything left in the installation directory, this program's own files excepted.
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((m_strInstallDir + L"\\*").c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) continue;
            do {
                std::wstring entry = found.cFileName;
                if (entry == L"." || entry == L"..") continue;
                std::wstring path = m_strInstallDir + L"\\" + entry;
                if (CompareStringOrdinal(path.c_str(), -1, m_strSelf.c_str(), -1, TRUE) == CSTR_EQUAL ||
                    CompareStringOrdinal(path.c_str(), -1, (m_strBase + L".log").c_str(), -1, TRUE) == CSTR_EQUAL ||
                    CompareStringOrdinal(path.c_str(), -1, (m_strBase + L".dat").c_str(), -1, TRUE) == CSTR_EQUAL) {
                    continue;
                }
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveTree(path);
                } else {
                    RemoveFile(path);
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        } else if (name.size() > 1 && name[0] == L'.' && IsSafeComponent(L"x" + name)) {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((m_strInstallDir + L"\\*" + name).c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) continue;
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    RemoveFile(m_strInstallDir + L"\\" + found.cFileName);
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        } else {
            // A name relative to the installation directory; one that would leave it is refused.
            try {
                std::wstring path = JoinInside(m_strInstallDir, name);
                DWORD attributes = GetFileAttributesW(path.c_str());
                if (attributes == INVALID_FILE_ATTRIBUTES) continue;
                if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    RemoveFile(path);
                }
            } catch (const CPackageException& e) {
                m_log.Line(std::string("refused: ") + e.what());
            }
        }
    }
}

void CUninstaller::RemoveRegistryKeys()
{
    for (const RegistryKeyToRemove& key : m_data.keys) {
        void* root = RegistryRootFromHandleValue(key.root);
        std::wstring path = FromPackage(key.path);
        // A key without a known root, or a whole root, is never removed.
        if (!root || path.empty() || path.find_first_not_of(L"\\/") == std::wstring::npos) {
            m_log.Line("registry key refused: " + key.path);
            continue;
        }
        DeleteKeyTree(root, path);
        m_log.Line("registry key removed: " + ToUtf8(path));
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
        std::wstring command = L"cmd.exe /c ping -n 3 127.0.0.1 >nul & del /f /q \"" + m_strSelf + L"\"";
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (it->kind == 'D' && !it->fields.empty()) command += L" & rmdir \"" + it->fields[0] + L"\"";
        }
        wchar_t system[MAX_PATH] = L"";
        GetSystemDirectoryW(system, MAX_PATH);
        std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi = {};
        if (CreateProcessW(cmd.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, system,
                           &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
}

}  // namespace velkan::runtime
