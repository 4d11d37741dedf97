#include "runtime/CWinFileSink.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "core/stream/JoinText.h"
#include "runtime/CInstallError.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

namespace {
// Small writes (the delta decoder hands over short pieces) are gathered up to kWritePiece; larger
// ones go straight to the file. No big buffer per file: freeing one makes the heap give its pages
// back and take them again for the next file, which is slow under Wine.
constexpr size_t kSmallWrite = 4 * 1024;
constexpr size_t kWritePiece = 32 * 1024;

HANDLE CreateOrThrow(const std::wstring& path, DWORD disposition)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD code = GetLastError();
    if (file == INVALID_HANDLE_VALUE &&
        !(disposition == CREATE_NEW &&
          (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS))) {
        throw CInstallError({"cannot create ", ToUtf8(path), ": ", SystemMessage(code)});
    }
    return file;
}
}  // namespace

CWinFileSink::CWinFileSink(const std::wstring& path)
    : CWinFileSink(path, CreateOrThrow(path, CREATE_ALWAYS))
{
}

CWinFileSink::CWinFileSink(const std::wstring& path, void* handle)
    : m_hFile(handle), m_strPath(path)
{
}

std::unique_ptr<CWinFileSink> CWinFileSink::CreateNew(const std::wstring& path)
{
    HANDLE file = CreateOrThrow(path, CREATE_NEW);
    if (file == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_FILE_EXISTS);
        return nullptr;
    }
    return std::unique_ptr<CWinFileSink>(new CWinFileSink(path, file));
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
    if (size < kSmallWrite && m_nBuffered + size <= kWritePiece) {
        if (!m_buffer) m_buffer = std::make_unique<char[]>(kWritePiece);
        std::memcpy(m_buffer.get() + m_nBuffered, data, size);
        m_nBuffered += size;
        return;
    }
    Flush();
    WriteThrough(data, size);
}

void CWinFileSink::Flush()
{
    if (m_nBuffered == 0) return;
    WriteThrough(m_buffer.get(), m_nBuffered);
    m_nBuffered = 0;
}

void CWinFileSink::WriteThrough(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(m_hFile, p, piece, &written, nullptr) || written != piece) {
            DWORD error = GetLastError();
            throw CInstallError(
                {"cannot write to ", ToUtf8(m_strPath), ": ", SystemMessage(error)});
        }
        p += piece;
        size -= piece;
    }
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
        throw CInstallError({"cannot write to ", ToUtf8(m_strPath), ": ", SystemMessage(code)});
    }
}

}  // namespace velkan::runtime
