// One run at a time per product: a setup run or an uninstall holds a named mutex derived from the
// product identity ("Global\VelkanSetup-" and its 16 hex digits; the session's own namespace when
// the global one is closed to us) for as long as it changes the machine.
#pragma once

#include <string>

namespace velkan::runtime {

class CRunLog;

class CProductLock {
public:
    CProductLock() = default;
    ~CProductLock();
    CProductLock(const CProductLock&) = delete;
    CProductLock& operator=(const CProductLock&) = delete;

    // Takes the lock of the product; false when another run holds it (the lock's name is logged).
    bool Acquire(const std::wstring& productId, CRunLog& log);

private:
    void* m_hMutex = nullptr;
    bool m_bOwned = false;
};

}  // namespace velkan::runtime
