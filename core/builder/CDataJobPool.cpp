#include "core/builder/CDataJobPool.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "core/builder/CChecksumSource.h"
#include "core/builder/StoreLimits.h"
#include "core/compress/CCompressor.h"
#include "core/delta/CDeltaEncoder.h"
#include "core/model/CUserAbort.h"
#include "core/package/PackageChecksum.h"
#include "core/stream/CFile.h"

namespace velkan {

namespace {

// A worker's progress: nothing is shown off the main thread; each step only looks whether the
// build is stopping.
class CStopCheck : public IDeltaProgress {
public:
    explicit CStopCheck(const std::atomic<bool>& cancel) : m_cancel(cancel) {}
    uint32_t GetShownPosition() const override { return m_position; }
    void ShowPosition(uint32_t position) override
    {
        m_position = position;
        if (m_cancel.load(std::memory_order_relaxed)) throw CUserAbort();
    }

private:
    const std::atomic<bool>& m_cancel;
    uint32_t m_position = 0;
};

}  // namespace

unsigned CDataJobPool::ThreadsFor(unsigned n)
{
    if (n > 0) return std::min(n, kMaxThreads);
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, kMaxDefaultThreads);
}

CDataJobPool::CDataJobPool(unsigned threads, CBuildProgress& progress, CCompressor& compressor,
                           std::string tempDir, DeltaSearch deltaSearch)
    : m_nThreads(threads == 0 ? 1 : threads),
      m_progress(progress),
      m_compressor(compressor),
      m_tempDir(std::move(tempDir)),
      m_deltaSearch(deltaSearch)
{
    if (m_nThreads <= 1) return;
    m_threads.reserve(m_nThreads);
    for (unsigned i = 0; i < m_nThreads; ++i) m_threads.emplace_back([this] { WorkerLoop(); });
}

CDataJobPool::~CDataJobPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_cancel = true;
    m_wake.notify_all();
    for (std::thread& t : m_threads) t.join();
}

void CDataJobPool::Submit(const std::shared_ptr<DataJob>& job)
{
    if (m_threads.empty()) {
        // Errors and a stop leave the build at once, as without a pool.
        Run(*job, m_compressor, false);
        job->done = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(job);
    }
    m_wake.notify_one();
}

void CDataJobPool::Wait(DataJob& job, const std::function<void()>& pump)
{
    if (!m_threads.empty()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!job.done) {
            if (m_done.wait_for(lock, std::chrono::milliseconds(50), [&] { return job.done; }))
                break;
            lock.unlock();
            pump();
            lock.lock();
        }
    }
    if (job.error) std::rethrow_exception(job.error);
}

void CDataJobPool::WorkerLoop()
{
    CCompressor compressor;
    for (;;) {
        std::shared_ptr<DataJob> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        std::exception_ptr error;
        try {
            Run(*job, compressor, true);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            job->error = error;
            job->done = true;
        }
        m_done.notify_all();
    }
}

void CDataJobPool::Run(DataJob& job, CCompressor& compressor, bool onWorker)
{
    CStopCheck stopCheck(m_cancel);
    if (job.kind == DataJob::Kind::Delta) {
        {
            CFile file(job.path, CFile::Mode::Read);
            job.checksum = FileChecksum(file, &job.length);
        }
        CheckStoredFileLength(job.path, job.length);
        IDeltaProgress* progress =
            onWorker ? static_cast<IDeltaProgress*>(&stopCheck) : &m_progress;
        EncodeDelta(job.data, job.path, job.referencePath, progress, job.rangeStart, job.rangeEnd,
                    m_tempDir, m_deltaSearch);
        return;
    }

    CFile file(job.path, CFile::Mode::Read);
    const uint64_t expected = file.GetLength();
    CheckStoredFileLength(job.path, expected);
    CChecksumSource source(file);
    compressor.Reset();
    if (onWorker) {
        compressor.SetProgressProc(
            [this](uint32_t, uint32_t) {
                if (m_cancel.load(std::memory_order_relaxed)) throw CUserAbort();
            },
            0);
    } else {
        m_progress.SetRange(job.rangeStart, job.rangeEnd, expected);
        compressor.SetProgressProc(
            [this](uint32_t consumed, uint32_t) { m_progress.Update(consumed); }, 0);
    }
    if (compressor.CompressFile(job.data, source, expected) == 0) throw std::bad_alloc();
    job.checksum = source.Checksum();
    job.length = source.Length();
}

}  // namespace velkan
