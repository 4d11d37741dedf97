// Prepares entries' data on several threads. Each stored file is an independent stream (packed
// whole, or coded as a delta against an earlier version's file), so the build hands them to a
// pool in entry order, keeps deciding the next entries meanwhile, and appends each result to
// the data stream in the same order: the setup program is the same whatever the thread count.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/builder/CBuildProgress.h"
#include "core/builder/CSpillSink.h"
#include "core/delta/DeltaSearch.h"

namespace velkan {

class CCompressor;

// One entry's data to prepare, and what came of it.
struct DataJob {
    enum class Kind { Pack, Delta };

    DataJob(Kind k, std::string file, std::string reference, uint32_t start, uint32_t end,
            const std::string& tempDir)
        : kind(k),
          path(std::move(file)),
          referencePath(std::move(reference)),
          rangeStart(start),
          rangeEnd(end),
          data(tempDir)
    {
    }

    Kind kind;
    std::string path;           // the file to store
    std::string referencePath;  // Delta: the earlier version's file
    uint32_t rangeStart;        // its share of the progress display
    uint32_t rangeEnd;

    CSpillSink data;  // the packed file or the delta
    uint32_t checksum = 0;
    uint64_t length = 0;

    // Where the build put the data in the data stream, once it has.
    uint32_t offset = 0;
    uint32_t packed = 0;

    bool done = false;  // guarded by the pool's mutex
    std::exception_ptr error;
};

class CDataJobPool {
public:
    // threads <= 1: no threads; each job runs when submitted, showing progress (and taking a
    // stop) through progress exactly as a build without a pool does, and throwing its errors.
    CDataJobPool(unsigned threads, CBuildProgress& progress, CCompressor& compressor,
                 std::string tempDir, DeltaSearch deltaSearch = DeltaSearch::Window);
    // Stops the running jobs at their next progress step and waits for the threads.
    ~CDataJobPool();
    CDataJobPool(const CDataJobPool&) = delete;
    CDataJobPool& operator=(const CDataJobPool&) = delete;

    // Each thread holds up to about 20 MB (its job and up to two finished ones waiting), so the
    // count is capped: by default at 16, on request at 64. Global delta search adds up to 3 bytes
    // per byte of the reference being coded against (at most 768 MiB, see CDeltaEncoder).
    static constexpr unsigned kMaxDefaultThreads = 16;
    static constexpr unsigned kMaxThreads = 64;

    unsigned Threads() const { return m_nThreads; }
    // The thread count for a request of n (0: one per processor).
    static unsigned ThreadsFor(unsigned n);

    void Submit(const std::shared_ptr<DataJob>& job);
    // Waits until job has run, calling pump about twenty times a second meanwhile (pump may throw
    // to stop the build); rethrows the job's error.
    void Wait(DataJob& job, const std::function<void()>& pump);

private:
    void WorkerLoop();
    void Run(DataJob& job, CCompressor& compressor, bool onWorker);

    unsigned m_nThreads;
    CBuildProgress& m_progress;
    CCompressor& m_compressor;
    std::string m_tempDir;
    DeltaSearch m_deltaSearch;

    std::mutex m_mutex;
    std::condition_variable m_wake;  // a job was queued, or the pool stops
    std::condition_variable m_done;  // a job finished
    std::deque<std::shared_ptr<DataJob>> m_queue;
    bool m_stopping = false;
    std::atomic<bool> m_cancel{false};
    std::vector<std::thread> m_threads;
};

}  // namespace velkan
