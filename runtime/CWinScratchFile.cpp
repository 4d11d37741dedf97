#include "runtime/CWinScratchFile.h"

#include <windows.h>

#include <cstdlib>

#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "runtime/RuntimePaths.h"

namespace velkan::runtime {

namespace {

// Files are rebuilt on several threads at once: the folder is made once, under the lock.
SRWLOCK g_lock = SRWLOCK_INIT;
std::wstring g_privateDir;
LONG g_counter = 0;

void RemovePrivateDir()
{
    if (!g_privateDir.empty()) RemoveTree(g_privateDir);
}

// The folder as the C library's narrow file functions can open it: the short form is plain ASCII.
std::string NarrowPath(const std::wstring& path)
{
    wchar_t shortPath[MAX_PATH] = L"";
    DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    std::wstring use = (n > 0 && n < MAX_PATH) ? std::wstring(shortPath) : path;
    int size = WideCharToMultiByte(CP_ACP, 0, use.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_ACP, 0, use.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

CWinScratchFile::CWinScratchFile()
{
    AcquireSRWLockExclusive(&g_lock);
    try {
        if (g_privateDir.empty()) {
            g_privateDir = MakePrivateTempDir();
            std::atexit(RemovePrivateDir);
        }
    } catch (...) {
        ReleaseSRWLockExclusive(&g_lock);
        throw;
    }
    std::wstring privateDir = g_privateDir;
    ReleaseSRWLockExclusive(&g_lock);
    const std::string base = NarrowPath(privateDir);
    std::string candidate =
        base + "\\vkd" + std::to_string(InterlockedIncrement(&g_counter)) + ".tmp";
    CFile reserve(candidate, CFile::Mode::Create);
    reserve.Close();
    m_path = candidate;
}

CWinScratchFile::~CWinScratchFile()
{
    if (!m_path.empty()) DeleteFileA(m_path.c_str());
}

}  // namespace velkan::runtime
