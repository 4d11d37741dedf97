#include "runtime/CProductLock.h"

#include <windows.h>

#include "core/stream/JoinText.h"
#include "runtime/CRunLog.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

CProductLock::~CProductLock()
{
    if (m_bOwned) ReleaseMutex(m_hMutex);
    if (m_hMutex) CloseHandle(m_hMutex);
}

bool CProductLock::Acquire(const std::wstring& productId, CRunLog& log)
{
    std::wstring name = L"Global\\VelkanSetup-" + productId;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        name = L"Local\\VelkanSetup-" + productId;
        mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    }
    if (!mutex) return true;  // no mutex to be had: nothing to share it with either
    m_hMutex = mutex;
    log.Line({"one run at a time: ", ToUtf8(name)});
    DWORD wait = WaitForSingleObject(mutex, 0);
    m_bOwned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return m_bOwned;
}

}  // namespace velkan::runtime
