// The build driver: turns a project into one setup program. It checks the icon folders, writes
// the stub and the project sections, stores every distinct file path of every version once per
// distinct content (taking data over from an equal earlier copy, coding a delta against the last
// differing plain copy, or packing the file whole), writes each version's sections and file
// table, and copies the collected data stream into the data section, spanning removable disks
// when one fills. A failed or cancelled build leaves no setup program behind (except the files
// of a spanned build once a disk change has begun) and never leaves temporary files.
#pragma once

#include <cstdint>
#include <functional>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/builder/CBuildProgress.h"
#include "core/builder/CBuildReport.h"
#include "core/builder/CDataJobPool.h"
#include "core/builder/CDataSectionWriter.h"
#include "core/builder/IBuildHost.h"
#include "core/builder/IDiskHost.h"
#include "core/compress/CCompressor.h"
#include "core/delta/CDeltaTempFile.h"
#include "core/package/CFileTableWriter.h"

namespace velkan {

class CDataArray;
class CData;
class CFile;
class CFileEntry;
class CFileItem;
class CSectionWriter;

struct BuildSettings {
    std::string outputPath;  // host path (UTF-8) of the setup program
    std::string tempDir;     // where temporary files go; empty: the system's temporary directory
    // When set, signs a file in place (host path): the uninstaller before it is embedded, then
    // the finished setup program. Throws to fail the build.
    std::function<void(const std::string&)> signFile = nullptr;
    // Threads that pack and code entries at once (0: one per processor). The setup program is
    // the same for every count.
    unsigned jobs = 0;
    // Opt-in: a file whose content equals an earlier stored entry's in the same version takes
    // over that entry's data instead of storing it again. Off: the specified output.
    bool shareEqualFiles = false;
    // Opt-in: deltas copy from anywhere in the earlier version (DeltaSearch::Global). Window:
    // the specified output.
    DeltaSearch deltaSearch = DeltaSearch::Window;
};

enum class BuildStatus {
    Built,             // the setup program is written
    NothingToInstall,  // no entry at all: the program was deleted ("Nothing to install! ...")
    Declined,          // icon-folder warnings were not accepted: nothing was written
    Cancelled,         // stopped by the person (or a refused disk): nothing kept but spanned disks
    Failed,            // a file or other error, shown through the host
};

struct BuildResult {
    BuildStatus status = BuildStatus::Failed;
    std::string error;  // the message of a failed build, host text (UTF-8: it names host paths)
    uint32_t storedFiles = 0;  // the report's counters
    uint64_t uncompressedBytes = 0;
    uint64_t compressedBytes = 0;
    uint64_t programSize = 0;  // as the summary counts it
    int continuationFiles = 0;
    std::vector<std::string> notes;  // the preparation's lines: defines used, files new and gone
};

// The message for a runtime resource this builder was made without.
std::string RuntimeResourceMissingText(int id);

// Builds the setup program at settings.outputPath (the project's m_strOutputPath as a host path,
// or another one the caller chose). A project needing a runtime resource this builder lacks
// fails before anything is written (RuntimeResourceMissingText).
BuildResult BuildInstallProgram(const CDataArray& project, CBuildReport& report, IBuildHost& host,
                                IDiskHost& disks, const BuildSettings& settings);

class CInstallBuild {
public:
    // A setup program's file tables address versions with 16 bits.
    static constexpr size_t kMaxVersions = 65535;

    CInstallBuild(const CDataArray& project, CBuildReport& report, IBuildHost& host,
                  IDiskHost& disks, BuildSettings settings);
    ~CInstallBuild();

    BuildResult Run();

private:
    // A version's decision for the path being stored.
    enum State { kUndecided = 0, kNoData = 1, kPlainCopy = 2, kDelta = 3 };
    struct VersionState {
        uint32_t offset = 0;
        uint32_t packed = 0;
        State state = kUndecided;
        uint32_t sourceVersion = 0;
        uint32_t sourceEntry = 0;
        int item = -1;  // index in the version's file list, -1 when it does not list the path
        // The data being prepared for this entry, or the one it takes over; offset and packed
        // are known once it is placed in the data stream.
        std::shared_ptr<DataJob> job;
    };
    // A decided entry waiting for its data to be placed; entries are added to the tables, and
    // data to the data stream, in the order they were decided.
    struct PendingEntry {
        size_t v = 0;
        VersionState state;
        // The entry stores its file (the summary counts it): its job's data, when it has one,
        // is placed with it; a file kept outside the program has none.
        bool stores = false;
    };
    // Where a version's data for the path comes from: an equal entry's data taken over, a
    // delta against an earlier version's file (reference), or the whole file.
    struct Source {
        enum Kind { kWholeFile, kDeltaFile, kTakenOver } kind = kWholeFile;
        size_t reference = 0;
    };
    // The bytes of the stored files of one report line.
    struct StoredNumbers {
        uint64_t size = 0;
        uint64_t packed = 0;
    };
    // A stored entry of one version, for --share-equal-files.
    struct StoredData {
        std::string path;  // host path of its file
        VersionState state;
        bool haveChecksum = false;
        uint32_t checksum = 0;
    };
    struct PendingPath {
        size_t pathIndex = 0;
        bool lineAdded = false;
        uint32_t barEnd = 0;
        std::vector<PendingEntry> entries;
    };
    // What one version's list holds, for lookups by path.
    struct VersionFiles {
        std::string sourceDir;                        // host path ending with '/'
        std::unordered_map<std::string, int> byPath;  // upper-cased m_strPath -> first index
        std::vector<uint64_t> lengths;                // per item, 0 when it cannot be opened
        // Per item, the file as found on the host; looked up once, since a build asks for
        // each path several times and each lookup stats the file.
        std::vector<std::string> hostPaths;
    };

    void Build();
    void CollectPaths();
    void WriteUninstaller(CSectionWriter& writer);
    void StorePath(size_t pathIndex);
    // Decides how version v stores the path (ChooseSource), and stores a delta or the whole
    // file; the data itself is prepared by the pool.
    void Decide(size_t v, uint32_t rangeStart, uint32_t rangeEnd);
    // Takes over the data of an equal earlier version's entry (or, with shareEqualFiles, of an
    // equal file of version v), or else picks the last earlier plain copy that differs as the
    // delta reference; sets the state's source. path is version v's file, length bytes long.
    Source ChooseSource(size_t v, const std::string& path, bool external, uint64_t length);
    // Counts one stored file in the summary and in its report line.
    void CountStored(StoredNumbers& line, uint64_t size, uint64_t packed);
    // The table entry; job: the entry's own job, whose reading gave checksum and length.
    CFileEntry MakeEntry(size_t v, const VersionState& state, const DataJob* job);
    void AddPending(size_t v, const VersionState& state, bool stores);
    // The stored entry of version v whose file equals path's (length bytes), or null.
    const VersionState* FindEqualStored(size_t v, const std::string& path, uint64_t length);
    void RememberStored(size_t v, const std::string& path, uint64_t length,
                        const VersionState& state);
    void Submit(size_t v, DataJob::Kind kind, const std::string& path, const std::string& reference,
                uint32_t rangeStart, uint32_t rangeEnd);
    // Places the data of finished paths; with wait, of all paths beyond the lookahead (all
    // paths when all is set).
    void CommitPaths(bool all);
    void CommitFront();
    void AppendSummary();
    void Cleanup(bool keepOutput);

    const CFileItem& Item(size_t v, int index) const;
    const std::string& HostPath(size_t v, int index) const;
    uint32_t DataPosition() const;

    const CDataArray& m_project;
    CBuildReport& m_report;
    IBuildHost& m_host;
    IDiskHost& m_disks;
    BuildSettings m_settings;
    BuildResult m_result;

    CBuildProgress m_progress;
    CCompressor m_compressor;
    std::unique_ptr<CDeltaTempFile> m_dataTemp;
    std::unique_ptr<CFile> m_data;
    std::unique_ptr<IDiskFile> m_output;
    bool m_bOutputCreated = false;
    std::string
        m_strWritePath;  // the file being written: a temporary beside the target, or the target
    std::unique_ptr<CDataSectionWriter> m_dataWriter;

    size_t m_nVersions = 0;
    std::vector<VersionFiles> m_files;
    std::vector<CFileTableWriter> m_tables;
    std::vector<VersionState> m_state;
    std::vector<uint32_t> m_entryCount;  // entries decided per version, placed or not
    std::unique_ptr<CDataJobPool> m_pool;
    std::deque<PendingPath> m_pending;
    std::vector<std::unordered_map<uint64_t, std::vector<StoredData>>>
        m_stored;  // per version, by length
    size_t m_nJobsPending = 0;
    std::vector<std::string> m_paths;     // distinct paths, as first listed
    std::vector<std::string> m_pathKeys;  // the same, upper-cased
    uint32_t m_nKey = 0;
    // SOURCE_DATE_EPOCH as a FILETIME: no recorded file time is later (reproducible builds).
    std::optional<uint64_t> m_timeCap;
    double m_fTotal = 0;
    double m_fDone = 0;
};

}  // namespace velkan
