#include "core/builder/CInstallBuild.h"

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <new>
#include <system_error>

#include "core/builder/FileVersionFacts.h"
#include "core/builder/PreBuildWarnings.h"
#include "core/builder/SourceFileCheck.h"
#include "core/builder/SourcePaths.h"
#include "core/builder/StoreLimits.h"
#include "core/delta/CDeltaEncoder.h"
#include "core/model/CDataArray.h"
#include "core/model/CUserAbort.h"
#include "core/model/FileOption.h"
#include "core/model/PathCompare.h"
#include "core/package/CFileEntry.h"
#include "core/package/CSectionWriter.h"
#include "core/package/PackageChecksum.h"
#include "core/package/PackageFormat.h"
#include "core/package/ProjectSections.h"
#include "core/package/StubImage.h"
#include "core/package/UninstallerData.h"
#include "core/package/VersionSections.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/CodePage.h"
#include "core/platform/FileTimes.h"
#include "core/platform/SourceDateEpoch.h"
#include "core/res/RuntimeResources.h"
#include "core/res/StringTable.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySource.h"

namespace velkan {

using namespace package;

namespace {

// String table ids of the build's own texts.
constexpr int kUninstallerLine = 1009;
constexpr int kNothingToInstall = 1106;
constexpr int kResultTitle = 1151;
constexpr int kResultFiles = 1152;
constexpr int kResultUncompressed = 1153;
constexpr int kResultCompressed = 1154;
constexpr int kResultProgramSize = 1155;
constexpr int kAskContinueAfterWarnings = 1185;

// Replaces the "%d" of a string-table text by a number (of any size).
std::string FormatCount(int id, uint64_t value)
{
    std::string text = LoadString(id);
    size_t at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(value));
    return text;
}

// Byte-for-byte equality of two files; a file that cannot be opened or read makes them differ.
bool SameContents(const std::string& a, const std::string& b)
{
    try {
        CFile fa(a, CFile::Mode::Read);
        CFile fb(b, CFile::Mode::Read);
        if (fa.GetLength() != fb.GetLength()) return false;
        std::vector<uint8_t> pa(kFilePiece), pb(kFilePiece);
        for (;;) {
            size_t na = fa.Read(pa.data(), pa.size());
            size_t nb = 0;
            while (nb < na) {
                size_t n = fb.Read(pb.data() + nb, na - nb);
                if (n == 0) return false;
                nb += n;
            }
            if (na == 0) return fb.Read(pb.data(), 1) == 0;
            if (!std::equal(pa.begin(), pa.begin() + static_cast<std::ptrdiff_t>(na), pb.begin())) {
                return false;
            }
        }
    } catch (const CFileException&) {
        return false;
    }
}

uint64_t FileLengthOrZero(const std::string& path)
{
    std::error_code ec;
    uint64_t length = std::filesystem::file_size(path, ec);
    return ec ? 0 : length;
}

std::string CanonicalText(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    if (ec) canonical = std::filesystem::path(path).lexically_normal();
    return canonical.string();
}

// The first runtime resource a build of the project needs (stub, dialog block, and the
// uninstaller when a version has one) that this builder lacks.
std::optional<int> MissingRuntimeResource(const CDataArray& project)
{
    std::vector<int> needed = {
        StubResourceId(project.m_nPlatform),
        DialogBlockResourceId(project.m_nPlatform, !project.m_strWizardBitmap.empty())};
    for (const CData& version : project.m_versions) {
        if (!version.m_strUninstFile.empty()) {
            needed.push_back(UninstallerResourceId(project.m_nPlatform));
            break;
        }
    }
    for (int id : needed) {
        std::optional<std::vector<uint8_t>> bytes = LoadRuntimeResource(id);
        if (!bytes || bytes->empty()) return id;
    }
    return std::nullopt;
}

// A runtime resource the build needs (MissingRuntimeResource has found it there).
std::vector<uint8_t> LoadNeededResource(int id, const std::string& programPath)
{
    std::optional<std::vector<uint8_t>> bytes = LoadRuntimeResource(id);
    if (!bytes || bytes->empty()) throw CFileException(programPath, RuntimeResourceMissingText(id));
    return std::move(*bytes);
}

}  // namespace

std::string RuntimeResourceMissingText(int id)
{
    std::string what;
    switch (id) {
    case kStubWin32: what = "the setup stub"; break;
    case kStubWin31: what = "the setup stub for Windows 3.1"; break;
    case kUninstallerWin32: what = "the uninstaller"; break;
    case kUninstallerWin31: what = "the uninstaller for Windows 3.1"; break;
    default: what = "the dialog-template block"; break;
    }
    return what + " (resource " + std::to_string(id) +
           ") is not built into this program; build Velkan with the mingw-w64 cross compiler "
           "installed so that the install runtime is embedded";
}

BuildResult BuildInstallProgram(const CDataArray& project, CBuildReport& report, IBuildHost& host,
                                IDiskHost& disks, const BuildSettings& settings)
{
    CInstallBuild build(project, report, host, disks, settings);
    return build.Run();
}

CInstallBuild::CInstallBuild(const CDataArray& project, CBuildReport& report, IBuildHost& host,
                             IDiskHost& disks, BuildSettings settings)
    : m_project(project),
      m_report(report),
      m_host(host),
      m_disks(disks),
      m_settings(std::move(settings)),
      m_progress(host)
{
}

CInstallBuild::~CInstallBuild() = default;

BuildResult CInstallBuild::Run()
{
    if (m_project.m_versions.size() > kMaxVersions) {
        m_result.status = BuildStatus::Failed;
        m_result.error = "The project has " + std::to_string(m_project.m_versions.size()) +
                         " versions; a setup program can hold at most 65535.";
        m_host.ShowError(m_result.error);
        return m_result;
    }
    // Refused before anything is written: a builder made without the cross compiler carries no
    // install runtime, and a setup program without its stub or dialogs could not run.
    if (std::optional<int> missing = MissingRuntimeResource(m_project)) {
        m_result.status = BuildStatus::Failed;
        m_result.error = RuntimeResourceMissingText(*missing);
        m_host.ShowError(m_result.error);
        return m_result;
    }
    if (ReportPreBuildWarnings(m_project, m_report) &&
        !m_host.AskYesNo(LoadString(kAskContinueAfterWarnings))) {
        m_result.status = BuildStatus::Declined;
        return m_result;
    }

    m_host.BeginProgress();
    m_progress.Start();
    try {
        Build();
    } catch (const CUserAbort&) {
        m_result.status = BuildStatus::Cancelled;
    } catch (const std::bad_alloc&) {
        m_result.status = BuildStatus::Failed;
        m_result.error = "There is not enough memory to build the setup program.";
    } catch (const std::exception& e) {
        m_result.status = BuildStatus::Failed;
        m_result.error = e.what();
        // The program is written under a temporary name that means nothing to the user.
        if (!m_strWritePath.empty() && m_strWritePath != m_settings.outputPath) {
            for (size_t at; (at = m_result.error.find(m_strWritePath)) != std::string::npos;)
                m_result.error.replace(at, m_strWritePath.size(), m_settings.outputPath);
        }
    }
    Cleanup(m_result.status == BuildStatus::Built);
    m_host.EndProgress();

    if (m_result.status == BuildStatus::Failed) m_host.ShowError(m_result.error);
    if (m_result.status == BuildStatus::NothingToInstall) {
        m_host.ShowInformation(LoadString(kNothingToInstall));
    }
    return m_result;
}

void CInstallBuild::Build()
{
    m_nVersions = m_project.m_versions.size();
    m_timeCap = SourceDateEpochFileTime();
    m_dataTemp = std::make_unique<CDeltaTempFile>(m_settings.tempDir);

    m_dataWriter = std::make_unique<CDataSectionWriter>(m_disks, m_settings.outputPath);
    // Written beside the target and put in place only when complete, so a failed or cancelled
    // build leaves the previous program as it was (except where the disks are written in place).
    m_strWritePath = m_dataWriter->WritesInPlace() ? m_settings.outputPath
                                                   : TemporaryNameBeside(m_settings.outputPath);
    m_output = m_disks.CreateFile(m_strWritePath);
    m_bOutputCreated = true;
    m_data = std::make_unique<CFile>(m_dataTemp->Path(), CFile::Mode::Create);
    CSectionWriter writer(*m_output);

    const int platform = m_project.m_nPlatform;
    const uint32_t keySeed =
        WriteStub(writer, LoadNeededResource(StubResourceId(platform), m_settings.outputPath));

    const std::vector<uint8_t> dialogs =
        LoadNeededResource(DialogBlockResourceId(platform, !m_project.m_strWizardBitmap.empty()),
                           m_settings.outputPath);
    if (WriteDialogBlock(writer, &dialogs)) WriteProjectSections(writer, m_project);

    CollectPaths();
    m_nKey = PackageKey(keySeed, m_project.m_nWindowMode == CDataArray::FullScreen,
                        m_project.m_strBackTitle);

    m_tables.assign(m_nVersions, CFileTableWriter(platform != CDataArray::Win32));
    m_state.assign(m_nVersions, VersionState{});
    WriteUninstaller(writer);
    m_entryCount.resize(m_nVersions);
    m_stored.assign(m_nVersions, {});
    for (size_t v = 0; v < m_nVersions; ++v) m_entryCount[v] = m_tables[v].GetCount();
    m_pool =
        std::make_unique<CDataJobPool>(CDataJobPool::ThreadsFor(m_settings.jobs), m_progress,
                                       m_compressor, m_settings.tempDir, m_settings.deltaSearch);
    for (size_t p = 0; p < m_paths.size(); ++p) {
        try {
            StorePath(p);
        } catch (...) {
            // An earlier entry's failure comes first, as it would without the pool.
            CommitPaths(true);
            throw;
        }
        CommitPaths(false);
    }
    CommitPaths(true);
    m_pool.reset();

    for (size_t v = 0; v < m_nVersions; ++v) {
        WriteVersionSections(writer, m_project.m_versions[v]);
        m_tables[v].WriteSection(writer);
    }

    const uint64_t dataLength = m_data->GetPosition();
    m_data->Close();
    m_data.reset();
    m_result.programSize = dataLength + m_output->GetPosition() + kSectionHeaderSize + 4;

    CFile dataIn(m_dataTemp->Path(), CFile::Mode::Read);
    if (m_dataWriter->DecideSpanning(dataLength) && m_settings.signFile) {
        // The first disk is out of the drive before the program on it could be signed.
        throw CFileException(
            m_settings.outputPath,
            "the setup program does not fit on the disk, and a program spread over several "
            "disks cannot be signed");
    }
    m_output = m_dataWriter->Write(std::move(m_output), dataIn, dataLength);
    m_output->Close();
    m_output.reset();
    m_result.continuationFiles = m_dataWriter->ContinuationFiles();
    m_result.programSize += 4u * static_cast<uint64_t>(m_result.continuationFiles);

    uint64_t entries = 0;
    for (const CFileTableWriter& table : m_tables) entries += table.GetCount();
    if (entries == 0) {
        m_result.status = BuildStatus::NothingToInstall;
        return;
    }
    if (m_settings.signFile) {
        // Signed under its temporary name, so a failing signature leaves the previous program.
        // The signature grows the program; the summary counts what is on disk.
        std::error_code before, after;
        const uint64_t unsignedSize = std::filesystem::file_size(m_strWritePath, before);
        m_settings.signFile(m_strWritePath);
        const uint64_t signedSize = std::filesystem::file_size(m_strWritePath, after);
        if (!before && !after && signedSize > unsignedSize)
            m_result.programSize += signedSize - unsignedSize;
    }
    if (m_strWritePath != m_settings.outputPath) {
        m_disks.ReplaceFile(m_strWritePath, m_settings.outputPath);
        m_strWritePath = m_settings.outputPath;
    }
    AppendSummary();
    m_result.status = BuildStatus::Built;
}

void CInstallBuild::CollectPaths()
{
    // The setup program may be written into a source directory; it is never packed into itself.
    const std::string self = CanonicalText(m_settings.outputPath);
    std::unordered_map<std::string, size_t> seen;
    m_files.assign(m_nVersions, VersionFiles{});
    m_fTotal = 0;
    for (size_t v = 0; v < m_nVersions; ++v) {
        const CData& version = m_project.m_versions[v];
        VersionFiles& files = m_files[v];
        files.sourceDir = SourceDirOf(version);
        std::string dir = CanonicalText(files.sourceDir);
        if (dir.empty() || dir.back() != '/') dir += '/';
        const bool selfInside = self.compare(0, dir.size(), dir) == 0;

        files.lengths.resize(version.m_files.size());
        files.hostPaths.resize(version.m_files.size());
        for (size_t i = 0; i < version.m_files.size(); ++i) {
            files.hostPaths[i] = HostPathIn(files.sourceDir, version.m_files[i]);
            const std::string& host = files.hostPaths[i];
            CheckSourceFile(host, version.m_files[i].m_strPath,
                            version.m_files[i].GetOption(OptInstallMode) != InstallSkip);
            files.lengths[i] = FileLengthOrZero(host);
            m_fTotal += static_cast<double>(files.lengths[i]);
            if (selfInside && CanonicalText(host) == self) continue;

            const std::string& path = version.m_files[i].m_strPath;
            std::string key = ToUpper1252(path);
            files.byPath.emplace(key, static_cast<int>(i));
            if (seen.emplace(key, m_paths.size()).second) {
                m_paths.push_back(path);
                m_pathKeys.push_back(std::move(key));
            }
        }
    }
}

void CInstallBuild::WriteUninstaller(CSectionWriter& writer)
{
    bool any = false;
    for (const CData& version : m_project.m_versions) any = any || !version.m_strUninstFile.empty();
    if (!any) return;

    std::vector<uint8_t> program =
        LoadNeededResource(UninstallerResourceId(m_project.m_nPlatform), m_settings.outputPath);
    bool patched = false;
    if (m_settings.signFile) {
        // Signed after its size slot is set, since any later change would break the signature.
        PatchSizeSlot(program);
        patched = true;
        CDeltaTempFile scratch(m_settings.tempDir);
        WriteFileAtomically(scratch.Path(), program);
        m_settings.signFile(scratch.Path());
        program = ReadWholeFile(scratch.Path());
    }
    uint64_t size = program.size();
    uint64_t packed = WriteUninstallerProgram(writer, std::move(program), !patched);

    for (size_t v = 0; v < m_nVersions; ++v) {
        const CData& version = m_project.m_versions[v];
        if (version.m_strUninstFile.empty()) continue;
        std::vector<uint8_t> block = BuildUninstallerData(version);
        const uint32_t offset = DataPosition();
        CMemorySource source(block.data(), block.size());
        m_compressor.Reset();
        if (m_compressor.CompressFile(*m_data, source, block.size()) == 0) throw std::bad_alloc();
        const uint32_t blockPacked = DataPosition() - offset;
        m_tables[v].AddEntry(CFileEntry::Uninstaller(version, static_cast<uint32_t>(block.size()),
                                                     offset, blockPacked));
        size += block.size();
        packed += blockPacked;
    }
    m_report.AddLine(LoadString(kUninstallerLine));
    m_report.SetNumbers(CBuildReport::kKindFile, size, packed);
    ++m_result.storedFiles;
}

void CInstallBuild::StorePath(size_t pathIndex)
{
    const std::string& key = m_pathKeys[pathIndex];
    uint64_t pathBytes = 0;
    for (size_t v = 0; v < m_nVersions; ++v) {
        auto found = m_files[v].byPath.find(key);
        m_state[v].item = found == m_files[v].byPath.end() ? -1 : found->second;
        if (m_state[v].item >= 0) pathBytes += m_files[v].lengths[m_state[v].item];
    }
    auto scale = [this](double bytes) {
        if (m_fTotal <= 0) return 0u;
        return static_cast<uint32_t>(std::min(bytes * CBuildProgress::kFull / m_fTotal,
                                              static_cast<double>(CBuildProgress::kFull)));
    };
    const uint32_t start = scale(m_fDone);
    const uint32_t end = std::max(start, scale(m_fDone + static_cast<double>(pathBytes)));
    m_fDone += static_cast<double>(pathBytes);

    m_pending.emplace_back();
    m_pending.back().pathIndex = pathIndex;
    m_pending.back().barEnd = end;
    bool lineAdded = false;
    const uint64_t n = m_nVersions;
    for (size_t v = 0; v < m_nVersions; ++v) {
        VersionState& state = m_state[v];
        const int item = state.item;
        state = VersionState{};
        state.offset = kOffsetExternal;
        state.sourceVersion = static_cast<uint32_t>(v);
        state.sourceEntry = m_entryCount[v];
        state.item = item;

        const uint32_t from = static_cast<uint32_t>(start + v * (end - start) / n);
        const uint32_t to = static_cast<uint32_t>(start + (end - start) * (v + 1) / n);
        // With threads, the data is made later: the bar moves as it is placed (CommitFront).
        if (m_pool->Threads() <= 1) m_progress.SetBar(from);
        if (item < 0) continue;
        Decide(v, from, to);
        lineAdded = lineAdded || state.state != kUndecided;
    }
    m_pending.back().lineAdded = lineAdded;
}

void CInstallBuild::Decide(size_t v, uint32_t rangeStart, uint32_t rangeEnd)
{
    VersionState& state = m_state[v];
    const CFileItem& item = Item(v, state.item);
    if (item.GetOption(OptInstallMode) == InstallSkip) {
        // Listed only for its icons or its end-page button: an entry without data, or none.
        if (item.m_strMenuName.empty() && item.m_strShortcutName.empty() &&
            item.GetOption(OptEndPage) == EndPageNone) {
            return;
        }
        state.state = kNoData;
        state.offset = 0;
        state.sourceVersion = 0;
        state.sourceEntry = 0;
        AddPending(v, state, false);
        return;
    }

    const std::string path = HostPath(v, state.item);
    const bool external = item.GetOption(OptKeepExternal) == OptionOn;
    const uint64_t length = m_files[v].lengths[static_cast<size_t>(state.item)];
    const Source source = ChooseSource(v, path, external, length);
    bool inProgram = true;  // the entry's data is in the setup program, for equal files to share
    switch (source.kind) {
    case Source::kTakenOver:
        inProgram = !external && (state.job || state.offset != kOffsetExternal);
        AddPending(v, state, false);
        break;
    case Source::kDeltaFile:
        Submit(v, DataJob::Kind::Delta, path,
               HostPath(source.reference, m_state[source.reference].item), rangeStart, rangeEnd);
        break;
    case Source::kWholeFile:
        state.state = kPlainCopy;
        if (external) {
            inProgram = false;
            AddPending(v, state, true);
        } else {
            Submit(v, DataJob::Kind::Pack, path, std::string(), rangeStart, rangeEnd);
        }
        break;
    }
    if (inProgram && m_settings.shareEqualFiles) RememberStored(v, path, length, state);
}

CInstallBuild::Source CInstallBuild::ChooseSource(size_t v, const std::string& path, bool external,
                                                  uint64_t length)
{
    VersionState& state = m_state[v];
    Source source;
    for (size_t u = 0; u < v; ++u) {
        const VersionState& earlier = m_state[u];
        if (earlier.item < 0 || Item(u, earlier.item).GetOption(OptInstallMode) == InstallSkip) {
            continue;
        }
        const bool equal = SameContents(HostPath(u, earlier.item), path);
        if (equal && (earlier.state == kPlainCopy || earlier.state == kDelta)) {
            const int own = state.item;
            state = earlier;
            state.item = own;
            return {Source::kTakenOver, 0};
        }
        // The last differing plain copy is the reference, the version most like this one.
        if (!equal && earlier.state == kPlainCopy) {
            state.state = kDelta;
            state.sourceVersion = earlier.sourceVersion;
            state.sourceEntry = earlier.sourceEntry;
            source = {Source::kDeltaFile, u};
        }
    }
    if (!external && m_settings.shareEqualFiles) {
        if (const VersionState* equal = FindEqualStored(v, path, length)) {
            const int own = state.item;
            state = *equal;
            state.item = own;
            return {Source::kTakenOver, 0};
        }
    }
    return source;
}

const CInstallBuild::VersionState* CInstallBuild::FindEqualStored(size_t v, const std::string& path,
                                                                  uint64_t length)
{
    auto found = m_stored[v].find(length);
    if (found == m_stored[v].end()) return nullptr;
    // Checksums first, so that many files of one length are not compared with each other.
    auto checksumOf = [](const std::string& file) {
        CFile in(file, CFile::Mode::Read);
        return FileChecksum(in);
    };
    const uint32_t checksum = checksumOf(path);
    for (StoredData& stored : found->second) {
        if (!stored.haveChecksum) {
            stored.checksum = checksumOf(stored.path);
            stored.haveChecksum = true;
        }
        if (stored.checksum == checksum && SameContents(stored.path, path)) return &stored.state;
    }
    return nullptr;
}

void CInstallBuild::RememberStored(size_t v, const std::string& path, uint64_t length,
                                   const VersionState& state)
{
    StoredData stored;
    stored.path = path;
    stored.state = state;
    m_stored[v][length].push_back(std::move(stored));
}

void CInstallBuild::Submit(size_t v, DataJob::Kind kind, const std::string& path,
                           const std::string& reference, uint32_t rangeStart, uint32_t rangeEnd)
{
    VersionState& state = m_state[v];
    state.job =
        std::make_shared<DataJob>(kind, path, reference, rangeStart, rangeEnd, m_settings.tempDir);
    ++m_nJobsPending;
    AddPending(v, state, true);
    m_pool->Submit(state.job);
}

void CInstallBuild::AddPending(size_t v, const VersionState& state, bool stores)
{
    PendingEntry entry;
    entry.v = v;
    entry.state = state;
    entry.stores = stores;
    m_pending.back().entries.push_back(std::move(entry));
    ++m_entryCount[v];
}

void CInstallBuild::CommitPaths(bool all)
{
    // Up to two jobs per thread wait ahead of the one being placed: enough to keep every thread
    // busy while the data of finished ones waits, bounded in memory (CSpillSink).
    const size_t lookahead = m_pool->Threads() <= 1 ? 0 : 2 * size_t(m_pool->Threads());
    while (!m_pending.empty() && (all || m_nJobsPending > lookahead)) CommitFront();
}

void CInstallBuild::CommitFront()
{
    PendingPath& path = m_pending.front();
    StoredNumbers line;
    if (path.lineAdded) m_report.AddLine(m_paths[path.pathIndex]);
    for (PendingEntry& entry : path.entries) {
        VersionState& state = entry.state;
        DataJob* job = state.job.get();
        const bool ownsJob = entry.stores && job;
        if (ownsJob) {
            m_pool->Wait(*job, [this] { m_progress.ShowPosition(m_progress.GetShownPosition()); });
            const uint32_t offset = DataPosition();
            job->data.MoveTo(*m_data);
            job->offset = offset;
            job->packed = DataPosition() - offset;
            --m_nJobsPending;
        }
        // A file kept outside the program counts as stored, with no bytes.
        if (entry.stores) CountStored(line, ownsJob ? job->length : 0, ownsJob ? job->packed : 0);
        if (job) {
            state.offset = job->offset;
            state.packed = job->packed;
        }
        m_tables[entry.v].AddEntry(MakeEntry(entry.v, state, ownsJob ? job : nullptr));
    }
    if (path.lineAdded) m_report.SetNumbers(CBuildReport::kKindFile, line.size, line.packed);
    // Placing data is where a build with threads shows progress and takes a stop.
    if (m_pool->Threads() > 1 && path.barEnd > m_progress.GetShownPosition()) {
        m_progress.ShowPosition(path.barEnd);
    }
    m_pending.pop_front();
}

void CInstallBuild::CountStored(StoredNumbers& line, uint64_t size, uint64_t packed)
{
    ++m_result.storedFiles;
    m_result.uncompressedBytes += size;
    m_result.compressedBytes += packed;
    line.size += size;
    line.packed += packed;
}

CFileEntry CInstallBuild::MakeEntry(size_t v, const VersionState& state, const DataJob* job)
{
    const CFileItem& item = Item(v, state.item);
    CFileEntry entry = CFileEntry::FromFileItem(item);
    if (state.state == kNoData) return entry;

    const std::string path = HostPath(v, state.item);
    uint32_t checksum = 0;
    uint64_t length = 0;
    if (job) {
        // The job read the file: its length is checked.
        checksum = job->checksum;
        length = job->length;
    } else {
        CFile file(path, CFile::Mode::Read);
        checksum = FileChecksum(file, &length);
        CheckStoredFileLength(path, length);
    }
    entry.m_nChecksum = checksum ^ m_nKey;
    entry.m_nSize = static_cast<uint32_t>(length);
    entry.m_nOffset = state.offset;
    entry.m_nPackedSize = state.packed;
    entry.m_nSourceEntry = state.sourceEntry;
    entry.m_nSourceVersion = static_cast<uint16_t>(state.sourceVersion);

    if (std::optional<FileTimes> times = ReadFileTimes(path)) {
        entry.m_nFlags |= kEntryHasTimes;
        uint64_t cap = m_timeCap.value_or(UINT64_MAX);
        entry.m_nCreationTime = std::min(times->creation, cap);
        entry.m_nAccessTime = std::min(times->lastAccess, cap);
        entry.m_nWriteTime = std::min(times->lastWrite, cap);
    }
    SetFileVersionFacts(entry, item.GetOption(OptDestination), path);
    if (state.state == kDelta) {
        entry.m_nFlags |= kEntryDelta;
    } else if (item.GetOption(OptKeepExternal) == OptionOn) {
        entry.m_nFlags |= kEntryExternal;
    }
    return entry;
}

void CInstallBuild::AppendSummary()
{
    m_report.AddLine("");
    m_report.AddLine(LoadString(kResultTitle));
    m_report.AddLine(FormatCount(kResultFiles, m_result.storedFiles));
    m_report.AddLine(FormatCount(kResultUncompressed, m_result.uncompressedBytes));
    m_report.AddLine(FormatCount(kResultCompressed, m_result.compressedBytes));
    m_report.AddLine(FormatCount(kResultProgramSize, m_result.programSize));
}

void CInstallBuild::Cleanup(bool keepOutput)
{
    // Running jobs stop at their next step; their data and temporary files go with them.
    m_pool.reset();
    m_pending.clear();
    m_stored.clear();
    m_data.reset();
    if (m_output) {
        try {
            m_output->Close();
        } catch (const std::exception&) {
        }
        m_output.reset();
    }
    if (m_dataWriter) m_result.continuationFiles = m_dataWriter->ContinuationFiles();
    // Once a disk change has begun, the disks written so far stay as they are.
    if (!keepOutput && m_bOutputCreated && m_result.continuationFiles == 0) {
        m_disks.DeleteFile(m_strWritePath);
    }
    m_dataTemp.reset();
}

const CFileItem& CInstallBuild::Item(size_t v, int index) const
{
    return m_project.m_versions[v].m_files[static_cast<size_t>(index)];
}

const std::string& CInstallBuild::HostPath(size_t v, int index) const
{
    return m_files[v].hostPaths[static_cast<size_t>(index)];
}

uint32_t CInstallBuild::DataPosition() const
{
    const uint64_t position = m_data->GetPosition();
    CheckDataStreamLength(m_settings.outputPath, position);
    return static_cast<uint32_t>(position);
}

}  // namespace velkan
