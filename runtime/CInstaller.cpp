#include "runtime/CInstaller.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <exception>

#include "core/model/DirFlags.h"
#include "core/model/FileOption.h"
#include "core/package/CChecksumSink.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/package/ContinuationFileName.h"
#include "core/package/EntryPath.h"
#include "core/package/PackageFormat.h"
#include "core/package/VersionChoice.h"
#include "core/install/InstallPaths.h"
#include "core/platform/CodePage.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/JoinText.h"
#include "core/wizard/WizardPage.h"
#include "runtime/CInstallError.h"
#include "runtime/CRunLog.h"
#include "runtime/CUninstaller.h"
#include "runtime/CWinFileSink.h"
#include "runtime/CWinPackageInput.h"
#include "runtime/CWinScratchFile.h"
#include "runtime/EarlierValue.h"
#include "runtime/FileVersion.h"
#include "runtime/ProtectedFolders.h"
#include "runtime/RuntimePaths.h"
#include "runtime/RuntimeSlots.h"
#include "runtime/SharedRegistrations.h"
#include "runtime/ShellLink.h"
#include "runtime/WinRegistry.h"
#include "runtime/WinText.h"
#include "runtime/WorkerThreads.h"

namespace velkan::runtime {

using namespace package;

namespace {

// Staged files per staging subfolder.
constexpr size_t kStageFolderFiles = 64;
// Checked files are held in memory up to these sizes (each, all together); the others are staged
// on disk. Writing a file once where it goes costs far less than writing and then moving it.
constexpr uint64_t kMemoryStageFileLimit = 16ull << 20;
constexpr uint64_t kMemoryStageLimit = 256ull << 20;
// Below this many bytes to rebuild, a second reader and thread are not worth their start.
constexpr uint64_t kParallelStageBytes = 1u << 20;
constexpr size_t kMaxStageThreads = 4;

// Files that strings are written into are read whole; larger ones are refused.
constexpr uint64_t kMaxStringTargetSize = 256ull << 20;

// The wizard's own texts for a package too damaged to carry its texts.
const char* const kInvalidDataText = "This file contains invalid data.";

// The machine-wide settings of a file (usage counts, fonts) need the rights to write them: without
// them the run fails, rather than leave a file that no count or entry accounts for.
void MachineWrite(long code, const std::string& what)
{
    if (code != 0)
        throw CInstallError(
            {"cannot record ", what, ": ", SystemMessage(static_cast<unsigned long>(code))});
}

std::string Hex32(uint32_t value)
{
    char text[16];
    wsprintfA(text, "0x%08X", value);
    return text;
}

// A file read through the package input, as the reference of a delta.
class CInputReference : public IDeltaReference {
public:
    explicit CInputReference(std::unique_ptr<IPackageInput> input) : m_input(std::move(input)) {}
    uint64_t GetLength() const override { return m_input->GetLength(); }
    void ReadAt(uint64_t position, void* buffer, size_t size) override
    {
        m_input->ReadAt(position, buffer, size);
    }

private:
    std::unique_ptr<IPackageInput> m_input;
};

// A junction or symbolic link already inside the installation folder would carry the files
// written through it elsewhere: every existing folder on the way to the file, and the file
// itself, must be plain.
void RefuseReparsePoints(const std::wstring& base, const std::wstring& relative)
{
    std::wstring path = base;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos) end = relative.size();
        path += L"\\" + relative.substr(start, end - start);
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return;  // nothing there yet: created plain
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            throw CPackageException(
                {ToUtf8(path),
                 ": a junction or link inside the installation folder is not written through"});
        }
        start = end + 1;
    }
}

}  // namespace

CInstaller::CInstaller(const CCommandLine& commandLine, CRunLog& log)
    : m_commandLine(commandLine), m_log(log), m_macros(std::wstring(), std::wstring())
{
}

CInstaller::~CInstaller()
{
    m_plans.clear();
    if (!m_strStageDir.empty()) RemoveTree(m_strStageDir);
    if (m_bComInitialised) CoUninitialize();
}

std::string CInstaller::PageText(int page, int text) const
{
    if (!m_reader || m_nVersion >= m_reader->Contents().versions.size()) return {};
    const auto& pages = m_reader->Contents().versions[m_nVersion].block.pages;
    if (page < 0 || static_cast<size_t>(page) >= pages.size() || !pages[page]) return {};
    const auto& texts = *pages[page];
    return static_cast<size_t>(text) < texts.size() ? texts[text] : std::string();
}

std::pair<size_t, std::wstring> CInstaller::Choices()
{
    OpenPackage();
    ChooseVersion();
    ChooseInstallScope();
    ChooseDirectory();
    KeepInstalledScope();
    return {m_nVersion, m_strInstallDir};
}

void CInstaller::CheckCancel() const
{
    if (m_progress && m_progress->CancelRequested()) {
        std::string text = ToUtf8(FromPackage(PageText(PageMessages, 15)));
        throw CInstallError(text.empty() ? "cancelled" : text);
    }
}

int CInstaller::Run()
{
    bool changing = false;
    try {
        DWORD start = GetTickCount();
        OpenPackage();
        if (!m_bLockHeld && !LockProduct()) {
            m_strError = kAlreadyRunningText;
            m_log.Line({"error: ", m_strError});
            return kExitAlreadyRunning;
        }
        ChooseVersion();
        ChooseInstallScope();
        ChooseDirectory();
        KeepInstalledScope();
        Stage();
        DWORD staged = GetTickCount();
        m_log.Line({"every file rebuilt and checked in ", staged - start, " ms"});
        changing = true;
        Commit();
        m_log.Line({"put in place in ", GetTickCount() - staged, " ms"});
        changing = false;
        try {
            ReplaceOtherPlaces(m_merged);
        } catch (const std::exception& e) {
            // Installed all the same: the other version stays, listed, for its own uninstaller.
            m_log.Line(std::string("warning: the other version was not replaced: ") + e.what());
        }
    } catch (const CPackageException& e) {
        std::string text = ToUtf8(FromPackage(PageText(PageMessages, 31)));
        if (text.empty()) text = kInvalidDataText;
        m_strError = text + "\n" + e.what();
    } catch (const CFileException& e) {
        m_strError = e.what();
    } catch (const CInstallError& e) {
        m_strError = e.what();
    } catch (const std::bad_alloc&) {
        m_strError = "Out of memory!";
    } catch (const std::exception& e) {
        m_strError = e.what();
    }
    if (!m_strError.empty()) {
        m_log.Line({"error: ", m_strError});
        if (changing) RollBack();
        m_log.Line(changing ? "the changes made were undone" : "nothing was installed");
        return kExitFailed;
    }
    DropBackups();
    m_log.Line(m_bRestart ? "installed; a restart completes it" : "installed");
    return m_bRestart ? kExitRestart : kExitInstalled;
}

void CInstaller::OpenPackage()
{
    m_strSelf = OwnProgramPath();
    m_strSourceDir = ParentDir(m_strSelf);
    m_log.Line({"setup program: ", ToUtf8(m_strSelf)});
    uint32_t slot = OwnSizeSlot();
    if (slot == 0)
        throw CPackageException(
            {ToUtf8(m_strSelf), ": the size slot was never set: no package follows"});
    // Every section is read and unpacked here, before anything changes.
    m_reader = OpenReader(m_strSelf);
    // A delta against a file kept external is rebuilt from that file beside the setup program.
    m_reader->SetExternalOpener([dir = m_strSourceDir](const std::vector<std::string>& parts)
                                    -> std::unique_ptr<IDeltaReference> {
        std::wstring relative;
        for (const std::string& part : parts)
            relative += (relative.empty() ? L"" : L"\\") + FromPackage(part);
        try {
            return std::make_unique<CInputReference>(
                std::make_unique<CWinPackageInput>(JoinInside(dir, relative)));
        } catch (const std::exception&) {
            return nullptr;
        }
    });
    const PackageContents& c = m_reader->Contents();
    if (c.stubSize != slot) {
        throw CPackageException({ToUtf8(m_strSelf), ": the package starts at ", c.stubSize,
                                 " but this program's size slot says ", slot});
    }
    if (c.versions.empty())
        throw CPackageException({ToUtf8(m_strSelf), ": the package holds no version"});
    for (size_t v = 0; v < c.versions.size(); ++v) {
        if (!c.versions[v].hasFileTable) {
            throw CPackageException({ToUtf8(m_strSelf), ": version ", v + 1, " has no file table"});
        }
    }
    m_reader->LoadDataChunks();
    m_log.Line({"package: ", c.sections.size(), " sections, ", c.versions.size(),
                " versions, data stream ", c.dataLength, " bytes"});
}

std::unique_ptr<CPackageReader> CInstaller::OpenReader(const std::wstring& self)
{
    auto opener = [self](int n) {
        return CWinPackageInput::TryOpen(ContinuationFileName(self, n));
    };
    auto reader =
        std::make_unique<CPackageReader>(std::make_unique<CWinPackageInput>(self), opener);
    reader->SetScratchFileMaker([] { return std::make_unique<CWinScratchFile>(); });
    reader->Read();
    return reader;
}

void CInstaller::ChooseVersion()
{
    const auto& versions = m_reader->Contents().versions;
    m_nVersion = 0;
    if (!m_commandLine.m_strVersion.empty()) {
        const std::wstring& choice = m_commandLine.m_strVersion;
        std::vector<std::string> names, titles;
        for (const auto& v : versions) {
            names.push_back(v.block.name);
            titles.push_back(v.block.title);
        }
        std::optional<size_t> found = velkan::ChooseVersion(
            names, titles,
            Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(choice.data()),
                                              choice.size())));
        if (!found) {
            throw CInstallError({"no version ", ToUtf8(choice), " in this setup program (it has ",
                                 versions.size(), ")"});
        }
        m_nVersion = *found;
    }
    m_log.Line(
        {"version ", m_nVersion + 1, ": ", ToUtf8(FromPackage(versions[m_nVersion].block.name))});
}

void CInstaller::ChooseDirectory()
{
    const VersionBlockRecord& block = m_reader->Contents().versions[m_nVersion].block;
    m_macros = CPathMacros(std::wstring(), m_strSourceDir);
    std::wstring dir = m_commandLine.m_strDirectory;
    if (dir.empty() && !block.dirKey.empty()) {
        void* root = RegistryRootFromIndex(block.dirRootKey);
        std::wstring value;
        if (root &&
            ReadStringValue(root, m_macros.Expand(FromPackage(block.dirKey)),
                            m_macros.Expand(FromPackage(block.dirSubkey)), value) &&
            !value.empty()) {
            dir = value;
            m_log.Line({"directory from the registry: ", ToUtf8(dir)});
        }
    }
    if (dir.empty() && !block.dirIniFile.empty() && !block.dirIniSection.empty() &&
        !block.dirIniEntry.empty()) {
        wchar_t value[MAX_PATH * 2] = L"";
        GetPrivateProfileStringW(m_macros.Expand(FromPackage(block.dirIniSection)).c_str(),
                                 m_macros.Expand(FromPackage(block.dirIniEntry)).c_str(), L"",
                                 value, MAX_PATH * 2,
                                 m_macros.Expand(FromPackage(block.dirIniFile)).c_str());
        if (value[0]) {
            dir = value;
            m_log.Line({"directory from the INI file: ", ToUtf8(dir)});
        }
    }
    if (dir.empty()) dir = m_macros.Expand(FromPackage(block.installDir));
    if (dir.empty()) throw CInstallError("no installation directory: give one with /D=DIR");
    // The plain form (no \\?\ prefix, no "..", no trailing dots): the one checked below and the
    // one every later run and the uninstaller compare with.
    m_strInstallDir = install::PlainPath(FullPath(dir));
    if (m_strInstallDir.size() <= 3)
        throw CInstallError({"invalid installation directory: ", ToUtf8(dir)});
    // What an uninstall takes away from its directory must never be a drive or Windows's own.
    if (IsProtectedFolder(m_strInstallDir)) {
        throw CInstallError({kProtectedFolderText, ": ", ToUtf8(m_strInstallDir)});
    }
    m_macros.SetInstallDir(m_strInstallDir);
    m_log.Line({"installation directory: ", ToUtf8(m_strInstallDir)});
}

std::wstring CInstaller::TargetPath(const CFileEntry& entry) const
{
    std::string reason;
    std::vector<std::string> parts = SplitEntryPath(entry.m_strPath, reason);
    if (parts.empty()) {
        throw CPackageException({"the file path \"", entry.m_strPath, "\" is refused: ", reason});
    }
    std::wstring base;
    switch (entry.m_nOptions[OptDestination]) {
    case DestWindows: base = CPathMacros::WindowsDir(); break;
    case DestSystem: base = CPathMacros::SystemDir(); break;
    case DestFonts: base = CPathMacros::FontsDir(); break;
    default: base = m_strInstallDir; break;
    }
    // Windows, System and Fonts take the file by its name alone.
    if (entry.m_nOptions[OptDestination] != DestInstallDir)
        parts.erase(parts.begin(), parts.end() - 1);
    std::wstring relative;
    for (const std::string& part : parts) {
        std::wstring wide = FromPackage(part);
        if (!IsSafeComponent(wide)) {
            throw CPackageException(
                {"the file path \"", entry.m_strPath, "\" has a name Windows would alter"});
        }
        relative += (relative.empty() ? L"" : L"\\") + wide;
    }
    std::wstring target = JoinInside(base, relative);
    if (entry.m_nOptions[OptDestination] == DestInstallDir) RefuseReparsePoints(base, relative);
    return target;
}

void CInstaller::Stage()
{
    const VersionRecord& version = m_reader->Contents().versions[m_nVersion];
    m_strStageDir = MakePrivateTempDir();
    m_log.Line({"staging in ", ToUtf8(m_strStageDir)});
    std::vector<size_t> pending;  // the plans whose copies are to be made
    for (size_t i = 0; i < version.files.size(); ++i) {
        const CFileEntry& e = version.files[i];
        Planned plan;
        plan.entry = i;
        if (e.m_nFlags & kEntryUninstaller) {
            if (!m_reader->Contents().uninstallerProgram) {
                throw CPackageException(
                    {"version ", m_nVersion + 1,
                     " has an uninstaller entry but the package has no uninstaller program"});
            }
            plan.target = TargetPath(e);
            plan.staged = m_strStageDir + L"\\uninst.dat";
            CMemorySink block;
            m_reader->RebuildFile(m_nVersion, i, block);
            m_reader->ReadUninstallerData(m_nVersion, i);  // the block must decode
            CWinFileSink sink(plan.staged);
            sink.Write(block.Bytes().data(), block.Bytes().size());
            sink.Commit();
            m_plans.push_back(plan);
            continue;
        }
        plan.target = TargetPath(e);
        uint8_t mode = e.m_nOptions[OptInstallMode];
        plan.keep = mode == InstallKeep;
        if (mode != InstallSkip && mode != InstallDirectoryOnly) {
            if (e.HasNoData() && (e.m_nSize != 0 || e.m_nChecksum != 0)) {
                throw CPackageException({m_reader->DescribeEntry(m_nVersion, i),
                                         ": it claims a file but stores no data"});
            }
            if (!e.HasNoData()) {
                PlanCopy(plan);
                pending.push_back(m_plans.size());
            }
        }
        m_plans.push_back(std::move(plan));
    }
    StageAll(pending);
}

// Chooses where a file's checked copy waits: in memory while the budget lasts, else on disk.
void CInstaller::PlanCopy(Planned& plan)
{
    const CFileEntry& e = m_reader->Contents().versions[m_nVersion].files[plan.entry];
    plan.inMemory = !e.IsExternal() && e.m_nSize <= kMemoryStageFileLimit &&
                    m_nMemoryStaged + e.m_nSize <= kMemoryStageLimit;
    if (plan.inMemory) {
        m_nMemoryStaged += e.m_nSize;
        return;
    }
    // Staged files go into small subfolders: Wine looks up each new name by reading its whole
    // folder, so one folder of thousands of files costs time in proportion to their square.
    size_t number = plan.entry / kStageFolderFiles;
    std::wstring folder = m_strStageDir + L"\\" + DecimalW(number);
    if (number >= m_stageFolders.size()) m_stageFolders.resize(number + 1);
    if (!m_stageFolders[number]) {
        if (!CreateDirectoryW(folder.c_str(), nullptr)) {
            DWORD error = GetLastError();
            throw CInstallError(
                {"cannot create the directory ", ToUtf8(folder), ": ", SystemMessage(error)});
        }
        m_stageFolders[number] = 1;
    }
    plan.staged = folder + L"\\" + DecimalW(plan.entry) + L".tmp";
}

// Rebuilds and checks the planned copies, on every processor when there is enough to do: each
// thread has its own reader of the setup program. A failure stops the work; the one reported is
// that of the first file in the table, whatever the order the threads met them in.
void CInstaller::StageAll(const std::vector<size_t>& pending)
{
    uint64_t total = 0;
    for (size_t p : pending)
        total += m_reader->Contents().versions[m_nVersion].files[m_plans[p].entry].m_nSize;
    size_t threads = pending.size() > 1 && total >= kParallelStageBytes
                         ? UsefulThreadCount(kMaxStageThreads)
                         : 1;
    std::vector<std::unique_ptr<CPackageReader>> readers;
    for (size_t t = 1; t < threads; ++t) readers.push_back(OpenReader(m_strSelf));

    std::atomic<size_t> next{0};
    std::atomic<size_t> failedAt{SIZE_MAX};
    std::exception_ptr failure;
    SRWLOCK failureLock = SRWLOCK_INIT;
    RunOnThreads(threads, [&](size_t worker) {
        CPackageReader& reader = worker == 0 ? *m_reader : *readers[worker - 1];
        for (size_t k = next++; k < pending.size() && k < failedAt; k = next++) {
            try {
                CheckCancel();
                StageFile(reader, m_plans[pending[k]]);
                if (m_progress) {
                    const CFileEntry& e =
                        reader.Contents().versions[m_nVersion].files[m_plans[pending[k]].entry];
                    m_progress->FileDone(IInstallProgress::Phase::Checking, e.m_strPath, e.m_nSize);
                }
            } catch (...) {
                AcquireSRWLockExclusive(&failureLock);
                if (k < failedAt) {
                    failedAt = k;
                    failure = std::current_exception();
                }
                ReleaseSRWLockExclusive(&failureLock);
            }
        }
    });
    if (failure) std::rethrow_exception(failure);
}

void CInstaller::StageFile(CPackageReader& reader, Planned& plan) const
{
    size_t index = plan.entry;
    const CFileEntry& e = reader.Contents().versions[m_nVersion].files[index];
    CMemorySink memory;
    std::unique_ptr<CWinFileSink> file;
    if (plan.inMemory) {
        memory.Reserve(static_cast<size_t>(e.m_nSize));
    } else {
        file = std::make_unique<CWinFileSink>(plan.staged);
    }
    IByteSink& out = plan.inMemory ? static_cast<IByteSink&>(memory) : *file;
    uint32_t sum = 0;
    if (e.IsExternal()) {
        // Kept external: the file lies beside the setup program under its entry path.
        std::wstring source = JoinInside(m_strSourceDir, FromPackage(e.m_strPath));
        CWinPackageInput input(source);
        CChecksumSink sink(out);
        std::vector<uint8_t> piece(kFilePiece);
        for (uint64_t pos = 0; pos < input.GetLength(); pos += piece.size()) {
            size_t n =
                static_cast<size_t>(std::min<uint64_t>(piece.size(), input.GetLength() - pos));
            input.ReadAt(pos, piece.data(), n);
            sink.Write(piece.data(), n);
        }
        sum = sink.Value();
    } else {
        sum = reader.RebuildFile(m_nVersion, index, out);  // summed on the way
    }
    if (out.GetPosition() != e.m_nSize || (sum ^ reader.Contents().key) != e.m_nChecksum) {
        throw CPackageException(
            {reader.DescribeEntry(m_nVersion, index), ": checksum error (stored ",
             Hex32(e.m_nChecksum ^ reader.Contents().key), ", file gives ", Hex32(sum), ", ",
             out.GetPosition(), " of ", e.m_nSize, " bytes)"});
    }
    if (plan.inMemory) {
        plan.bytes = memory.Take();
        return;
    }
    if (e.m_nFlags & kEntryHasTimes)
        file->SetTimes(e.m_nCreationTime, e.m_nAccessTime, e.m_nWriteTime);
    file->Commit();
}

// Writes a copy held in memory under path, with the entry's times; false when mustBeNew and the
// name is taken. Throws CInstallError when the file cannot be written (nothing is left of it).
bool CInstaller::PlaceCopy(const Planned& plan, const std::wstring& path, bool mustBeNew)
{
    const CFileEntry& e = m_reader->Contents().versions[m_nVersion].files[plan.entry];
    std::unique_ptr<CWinFileSink> file =
        mustBeNew ? CWinFileSink::CreateNew(path) : std::make_unique<CWinFileSink>(path);
    if (!file) return false;
    file->Write(plan.bytes.data(), plan.bytes.size());
    if (e.m_nFlags & kEntryHasTimes)
        file->SetTimes(e.m_nCreationTime, e.m_nAccessTime, e.m_nWriteTime);
    file->Commit();
    return true;
}

void CInstaller::MakeDirectories(const std::wstring& dir)
{
    if (dir.size() <= 3) return;
    if (m_strKnownDir.compare(0, dir.size(), dir) == 0 &&
        (m_strKnownDir.size() == dir.size() || m_strKnownDir[dir.size()] == L'\\')) {
        return;
    }
    if (GetFileAttributesW(dir.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A folder another place of the product made (a Start-menu folder both use) is this
        // place's too: whichever uninstall comes last finds it empty and takes it away.
        CLogRecord folder = CLogRecord::Folder(dir);
        if (m_otherPlaces.Find(folder) && !m_prior.Find(folder) && !m_record.Find(folder))
            m_record.Add(folder);
        m_strKnownDir = dir;
        return;
    }
    MakeDirectories(ParentDir(dir));
    if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        DWORD error = GetLastError();
        throw CInstallError(
            {"cannot create the directory ", ToUtf8(dir), ": ", SystemMessage(error)});
    }
    m_record.Add(CLogRecord::Folder(dir));
    m_strKnownDir = dir;
}

void CInstaller::Commit()
{
    CheckCancel();
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_bComInitialised = SUCCEEDED(hr);
    const VersionRecord& version = m_reader->Contents().versions[m_nVersion];
    if (!version.files.empty() && (version.files[0].m_nFlags & kEntryUninstaller))
        LoadPriorRecord(m_plans[0].target);
    LoadOtherPlaces();
    m_record.Add(CLogRecord::Place(m_strInstallDir));
    m_record.Add(CLogRecord::Product(ProductId(m_reader->Contents())));
    MakeDirectories(m_strInstallDir);
    for (const Planned& plan : m_plans) {
        const CFileEntry& e = version.files[plan.entry];
        if (e.m_nFlags & kEntryUninstaller) continue;
        uint8_t mode = e.m_nOptions[OptInstallMode];
        if (mode == InstallDirectoryOnly) {
            MakeDirectories(ParentDir(plan.target));
        } else if (plan.HasCopy()) {
            CheckCancel();
            InstallFile(plan);
            if (m_progress)
                m_progress->FileDone(IInstallProgress::Phase::Placing, e.m_strPath, e.m_nSize);
            // Installed again (or kept): not a file of an earlier version that this one dropped.
            for (auto* make : {&CLogRecord::File, &CLogRecord::SharedFile, &CLogRecord::Server})
                m_touched.Add(make(plan.target));
            m_touched.Add(CLogRecord::Font(plan.target, {}, false));
        }
        MakeLinks(e, plan.target);
    }
    WriteIniEntries();
    WriteRegistryEntries();
    WriteFileStrings();
    UpdateDirectoryRecords();
    CheckCancel();
    InstallUninstaller();
}

void CInstaller::InstallFile(const Planned& plan)
{
    const CFileEntry& e = m_reader->Contents().versions[m_nVersion].files[plan.entry];
    std::wstring dir = ParentDir(plan.target);
    uint8_t destination = e.m_nOptions[OptDestination];
    // The usage count means something only for the Windows, System and Fonts directories.
    bool shared =
        e.m_nOptions[OptUsageCount] == OptionOn &&
        (destination == DestWindows || destination == DestSystem || destination == DestFonts);
    // A product counts once, however many times it is installed again.
    bool countNow = shared && !CountedBefore(plan.target);
    uint64_t installed = 0;
    uint64_t ours = (static_cast<uint64_t>(e.m_nFileVersionMS) << 32) | e.m_nFileVersionLS;
    if ((destination == DestWindows || destination == DestSystem) &&
        (e.m_nFlags & kEntryHasVersion) && ReadFileVersion(plan.target, installed) &&
        installed > ours) {
        // Unattended, the question "more recent version ... overwrite anyway?" gets No: a newer
        // system file stays. It is still counted as used by this product.
        m_log.Line({"kept the more recent ", ToUtf8(plan.target)});
        if (countNow) {
            MachineWrite(RaiseUsageCount(plan.target, true),
                         JoinText({"the usage count of ", ToUtf8(plan.target)}));
            if (!plan.keep) m_record.Add(CLogRecord::SharedFile(plan.target));
        }
        return;
    }
    MakeDirectories(dir);
    // Nothing to replace: the checked copy takes the name in one step, written there or moved from
    // staging. (Trying first spares a separate look for the name, which under Wine reads the whole
    // folder.)
    bool existed = false;
    bool placed = plan.inMemory ? PlaceCopy(plan, plan.target, true)
                                : MoveFileExW(plan.staged.c_str(), plan.target.c_str(),
                                              MOVEFILE_COPY_ALLOWED);
    if (!placed) {
        DWORD placeError = GetLastError();
        DWORD attributes = GetFileAttributesW(plan.target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            throw CInstallError({"cannot install the following file:\n", ToUtf8(plan.target),
                                 ": a folder has that name"});
        }
        existed = plan.inMemory || placeError == ERROR_ALREADY_EXISTS ||
                  placeError == ERROR_FILE_EXISTS || attributes != INVALID_FILE_ATTRIBUTES;
        // Replacing a file: first a temporary name beside it, so the replacement itself is a
        // rename within one directory, never a half-written file under the real name.
        std::wstring temp = dir + L"\\~vk" + DecimalW(GetCurrentProcessId()) + L"-" +
                            DecimalW(plan.entry) + L".tmp";
        if (plan.inMemory) {
            PlaceCopy(plan, temp, false);
        } else if (!MoveFileExW(plan.staged.c_str(), temp.c_str(),
                                MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING)) {
            DWORD error = GetLastError();
            throw CInstallError(
                {"cannot create the following file:\n", ToUtf8(temp), ": ", SystemMessage(error)});
        }
        if (existed) {
            SetFileAttributesW(plan.target.c_str(), FILE_ATTRIBUTE_NORMAL);
            // A file held open without delete sharing cannot be moved aside: it is replaced at the restart.
            KeepAside(plan.target);
        }
        if (!MoveFileExW(temp.c_str(), plan.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DWORD code = GetLastError();
            if ((code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED ||
                 code == ERROR_LOCK_VIOLATION) &&
                MoveFileExW(temp.c_str(), plan.target.c_str(),
                            MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
                m_bRestart = true;
                m_pendingRenames.emplace_back(plan.target, temp);
                m_log.Line({"in use, replaced at the next restart: ", ToUtf8(plan.target)});
            } else {
                DeleteFileW(temp.c_str());
                throw CInstallError({"cannot install the following file:\n", ToUtf8(plan.target),
                                     ": ", SystemMessage(code)});
            }
        }
    }
    m_log.Line({"installed ", ToUtf8(plan.target)});

    if (countNow) {
        MachineWrite(RaiseUsageCount(plan.target, existed),
                     JoinText({"the usage count of ", ToUtf8(plan.target)}));
    }
    if (destination == DestFonts) {
        AddFontResourceW(plan.target.c_str());
        std::wstring valueName = FontValueName(plan.target);
        bool created = false;
        MachineWrite(WriteStringValue(HKEY_LOCAL_MACHINE, kFontsKey, valueName,
                                      FileName(plan.target), created),
                     JoinText({"the font entry of ", ToUtf8(plan.target)}));
        // A counted font is undone like a shared file: it stays while others count on it.
        if (!plan.keep) m_record.Add(CLogRecord::Font(plan.target, valueName, countNow));
    } else if (!plan.keep && !(shared && !countNow)) {
        // Counted by an earlier run: its line stays in the log, this run adds none to undo.
        m_record.Add(countNow ? CLogRecord::SharedFile(plan.target)
                              : CLogRecord::File(plan.target));
    }
    if (e.m_nOptions[OptSpecial] == SpecialScreenSaver) {
        // Recorded with the earlier setting, so it does not outlive the file it names.
        if (plan.keep) {
            bool created = false;
            WriteStringValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"SCRNSAVE.EXE",
                             plan.target, created);
        } else {
            WriteRecordedValue(1, L"Control Panel\\Desktop", L"SCRNSAVE.EXE", plan.target);
        }
    } else if (e.m_nOptions[OptSpecial] == SpecialRegisterOcx) {
        if (!CallServerRegistration(plan.target, true)) {
            m_log.Line({"warning: cannot register ", ToUtf8(plan.target)});
        } else if (!plan.keep) {
            m_record.Add(CLogRecord::Server(plan.target));
        }
    }
}

void CInstaller::MakeLinks(const CFileEntry& e, const std::wstring& target)
{
    std::wstring workDir = ParentDir(target);
    if (!e.m_strMenuName.empty()) {
        std::wstring folder = m_macros.Expand(FromPackage(e.m_strMenuFolder));
        std::wstring dir = IsAbsolute(folder)
                               ? TrimSlash(folder)
                               : TrimSlash(CPathMacros::ProgramsFolder() + L"\\" + folder);
        MakeDirectories(dir);
        std::wstring link = dir + L"\\" + SafeFileName(FromPackage(e.m_strMenuName)) + L".lnk";
        bool record = KeepLinkAside(link);
        std::string problem = CreateShellLink(
            link, target, m_macros.Expand(FromPackage(e.m_strMenuArgs)), workDir, e.m_nIconIndex);
        if (!problem.empty())
            throw CInstallError({"cannot create the icon ", ToUtf8(link), ": ", problem});
        if (record) m_record.Add(CLogRecord::Link(link));
        m_touched.Add(CLogRecord::Link(link));
    }
    if (!e.m_strShortcutName.empty()) {
        std::wstring link = CPathMacros::DesktopFolder() + L"\\" +
                            SafeFileName(FromPackage(e.m_strShortcutName)) + L".lnk";
        bool record = KeepLinkAside(link);
        std::string problem = CreateShellLink(
            link, target, m_macros.Expand(FromPackage(e.m_strShortcutArgs)), workDir, 0);
        if (!problem.empty())
            throw CInstallError({"cannot create the shortcut ", ToUtf8(link), ": ", problem});
        if (record) m_record.Add(CLogRecord::Link(link));
        m_touched.Add(CLogRecord::Link(link));
    }
}

void CInstaller::WriteIniEntries()
{
    for (const IniRecord& ini : m_reader->Contents().versions[m_nVersion].iniEntries) {
        std::wstring file = m_macros.Expand(FromPackage(ini.file));
        std::wstring section = m_macros.Expand(FromPackage(ini.section));
        std::wstring entry = m_macros.Expand(FromPackage(ini.entry));
        std::wstring value = m_macros.Expand(FromPackage(ini.value));
        if (ini.flags & 1) {
            wchar_t probe[8] = L"";
            GetPrivateProfileStringW(section.c_str(), entry.c_str(), L"\x1", probe, 8,
                                     file.c_str());
            if (!(probe[0] == 1 && probe[1] == 0)) {
                m_log.Line({"INI entry kept: [", ToUtf8(section), "] ", ToUtf8(entry), " in ",
                            ToUtf8(file)});
                m_touched.Add(CLogRecord::IniEntry(file, section, entry));
                continue;
            }
        }
        WriteRecordedIni(file, section, entry, value);
    }
}

void CInstaller::WriteRegistryEntries()
{
    for (const RegRecord& reg : m_reader->Contents().versions[m_nVersion].regEntries) {
        std::wstring key = m_macros.Expand(FromPackage(reg.key));
        std::wstring name = m_macros.Expand(FromPackage(reg.subkey));
        std::wstring value = m_macros.Expand(FromPackage(reg.value));
        void* root = RegistryRootFromIndex(reg.rootKey);
        if ((reg.flags & 1) && root && ValueExists(root, key, name)) {
            m_log.Line({"registry value kept: ", ToUtf8(key), "\\", ToUtf8(name)});
            m_touched.Add(CLogRecord::RegistryValue(reg.rootKey, key, name));
            continue;
        }
        WriteRecordedValue(reg.rootKey, key, name, value);
        m_log.Line({"registry value: ", ToUtf8(key), "\\", ToUtf8(name)});
    }
}

void CInstaller::WriteFileStrings()
{
    for (const FileStringRecord& fs : m_reader->Contents().versions[m_nVersion].fileStrings) {
        std::wstring file = m_macros.Expand(FromPackage(fs.file));
        if (!IsAbsolute(file)) file = m_strInstallDir + L"\\" + file;
        std::string what = "cannot write a string into " + ToUtf8(file) + ": ";
        HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) throw CInstallError(what + SystemMessage(GetLastError()));
        LARGE_INTEGER size = {};
        GetFileSizeEx(h, &size);
        uint64_t length = static_cast<uint64_t>(size.QuadPart);
        uint64_t at = fs.offset;
        std::string error;
        if (fs.offset == kOffsetPattern) {
            if (length > kMaxStringTargetSize) {
                error = "the file is too large to search";
            } else {
                std::vector<uint8_t> bytes(static_cast<size_t>(length));
                DWORD got = 0;
                if (length &&
                    (!ReadFile(h, bytes.data(), static_cast<DWORD>(length), &got, nullptr) ||
                     got != length)) {
                    error = "read error";
                } else {
                    auto hit = fs.pattern.empty()
                                   ? bytes.end()
                                   : std::search(bytes.begin(), bytes.end(), fs.pattern.begin(),
                                                 fs.pattern.end());
                    if (hit == bytes.end()) error = "the byte pattern does not occur in the file";
                    at = static_cast<uint64_t>(hit - bytes.begin());
                }
            }
        }
        // The text may name places on this machine (#InstallDir#...), as INI and registry texts do.
        std::string text = ToPackage(m_macros.Expand(FromPackage(fs.text)));
        std::vector<uint8_t> out(text.begin(), text.end());
        out.push_back(0);
        if (fs.reserved1 != 0) {
            if (out.size() > fs.reserved1) {
                out.resize(fs.reserved1);
                out.back() = 0;
            }
            if ((fs.reserved2 & 1) && out.size() < fs.reserved1) out.resize(fs.reserved1, 0);
        }
        if (error.empty() && (at > length || out.size() > length - at))
            error = "the string would pass the end of the file";
        if (error.empty()) {
            LARGE_INTEGER pos;
            pos.QuadPart = static_cast<LONGLONG>(at);
            DWORD written = 0;
            if (!SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) ||
                !WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr) ||
                written != out.size()) {
                error = SystemMessage(GetLastError());
            }
        }
        CloseHandle(h);
        if (!error.empty()) throw CInstallError(what + error);
        m_log.Line({"string written into ", ToUtf8(file), " at ", at});
    }
}

void CInstaller::UpdateDirectoryRecords()
{
    const VersionBlockRecord& block = m_reader->Contents().versions[m_nVersion].block;
    if ((block.dirFlags & kDirUpdateKey) && !block.dirKey.empty()) {
        WriteRecordedValue(block.dirRootKey, m_macros.Expand(FromPackage(block.dirKey)),
                           m_macros.Expand(FromPackage(block.dirSubkey)), m_strInstallDir);
    }
    if ((block.dirFlags & kDirUpdateEntry) && !block.dirIniFile.empty() &&
        !block.dirIniSection.empty() && !block.dirIniEntry.empty()) {
        std::wstring file = m_macros.Expand(FromPackage(block.dirIniFile));
        std::wstring section = m_macros.Expand(FromPackage(block.dirIniSection));
        std::wstring entry = m_macros.Expand(FromPackage(block.dirIniEntry));
        WriteRecordedIni(file, section, entry, m_strInstallDir);
    }
}

// Moves an existing file aside under a temporary name beside it, kept until the run ends so that a
// failure can put it back; false when there is no such file or it cannot be moved.
bool CInstaller::KeepAside(const std::wstring& path)
{
    std::wstring backup = ParentDir(path) + L"\\~vk" + DecimalW(GetCurrentProcessId()) + L"-" +
                          DecimalW(m_backups.size()) + L".old";
    if (!MoveFileExW(path.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    m_backups.emplace_back(path, backup);
    return true;
}

// Takes back what a failed run changed: its recorded changes, last first, as the uninstaller would;
// then the uninstaller's files go and the replaced files return.
void CInstaller::RollBack()
{
    // A file left to be replaced at the restart still holds its old contents: it is not removed,
    // and its replacement goes instead (the pending rename then finds nothing to move).
    CInstallLog changes;
    for (const CLogRecord& record : m_record.Records()) {
        bool pending =
            record.Kind() == LogKind::File &&
            std::any_of(m_pendingRenames.begin(), m_pendingRenames.end(),
                        [&](const auto& rename) { return rename.first == record.Path(); });
        if (!pending) changes.Add(record);
    }
    for (const auto& [target, replacement] : m_pendingRenames) {
        if (DeleteFileW(replacement.c_str())) {
            m_log.Line({"the replacement of ", ToUtf8(target), " will not happen"});
        }
    }
    try {
        CUninstaller undo(m_commandLine, m_log);
        undo.UndoChanges(changes, true);
    } catch (const std::exception& e) {
        m_log.Line({"error while undoing: ", e.what()});
    }
    for (const std::wstring& file : m_ownFiles) DeleteFileW(file.c_str());
    for (auto it = m_backups.rbegin(); it != m_backups.rend(); ++it) {
        if (MoveFileExW(it->second.c_str(), it->first.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            m_log.Line({"restored ", ToUtf8(it->first)});
        } else {
            m_log.Line({"cannot restore ", ToUtf8(it->first), "; its previous contents are in ",
                        ToUtf8(it->second)});
        }
    }
    m_backups.clear();
}

// The run succeeded: the replaced files go (one still in use goes at the next restart).
void CInstaller::DropBackups()
{
    for (const auto& [path, backup] : m_backups) {
        SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(backup.c_str()))
            MoveFileExW(backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    m_backups.clear();
}

void CInstaller::InstallUninstaller()
{
    const VersionRecord& version = m_reader->Contents().versions[m_nVersion];
    if (version.files.empty() || !(version.files[0].m_nFlags & kEntryUninstaller)) return;
    const CFileEntry& e = version.files[0];
    const Planned& plan = m_plans[0];
    std::wstring exe = plan.target;
    MakeDirectories(ParentDir(exe));
    {
        const std::vector<uint8_t>& program = *m_reader->Contents().uninstallerProgram;
        std::wstring temp = exe + L".vk~";
        CWinFileSink sink(temp);
        sink.Write(program.data(), program.size());
        sink.Commit();
        KeepAside(exe);
        if (!MoveFileExW(temp.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DWORD code = GetLastError();
            DeleteFileW(temp.c_str());
            throw CInstallError(
                {"cannot create the following file:\n", ToUtf8(exe), ": ", SystemMessage(code)});
        }
        m_ownFiles.push_back(exe);
    }
    std::wstring base = UninstallDataBase(exe);
    KeepAside(base + L".dat");
    KeepAside(base + L".log");
    m_ownFiles.push_back(base + L".log");
    if (!MoveFileExW(plan.staged.c_str(), (base + L".dat").c_str(),
                     MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING)) {
        throw CInstallError("cannot create the following file:\n" + ToUtf8(base + L".dat"));
    }
    m_ownFiles.push_back(base + L".dat");
    MakeLinks(e, exe);

    WriteProgramsEntry(exe);

    m_merged = MergedRecord();
    if (!SaveInstallLog(base + L".log", m_merged)) {
        throw CInstallError("cannot create the following file:\n" + ToUtf8(base + L".log"));
    }
    m_log.Line({"uninstaller: ", ToUtf8(exe)});
}

}  // namespace velkan::runtime
