#include "runtime/CWinPackageInput.h"

#include <windows.h>

#include "core/package/CPackageException.h"
#include "core/stream/JoinText.h"
#include "runtime/CInstallError.h"
#include "runtime/WinText.h"

namespace velkan::runtime {

CWinPackageInput::CWinPackageInput(const std::wstring& path) : m_strName(ToUtf8(path))
{
    m_hFile = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) {
        throw CInstallError({"cannot open ", m_strName, ": ", SystemMessage(GetLastError())});
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size)) {
        DWORD code = GetLastError();
        CloseHandle(m_hFile);
        throw CInstallError({"cannot get the size of ", m_strName, ": ", SystemMessage(code)});
    }
    m_nLength = static_cast<uint64_t>(size.QuadPart);
}

CWinPackageInput::~CWinPackageInput()
{
    CloseHandle(m_hFile);
}

std::unique_ptr<IPackageInput> CWinPackageInput::TryOpen(const std::wstring& path)
{
    try {
        return std::make_unique<CWinPackageInput>(path);
    } catch (const CInstallError&) {
        return nullptr;
    }
}

void CWinPackageInput::ReadAt(uint64_t position, void* buffer, size_t size)
{
    if (position > m_nLength || size > m_nLength - position) {
        throw CPackageException({m_strName, ": ", size, " bytes at offset ", position,
                                 " pass the end of the file (", m_nLength, " bytes)"});
    }
    auto* out = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        // A plain read at the current position: most reads continue where the last one ended, and
        // a read with a position of its own costs Wine a round trip to its server.
        if (position != m_nFilePos) {
            LARGE_INTEGER to;
            to.QuadPart = static_cast<LONGLONG>(position);
            if (!SetFilePointerEx(m_hFile, to, nullptr, FILE_BEGIN)) {
                throw CPackageException({m_strName, ": cannot seek to offset ", position, ": ",
                                         SystemMessage(GetLastError())});
            }
            m_nFilePos = position;
        }
        DWORD want = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(m_hFile, out, want, &got, nullptr) || got == 0) {
            m_nFilePos = UINT64_MAX;
            throw CPackageException({m_strName, ": read error at offset ", position, ": ",
                                     SystemMessage(GetLastError())});
        }
        out += got;
        position += got;
        size -= got;
        m_nFilePos = position;
    }
}

}  // namespace velkan::runtime
