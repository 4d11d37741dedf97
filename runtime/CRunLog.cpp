#include "runtime/CRunLog.h"

#include <windows.h>

namespace velkan::runtime {

CRunLog::~CRunLog()
{
    if (m_hFile) CloseHandle(m_hFile);
}

bool CRunLog::Open(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    m_hFile = file;
    return true;
}

void CRunLog::Line(const std::string& text)
{
    if (!m_hFile) return;
    std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(m_hFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void CRunLog::Line(std::initializer_list<TextPiece> pieces)
{
    if (m_hFile) Line(JoinText(pieces));
}

}  // namespace velkan::runtime
