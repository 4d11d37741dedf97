#include "runtime/CWinFileSink.h"

#include <windows.h>

#include <algorithm>

#include "runtime/CInstallError.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

namespace {
// Writes are gathered into pieces of this size: the decoders hand over small blocks.
constexpr size_t kWritePiece = 256 * 1024;
}  // namespace

CWinFileSink::CWinFileSink(const std::wstring& path)
    : m_strPath(path)
{
    m_hFile = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        throw CInstallError("cannot create " + ToUtf8(path) + ": " + SystemMessage(GetLastError()));
    }
    m_buffer.reserve(kWritePiece);
}

CWinFileSink::~CWinFileSink()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        DeleteFileW(m_strPath.c_str());
    }
}

void CWinFileSink::Write(const void* data, size_t size)
{
    m_nWritten += size;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        size_t n = std::min(size, kWritePiece - m_buffer.size());
        m_buffer.append(p, n);
        p += n;
        size -= n;
        if (m_buffer.size() == kWritePiece) Flush();
    }
}

void CWinFileSink::Flush()
{
    if (m_buffer.empty()) return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &written, nullptr) ||
        written != m_buffer.size()) {
        throw CInstallError("cannot write to " + ToUtf8(m_strPath) + ": " + SystemMessage(GetLastError()));
    }
    m_buffer.clear();
}

void CWinFileSink::SetTimes(uint64_t created, uint64_t accessed, uint64_t written)
{
    m_bTimes = true;
    m_times[0] = created;
    m_times[1] = accessed;
    m_times[2] = written;
}

void CWinFileSink::Commit()
{
    Flush();
    if (m_bTimes) {
        FILETIME times[3];
        for (int i = 0; i < 3; ++i) {
            times[i].dwLowDateTime = static_cast<DWORD>(m_times[i]);
            times[i].dwHighDateTime = static_cast<DWORD>(m_times[i] >> 32);
        }
        // Set here, on the handle that wrote the file: no second open per file.
        SetFileTime(m_hFile, &times[0], &times[1], &times[2]);
    }
    HANDLE file = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file)) {
        DWORD code = GetLastError();
        DeleteFileW(m_strPath.c_str());
        throw CInstallError("cannot write to " + ToUtf8(m_strPath) + ": " + SystemMessage(code));
    }
}

}  // namespace velkan::runtime
