#include "runtime/WorkerThreads.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace velkan::runtime {

namespace {

struct CThreadJob {
    const std::function<void(size_t)>* body;
    size_t index;
};

DWORD WINAPI RunJob(void* parameter)
{
    const auto* job = static_cast<const CThreadJob*>(parameter);
    (*job->body)(job->index);
    return 0;
}

}  // namespace

size_t UsefulThreadCount(size_t limit)
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return std::clamp<size_t>(info.dwNumberOfProcessors, 1, std::max<size_t>(limit, 1));
}

void RunOnThreads(size_t count, const std::function<void(size_t)>& body)
{
    std::vector<CThreadJob> jobs;
    for (size_t i = 1; i < count; ++i) jobs.push_back({&body, i});
    std::vector<HANDLE> threads;
    std::vector<size_t> notStarted;
    for (CThreadJob& job : jobs) {
        HANDLE thread = CreateThread(nullptr, 0, RunJob, &job, 0, nullptr);
        if (thread) {
            threads.push_back(thread);
        } else {
            notStarted.push_back(job.index);
        }
    }
    body(0);
    for (size_t index : notStarted) body(index);
    for (HANDLE thread : threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

}  // namespace velkan::runtime
