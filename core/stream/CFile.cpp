#include "core/stream/CFile.h"

#include <cerrno>
#include <cstring>

#include "core/stream/CFileException.h"

namespace velkan {

CFile::CFile(const std::string& path, Mode mode) : m_path(path)
{
    const char* how = mode == Mode::Read ? "rb" : mode == Mode::Create ? "wb" : "r+b";
    m_file = std::fopen(path.c_str(), how);
    if (!m_file) Fail(mode == Mode::Read ? "cannot open for reading" : "cannot open for writing");
}

CFile::~CFile()
{
    if (m_file) std::fclose(m_file);
}

void CFile::Fail(const std::string& what) const
{
    int err = errno;
    throw CFileException(m_path, err ? what + " (" + std::strerror(err) + ")" : what);
}

size_t CFile::Read(void* buffer, size_t size)
{
    errno = 0;
    size_t n = std::fread(buffer, 1, size, m_file);
    if (n < size && std::ferror(m_file)) Fail("read error");
    return n;
}

void CFile::ReadExact(void* buffer, size_t size)
{
    if (Read(buffer, size) != size) {
        errno = 0;
        Fail("unexpected end of file");
    }
}

void CFile::Write(const void* data, size_t size)
{
    errno = 0;
    if (size && std::fwrite(data, 1, size, m_file) != size) Fail("write error");
}

uint64_t CFile::GetPosition() const
{
    errno = 0;
    off_t pos = ftello(m_file);
    if (pos < 0) Fail("cannot get the file position");
    return static_cast<uint64_t>(pos);
}

void CFile::Seek(uint64_t position)
{
    errno = 0;
    if (fseeko(m_file, static_cast<off_t>(position), SEEK_SET) != 0) Fail("seek error");
}

void CFile::SeekToEnd()
{
    errno = 0;
    if (fseeko(m_file, 0, SEEK_END) != 0) Fail("seek error");
}

uint64_t CFile::GetLength() const
{
    errno = 0;
    off_t here = ftello(m_file);
    if (here < 0 || fseeko(m_file, 0, SEEK_END) != 0) Fail("cannot get the file length");
    off_t end = ftello(m_file);
    if (end < 0 || fseeko(m_file, here, SEEK_SET) != 0) Fail("cannot get the file length");
    return static_cast<uint64_t>(end);
}

void CFile::Flush()
{
    errno = 0;
    if (std::fflush(m_file) != 0) Fail("write error");
}

void CFile::Close()
{
    if (!m_file) return;
    errno = 0;
    std::FILE* f = m_file;
    m_file = nullptr;
    if (std::fclose(f) != 0) Fail("write error");
}

}  // namespace velkan
