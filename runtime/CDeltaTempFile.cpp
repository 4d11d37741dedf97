// The runtime's own CDeltaTempFile (the engine's class, declared in core/delta): the engine's
// version reaches the temporary directory through std::filesystem, which would pull the whole
// locale machinery into every setup program. Here the scratch files of large delta references
// go into a private folder of this run, made on first use and removed at exit.
#include "core/delta/CDeltaTempFile.h"

#include <windows.h>

#include <cstdlib>

#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "runtime/RuntimePaths.h"

namespace velkan {

namespace {

// Files are rebuilt on several threads at once: the folder is made once, under the lock.
SRWLOCK g_lock = SRWLOCK_INIT;
std::wstring g_privateDir;
LONG g_counter = 0;

void RemovePrivateDir()
{
    if (!g_privateDir.empty()) runtime::RemoveTree(g_privateDir);
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

CDeltaTempFile::CDeltaTempFile(const std::string& dir)
{
    std::string base = dir;
    if (base.empty()) {
        AcquireSRWLockExclusive(&g_lock);
        try {
            if (g_privateDir.empty()) {
                g_privateDir = runtime::MakePrivateTempDir();
                std::atexit(RemovePrivateDir);
            }
        } catch (...) {
            ReleaseSRWLockExclusive(&g_lock);
            throw;
        }
        std::wstring privateDir = g_privateDir;
        ReleaseSRWLockExclusive(&g_lock);
        base = NarrowPath(privateDir);
    }
    std::string candidate =
        base + "\\vkd" + std::to_string(InterlockedIncrement(&g_counter)) + ".tmp";
    CFile reserve(candidate, CFile::Mode::Create);
    reserve.Close();
    m_path = candidate;
}

CDeltaTempFile::~CDeltaTempFile()
{
    if (!m_path.empty()) DeleteFileA(m_path.c_str());
}

}  // namespace velkan
