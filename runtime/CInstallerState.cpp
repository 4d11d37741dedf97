// The setup program's install state: what it knows of earlier runs of the same product and how
// its own changes join them.
//
// Products and places. A product is told apart by its setup program's versions (their names,
// titles, installation directories as the author wrote them and file paths, see ProductId), so
// two projects that share a title are two products; one run at a
// time per product holds a named mutex on it. An installed product lives in a place, its
// uninstaller's path: the installed-programs entry is "Velkan-" followed by 16 hex digits of a
// hash of that path, so two products of one title in two places keep two entries and a later
// run into the same place (repair, upgrade, another version) finds and merges the same log and
// entry. The entry carries the product identity in "VelkanProduct".
//
// Mutually exclusive versions. Another version installed into the same place is replaced: after
// this run has put everything in place, whatever the earlier runs made that this run did not
// make again (files, icons, INI entries, registry values, shared counts) is taken away, so the
// upgrade leaves no file of the earlier version that the new one no longer has. A version of the
// same product installed in another place is uninstalled after a successful run, except for what
// this run made again. Without the flag, versions sit side by side: in one place their changes
// are merged, in different places they keep their own entries.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/stream/JoinText.h"
#include "runtime/CInstallError.h"
#include "runtime/CInstaller.h"
#include "runtime/CRunLog.h"
#include "runtime/CUninstaller.h"
#include "runtime/EarlierValue.h"
#include "runtime/RuntimePaths.h"
#include "runtime/WinRegistry.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

using namespace package;

namespace {

const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t* const kEntryPrefix = L"Velkan-";
const wchar_t* const kProductValue = L"VelkanProduct";

// FNV-1a, 64 bits, over the upper-case UTF-16 text: names compare without case on Windows.
uint64_t Hash(const std::wstring& text)
{
    std::wstring upper = text;
    if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    uint64_t h = 14695981039346656037ull;
    for (wchar_t c : upper) {
        h ^= static_cast<uint16_t>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::wstring Hex64(uint64_t value)
{
    const wchar_t* digits = L"0123456789ABCDEF";
    std::wstring out;
    for (int shift = 60; shift >= 0; shift -= 4) out += digits[(value >> shift) & 15];
    return out;
}

}  // namespace

bool HasAdministratorRights()
{
    // A write to the machine's own list is the right to install for every user.
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring CInstaller::ProductId(const PackageContents& contents)
{
    std::wstring identity;
    for (const VersionRecord& v : contents.versions) {
        identity += FromPackage(v.block.name) + L'\n' + FromPackage(v.block.title) + L'\n' +
                    FromPackage(v.block.installDir) + L'\n';
        for (const CFileEntry& e : v.files) identity += FromPackage(e.m_strPath) + L'\n';
    }
    return Hex64(Hash(identity));
}

// One run at a time per product: false when another run holds it.
bool CInstaller::LockProduct()
{
    return m_lock.Acquire(ProductId(m_reader->Contents()), m_log);
}

void CInstaller::ChooseInstallScope()
{
    bool admin = HasAdministratorRights();
    if (m_commandLine.m_bAllUsers && !admin) {
        throw CInstallError("installing for all users (/ALLUSERS) needs administrator rights");
    }
    // Left open, the install is for all users when it may be: what the wizard proposes too.
    m_bAllUsers = m_commandLine.m_bAllUsers || (!m_commandLine.m_bCurrentUser && admin);
    CPathMacros::SetAllUsers(m_bAllUsers);
    m_log.Line(m_bAllUsers ? "installing for all users" : "installing for the current user");
}

void CInstaller::LoadPriorRecord(const std::wstring& uninstaller)
{
    m_strEntryKey = std::wstring(kUninstallKey) + L"\\" + kEntryPrefix + Hex64(Hash(uninstaller));
    std::wstring log = UninstallDataBase(uninstaller) + L".log";
    m_strRecordPath = log;
    if (!m_prior.Load(log)) {
        m_prior.Clear();
        return;
    }
    const auto& items = m_prior.Items();
    bool samePlace = !items.empty() && items[0].kind == 'P' && items[0].fields.size() == 1 &&
                     CompareStringOrdinal(items[0].fields[0].c_str(), -1, m_strInstallDir.c_str(),
                                          -1, TRUE) == CSTR_EQUAL;
    if (!samePlace) {
        m_log.Line({"the install log ", ToUtf8(log), " is of another place: a new one is started"});
        m_prior.Clear();
        return;
    }
    m_log.Line({"earlier runs into this place: ", items.size(), " changes recorded"});
}

// Whether an earlier run of this product already counted the file as used.
bool CInstaller::CountedBefore(const std::wstring& path) const
{
    return OursBefore('S', {path}) ||
           std::any_of(m_prior.Items().begin(), m_prior.Items().end(),
                       [&](const CInstallRecord::Item& item) {
                           return item.kind == 'O' && item.fields.size() >= 3 &&
                                  item.fields[2] == L"S" &&
                                  CompareStringOrdinal(item.fields[0].c_str(), -1, path.c_str(), -1,
                                                       TRUE) == CSTR_EQUAL;
                       });
}

bool CInstaller::OursBefore(char kind, const std::vector<std::wstring>& identity) const
{
    return m_prior.Find({kind, identity}) != nullptr;
}

// Writes a string value, recording the keys it creates from the first missing one down, and
// the value's earlier contents.
void CInstaller::WriteRecordedValue(uint32_t rootIndex, const std::wstring& key,
                                    const std::wstring& name, const std::wstring& value)
{
    void* root = RegistryRootFromIndex(rootIndex);
    if (!root) throw CInstallError({"registry root ", rootIndex, " is not one of the four roots"});
    std::vector<std::wstring> created;
    for (size_t pos = 0; pos <= key.size();) {
        size_t end = key.find(L'\\', pos);
        if (end == std::wstring::npos) end = key.size();
        std::wstring prefix = key.substr(0, end);
        if (!prefix.empty() && !KeyExists(root, prefix)) created.push_back(prefix);
        pos = end + 1;
    }
    std::wstring earlier = CaptureRegistryValue(root, key, name);
    bool createdKey = false;
    long code = WriteStringValue(root, key, name, value, createdKey);
    if (code != 0) {
        throw CInstallError({"cannot write the registry value ", ToUtf8(key), "\\", ToUtf8(name),
                             ": ", SystemMessage(code)});
    }
    for (const std::wstring& k : created) m_record.Add('K', {DecimalW(rootIndex), k});
    m_record.Add('R', {DecimalW(rootIndex), key, name, earlier, value});
}

void CInstaller::WriteRecordedIni(const std::wstring& file, const std::wstring& section,
                                  const std::wstring& entry, const std::wstring& value)
{
    bool newFile = GetFileAttributesW(IniPath(file).c_str()) == INVALID_FILE_ATTRIBUTES;
    std::wstring earlier =
        newFile ? std::wstring(kNoEarlierValue) : CaptureIniValue(file, section, entry);
    if (!WritePrivateProfileStringW(section.c_str(), entry.c_str(), value.c_str(), file.c_str())) {
        DWORD error = GetLastError();
        throw CInstallError(
            {"cannot write to the following file:\n", ToUtf8(file), ": ", SystemMessage(error)});
    }
    m_record.Add('I', {file, section, entry, newFile ? L"1" : L"0", earlier, value});
    m_log.Line({"INI entry: [", ToUtf8(section), "] ", ToUtf8(entry), " in ", ToUtf8(file)});
}

// An icon or shortcut about to be made where one exists is kept aside, so that a failed run puts
// it back. True when the link is ours to record: it did not exist, or an earlier run made it.
bool CInstaller::KeepLinkAside(const std::wstring& link)
{
    if (GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    KeepAside(link);
    return OursBefore('L', {link});
}

// The entry in the installed-programs list, in the hive of the install's scope. A write we have
// no right to is an error: a per-machine install never ends up listed for one user alone.
void CInstaller::WriteProgramsEntry(const std::wstring& uninstaller)
{
    const VersionBlockRecord& block = m_reader->Contents().versions[m_nVersion].block;
    std::wstring title = FromPackage(block.title.empty() ? block.name : block.title);
    if (title.empty()) title = FileName(m_strInstallDir);
    uint32_t rootIndex = m_bAllUsers ? 2 : 1;
    void* root = RegistryRootFromIndex(rootIndex);
    const std::wstring& key = m_strEntryKey;
    bool existed = KeyExists(root, key);

    // The size of what this place holds now: every file of the merged record that is in it.
    uint64_t bytes = 0;
    auto addSize = [&](const CInstallRecord::Item& item) {
        if ((item.kind != 'F' && item.kind != 'S') || item.fields.empty()) return;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(item.fields[0].c_str(), GetFileExInfoStandard, &data)) {
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    };
    for (const auto& item : m_prior.Items()) addSize(item);
    for (const auto& item : m_record.Items()) addSize(item);
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[16];
    wsprintfW(date, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);

    std::wstring quoted = L"\"" + uninstaller + L"\"";
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"DisplayName", title},
        {L"DisplayVersion", FromPackage(block.name)},
        {L"InstallLocation", m_strInstallDir},
        {L"DisplayIcon", uninstaller + L",0"},
        {L"InstallDate", date},
        {L"UninstallString", quoted},
        {L"QuietUninstallString", quoted + L" /S"},
        {kProductValue, ProductId(m_reader->Contents())},
    };
    auto fail = [&](long code) {
        throw CInstallError({"cannot add ", ToUtf8(title), " to the list of installed programs (",
                             (m_bAllUsers ? "all users" : "current user"),
                             "): ", SystemMessage(code)});
    };
    for (const auto& [name, value] : values) {
        std::wstring earlier = existed ? CaptureRegistryValue(root, key, name) : std::wstring();
        bool created = false;
        if (long code = WriteStringValue(root, key, name, value, created)) fail(code);
        if (existed) m_record.Add('R', {DecimalW(rootIndex), key, name, earlier, value});
    }
    std::wstring earlierSize =
        existed ? CaptureRegistryValue(root, key, L"EstimatedSize") : std::wstring();
    if (long code = WriteDwordValue(root, key, L"EstimatedSize",
                                    static_cast<unsigned long>((bytes + 1023) / 1024))) {
        fail(code);
    }
    if (existed) {
        m_record.Add('R', {DecimalW(rootIndex), key, L"EstimatedSize", earlierSize, L""});
    } else {
        m_record.Add('U', {DecimalW(rootIndex), key});
    }
}

// The log the uninstaller will read: the earlier runs' lines with this run's merged in. With
// mutually exclusive versions, what the earlier runs made and this one did not make again is
// taken away now and leaves the log.
CInstallRecord CInstaller::MergedRecord()
{
    CInstallRecord merged = m_prior;
    bool exclusive = (m_reader->Contents().projectFlags.value_or(0) & kFlagExclusive) != 0;
    if (exclusive && !m_prior.Items().empty()) DropEarlierVersion(merged);
    // The entry's values of a later run matter only to its rollback: the uninstall removes the
    // whole entry.
    CInstallRecord later;
    for (const CInstallRecord::Item& item : m_record.Items()) {
        bool entryValue = item.kind == 'R' && item.fields.size() >= 2 &&
                          CompareStringOrdinal(item.fields[1].c_str(), -1, m_strEntryKey.c_str(),
                                               -1, TRUE) == CSTR_EQUAL;
        if (!entryValue) later.Add(item.kind, item.fields);
    }
    merged.Merge(later);
    return merged;
}

void CInstaller::DropEarlierVersion(CInstallRecord& merged)
{
    CInstallRecord gone, kept;
    for (const CInstallRecord::Item& item : m_prior.Items()) {
        bool again = m_record.Find(item) || m_touched.Find(item);
        bool droppable = std::string_view("FSOXLIRDK").find(item.kind) != std::string_view::npos;
        if (!again && droppable) {
            gone.Add(item.kind, item.fields);
        } else {
            kept.Add(item.kind, item.fields);
        }
    }
    if (gone.Items().empty()) return;
    m_log.Line({"taking away what the earlier version had and this one has not: ",
                gone.Items().size(), " changes"});
    CUninstaller undo(m_commandLine, m_log);
    undo.UndoChanges(gone, false);
    // A folder or key that is not empty yet (something of this run is in it) stays in the log.
    for (const CInstallRecord::Item& item : gone.Items()) {
        if (item.fields.size() < 1) continue;
        bool stays = false;
        if (item.kind == 'D')
            stays = GetFileAttributesW(item.fields[0].c_str()) != INVALID_FILE_ATTRIBUTES;
        if (item.kind == 'K' && item.fields.size() >= 2) {
            void* root =
                RegistryRootFromIndex(item.fields[0].size() == 1 ? item.fields[0][0] - L'0' : 99);
            stays = root && KeyExists(root, item.fields[1]);
        }
        if (stays) kept.Add(item.kind, item.fields);
    }
    merged = kept;
}

// With mutually exclusive versions, the same product installed in another place is uninstalled
// once this run has succeeded; what this run made again stays.
void CInstaller::ReplaceOtherPlaces(CInstallRecord& merged)
{
    // Without an uninstaller this run keeps no log: nothing would tell what it made again.
    if (m_strEntryKey.empty() || !(m_reader->Contents().projectFlags.value_or(0) & kFlagExclusive))
        return;
    std::wstring product = ProductId(m_reader->Contents());
    for (uint32_t rootIndex : {1u, 2u}) {
        void* root = RegistryRootFromIndex(rootIndex);
        HKEY list;
        if (RegOpenKeyExW(static_cast<HKEY>(root), kUninstallKey, 0, KEY_READ, &list) !=
            ERROR_SUCCESS)
            continue;
        std::vector<std::wstring> others;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            std::wstring key = std::wstring(kUninstallKey) + L"\\" + name;
            if (wcsncmp(name, kEntryPrefix, wcslen(kEntryPrefix)) != 0 ||
                CompareStringOrdinal(key.c_str(), -1, m_strEntryKey.c_str(), -1, TRUE) ==
                    CSTR_EQUAL) {
                continue;
            }
            std::wstring theirs;
            if (ReadStringValue(root, key, kProductValue, theirs) && theirs == product)
                others.push_back(key);
        }
        RegCloseKey(list);
        for (const std::wstring& key : others) {
            std::wstring command;
            ReadStringValue(root, key, L"UninstallString", command);
            if (command.size() >= 2 && command.front() == L'"')
                command = command.substr(1, command.find(L'"', 1) - 1);
            CInstallRecord theirs;
            if (command.empty() || !theirs.Load(UninstallDataBase(command) + L".log")) {
                m_log.Line({"another version's entry without its log is left: ", ToUtf8(key)});
                continue;
            }
            m_log.Line({"replacing the version installed by ", ToUtf8(command)});
            CInstallRecord rest;
            bool adopted = false;
            for (const CInstallRecord::Item& item : theirs.Items()) {
                bool counted = item.kind == 'S' || (item.kind == 'O' && item.fields.size() >= 3 &&
                                                    item.fields[2] == L"S");
                if (merged.Find(item)) {
                    // Made again by this run: it stays, but the other place's use of it ends.
                    unsigned long count = 0;
                    if (counted &&
                        ReadDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, item.fields[0], count) &&
                        count > 1) {
                        WriteDwordValue(HKEY_LOCAL_MACHINE, kSharedDllsKey, item.fields[0],
                                        count - 1);
                    }
                } else if (item.kind != 'D' && item.kind != 'P' && item.kind != 'U' &&
                           m_touched.Find(item)) {
                    // Found and kept, or made again under the same name (an icon): ours from now on.
                    merged.Add(item.kind, item.fields);
                    adopted = true;
                } else {
                    rest.Add(item.kind, item.fields);
                }
            }
            CUninstaller undo(m_commandLine, m_log);
            undo.UndoChanges(rest, false);
            undo.RemoveProgramFiles(command, rest);
            if (adopted && !merged.Save(m_strRecordPath)) {
                m_log.Line({"warning: cannot update the install log ", ToUtf8(m_strRecordPath)});
            }
        }
    }
}

}  // namespace velkan::runtime
