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
#include "core/package/ProductIdentity.h"
#include "core/install/WideText.h"
#include "core/stream/JoinText.h"
#include "runtime/CInstallError.h"
#include "runtime/CInstaller.h"
#include "runtime/CRunLog.h"
#include "runtime/CUninstaller.h"
#include "runtime/EarlierValue.h"
#include "runtime/RuntimePaths.h"
#include "runtime/SharedRegistrations.h"
#include "runtime/WinRegistry.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

using namespace package;

namespace {

const char* const kInstalledForAllUsersText =
    "This product is installed for all users in this folder: repairing or changing it needs "
    "administrator rights and /ALLUSERS (or no choice of place)";
const char* const kInstalledForOneUserText =
    "This product is installed for the current user in this folder: run without /ALLUSERS, or "
    "uninstall it first";

}  // namespace

bool HasAdministratorRights()
{
    // A write to the machine's own list is the right to install for every user.
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramsListKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring CInstaller::ProductId(const PackageContents& contents)
{
    return package::ProductId(contents);
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

std::wstring CInstaller::EntryKey(const std::wstring& uninstaller) const
{
    return std::wstring(kProgramsListKey) + L"\\" + kProgramsEntryPrefix +
           package::NameHash(uninstaller);
}

// A product installed in this place keeps its scope: a later run without /ALLUSERS or
// /CURRENTUSER takes it, and one that asks for the other is refused, so one place never has two
// entries (one per user, one for the machine).
void CInstaller::KeepInstalledScope()
{
    const VersionRecord& version = m_reader->Contents().versions[m_nVersion];
    if (version.files.empty() || !(version.files[0].m_nFlags & kEntryUninstaller)) return;
    std::wstring key = EntryKey(TargetPath(version.files[0]));
    bool perUser = KeyExists(HKEY_CURRENT_USER, key);
    bool perMachine = KeyExists(HKEY_LOCAL_MACHINE, key);
    if (perUser == perMachine) return;  // a new place (or, both, a state we did not make)
    bool explicitChoice = m_commandLine.m_bAllUsers || m_commandLine.m_bCurrentUser;
    if (explicitChoice && m_bAllUsers != perMachine) {
        throw CInstallError(perMachine ? kInstalledForAllUsersText : kInstalledForOneUserText);
    }
    if (perMachine && !HasAdministratorRights()) throw CInstallError(kInstalledForAllUsersText);
    if (m_bAllUsers != perMachine) {
        m_bAllUsers = perMachine;
        CPathMacros::SetAllUsers(m_bAllUsers);
        m_log.Line(m_bAllUsers ? "installed for all users here: kept"
                               : "installed for the current user here: kept");
    }
}

void CInstaller::LoadPriorRecord(const std::wstring& uninstaller)
{
    m_strEntryKey = EntryKey(uninstaller);
    std::wstring log = UninstallDataBase(uninstaller) + L".log";
    m_strRecordPath = log;
    if (!LoadInstallLog(log, m_prior)) return;
    const std::wstring* place = m_prior.PlaceDir();
    if (!place || !install::SameName(*place, m_strInstallDir)) {
        m_log.Line({"the install log ", ToUtf8(log), " is of another place: a new one is started"});
        m_prior.Clear();
        return;
    }
    // Another product's uninstaller in this place: its files and entry are never ours to take.
    const std::wstring* product = m_prior.ProductId();
    if (product && *product != ProductId(m_reader->Contents())) {
        m_prior.Clear();
        throw CInstallError({kOtherProductText, ": ", ToUtf8(m_strInstallDir)});
    }
    m_log.Line({"earlier runs into this place: ", m_prior.Records().size(), " changes recorded"});
}

// The values and folders other places of the product wrote, in the list of this run's scope (an all-users
// run reads the machine's entries, a per-user run the user's).
void CInstaller::LoadOtherPlaces()
{
    m_otherPlaces.Clear();
    for (const OtherPlace& other : OtherPlaces({m_bAllUsers ? 2u : 1u})) {
        for (const CLogRecord& record : other.log.Records()) {
            bool shared = record.Kind() == LogKind::IniEntry ||
                          record.Kind() == LogKind::RegistryValue ||
                          record.Kind() == LogKind::Folder;
            if (shared && !m_otherPlaces.Find(record)) m_otherPlaces.Add(record);
        }
    }
}

// Whether an earlier run of this product already counted the file as used.
bool CInstaller::CountedBefore(const std::wstring& path) const
{
    return m_prior.CountedFile(path);
}

bool CInstaller::OursBefore(const CLogRecord& record) const
{
    return m_prior.Find(record) != nullptr;
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
    std::wstring now;
    ReadStringValue(root, key, name, now);
    std::wstring earlier = FirstEarlier(CLogRecord::RegistryValue(rootIndex, key, name), now,
                                        CaptureRegistryValue(root, key, name));
    bool createdKey = false;
    long code = WriteStringValue(root, key, name, value, createdKey);
    if (code != 0) {
        throw CInstallError({"cannot write the registry value ", ToUtf8(key), "\\", ToUtf8(name),
                             ": ", SystemMessage(code)});
    }
    for (const std::wstring& k : created) m_record.Add(CLogRecord::RegistryKey(rootIndex, k));
    m_record.Add(CLogRecord::RegistryValue(rootIndex, key, name, earlier, value));
}

void CInstaller::WriteRecordedIni(const std::wstring& file, const std::wstring& section,
                                  const std::wstring& entry, const std::wstring& value)
{
    bool newFile = GetFileAttributesW(LongPath(IniPath(file)).c_str()) == INVALID_FILE_ATTRIBUTES;
    std::wstring now;
    if (!newFile) ReadIniValue(file, section, entry, now);
    std::wstring earlier =
        newFile ? std::wstring(kNoEarlierValue) : CaptureIniValue(file, section, entry);
    earlier = FirstEarlier(CLogRecord::IniEntry(file, section, entry), now, earlier);
    std::wstring written;
    if (!WriteIniValue(file, section, entry, value, written)) {
        DWORD error = GetLastError();
        throw CInstallError(
            {"cannot write to the following file:\n", ToUtf8(file), ": ", SystemMessage(error)});
    }
    // What the uninstall compares with is what the entry really holds now.
    m_record.Add(CLogRecord::IniEntry(file, section, entry, newFile, earlier, written));
    m_log.Line({"INI entry: [", ToUtf8(section), "] ", ToUtf8(entry), " in ", ToUtf8(file)});
}

// An icon or shortcut about to be made where one exists is kept aside, so that a failed run puts
// it back. True when the link is ours to record: it did not exist, or an earlier run made it.
bool CInstaller::KeepLinkAside(const std::wstring& link)
{
    if (GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    KeepAside(link);
    return OursBefore(CLogRecord::Link(link));
}

// The entry in the installed-programs list, in the hive of the install's scope. A write we have
// no right to is an error: a per-machine install never ends up listed for one user alone.
void CInstaller::WriteProgramsEntry(const std::wstring& uninstaller)
{
    const VersionBlockRecord& block = m_reader->Contents().versions[m_nVersion].block;
    std::wstring title = FromPackage(DisplayName(block));
    if (title.empty()) title = FileName(m_strInstallDir);
    uint32_t rootIndex = m_bAllUsers ? 2 : 1;
    void* root = RegistryRootFromIndex(rootIndex);
    const std::wstring& key = m_strEntryKey;
    // The entry is named after this place's uninstaller: one found without a log of earlier runs
    // here is a stale one of this place, and this run's to remove again.
    bool existed = KeyExists(root, key) && !m_prior.Empty();

    // The size of what this place holds now: every file of the earlier runs and this one, each
    // counted once however many runs installed it.
    CInstallLog installed = m_prior;
    installed.Merge(m_record);
    uint64_t bytes = 0;
    for (const CLogRecord& record : installed.Records()) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (record.NamesFile() && record.Kind() != LogKind::Link &&
            GetFileAttributesExW(LongPath(record.Path()).c_str(), GetFileExInfoStandard, &data)) {
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    }
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
        {kProductValueName, ProductId(m_reader->Contents())},
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
        if (existed) m_record.Add(CLogRecord::RegistryValue(rootIndex, key, name, earlier, value));
    }
    std::wstring earlierSize =
        existed ? CaptureRegistryValue(root, key, L"EstimatedSize") : std::wstring();
    if (long code = WriteDwordValue(root, key, L"EstimatedSize",
                                    static_cast<unsigned long>((bytes + 1023) / 1024))) {
        fail(code);
    }
    if (existed) {
        m_record.Add(CLogRecord::RegistryValue(rootIndex, key, L"EstimatedSize", earlierSize));
    } else {
        m_record.Add(CLogRecord::ProgramsEntry(rootIndex, key));
    }
}

// The log the uninstaller will read: the earlier runs' lines with this run's merged in. With
// mutually exclusive versions, what the earlier runs made and this one did not make again is
// taken away now and leaves the log.
CInstallLog CInstaller::MergedRecord()
{
    CInstallLog merged = m_prior;
    bool exclusive = (m_reader->Contents().projectFlags.value_or(0) & kFlagExclusive) != 0;
    if (exclusive && !m_prior.Empty()) DropEarlierVersion(merged);
    // The entry's values of a later run matter only to its rollback: the uninstall removes the
    // whole entry.
    CInstallLog later;
    for (const CLogRecord& record : m_record.Records()) {
        bool entryValue = record.Kind() == LogKind::RegistryValue &&
                          install::SameName(record.Key(), m_strEntryKey);
        if (!entryValue) later.Add(record);
    }
    merged.Merge(later);
    return merged;
}

void CInstaller::DropEarlierVersion(CInstallLog& merged)
{
    CInstallLog gone;
    for (const CLogRecord& record : m_prior.Records()) {
        bool again = m_record.Find(record) || m_touched.Find(record);
        bool droppable = record.Kind() != LogKind::Place && record.Kind() != LogKind::Product &&
                         record.Kind() != LogKind::ProgramsEntry;
        if (!again && droppable) gone.Add(record);
    }
    if (gone.Empty()) return;
    m_log.Line({"taking away what the earlier version had and this one has not: ",
                gone.Records().size(), " changes"});
    CUninstaller undo(m_commandLine, m_log);
    undo.UndoChanges(gone, false);
    // What is gone leaves the log; a folder or key that is not empty yet (something of this run
    // is in it) keeps its record where it was, so the uninstall still undoes it after what is
    // inside it.
    CInstallLog kept;
    for (const CLogRecord& record : m_prior.Records()) {
        bool stays = !gone.Find(record);
        if (record.Kind() == LogKind::Folder)
            stays = stays ||
                    GetFileAttributesW(LongPath(record.Path()).c_str()) != INVALID_FILE_ATTRIBUTES;
        if (record.Kind() == LogKind::RegistryKey)
            stays = stays || KeyExists(RegistryRootFromIndex(record.Root()), record.Key());
        if (stays) kept.Add(record);
    }
    merged = kept;
}

// The other places of this product: its entries in the installed-programs lists of the given
// roots (1 the user's, 2 the machine's) but this place's, each with the log beside its uninstaller.
std::vector<CInstaller::OtherPlace> CInstaller::OtherPlaces(std::initializer_list<uint32_t> roots)
{
    std::vector<OtherPlace> places;
    if (m_strEntryKey.empty()) return places;
    std::wstring product = ProductId(m_reader->Contents());
    for (uint32_t rootIndex : roots) {
        void* root = RegistryRootFromIndex(rootIndex);
        HKEY list;
        if (RegOpenKeyExW(static_cast<HKEY>(root), kProgramsListKey, 0, KEY_READ, &list) !=
            ERROR_SUCCESS)
            continue;
        std::vector<std::wstring> keys;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            std::wstring key = std::wstring(kProgramsListKey) + L"\\" + name;
            if (wcsncmp(name, kProgramsEntryPrefix, wcslen(kProgramsEntryPrefix)) == 0 &&
                !install::SameName(key, m_strEntryKey))
                keys.push_back(key);
        }
        RegCloseKey(list);
        for (const std::wstring& key : keys) {
            std::wstring theirs, command;
            if (!ReadStringValue(root, key, kProductValueName, theirs) || theirs != product)
                continue;
            ReadStringValue(root, key, L"UninstallString", command);
            if (command.size() >= 2 && command.front() == L'"')
                command = command.substr(1, command.find(L'"', 1) - 1);
            OtherPlace place{key, command, {}};
            if (command.empty() ||
                !LoadInstallLog(UninstallDataBase(command) + L".log", place.log)) {
                m_log.Line({"another version's entry without its log is left: ", ToUtf8(key)});
                continue;
            }
            places.push_back(std::move(place));
        }
    }
    return places;
}

// What a value or INI entry held before the product's first run on this machine: when another
// place of the product wrote it and it still holds what that run wrote, the earlier value that
// place recorded; else what it holds now.
std::wstring CInstaller::FirstEarlier(const CLogRecord& thing, const std::wstring& now,
                                      const std::wstring& captured) const
{
    const CLogRecord* theirs = m_otherPlaces.Find(thing);
    return theirs && theirs->Ours() == now ? theirs->Earlier() : captured;
}

// With mutually exclusive versions, the same product installed in another place is uninstalled
// once this run has succeeded; what this run made again stays.
void CInstaller::ReplaceOtherPlaces(CInstallLog& merged)
{
    // Without an uninstaller this run keeps no log: nothing would tell what it made again.
    if (!(m_reader->Contents().projectFlags.value_or(0) & kFlagExclusive)) return;
    for (const OtherPlace& other : OtherPlaces({1u, 2u})) {
        m_log.Line({"replacing the version installed by ", ToUtf8(other.uninstaller)});
        CInstallLog rest;
        bool adopted = false;
        for (const CLogRecord& record : other.log.Records()) {
            LogKind kind = record.Kind();
            if (merged.Find(record)) {
                // Made again by this run: it stays, but the other place's use of it ends.
                if (record.Counted()) LowerUsageCount(record.Path());
            } else if (kind != LogKind::Folder && kind != LogKind::Place &&
                       kind != LogKind::ProgramsEntry && m_touched.Find(record)) {
                // Found and kept, or made again under the same name (an icon): ours from now on.
                merged.Add(record);
                adopted = true;
            } else {
                rest.Add(record);
            }
        }
        CUninstaller undo(m_commandLine, m_log);
        undo.UndoChanges(rest, false);
        undo.RemoveProgramFiles(other.uninstaller, rest);
        if (adopted && !SaveInstallLog(m_strRecordPath, merged)) {
            m_log.Line({"warning: cannot update the install log ", ToUtf8(m_strRecordPath)});
        }
    }
}

}  // namespace velkan::runtime
