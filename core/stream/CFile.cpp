#include "core/stream/CFile.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

#include "core/stream/CFileException.h"

namespace velkan {

#ifndef _WIN32
namespace {

// What a file that is not a regular one is, for the refusal.
const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

}  // namespace
#endif

CFile::CFile(const std::string& path, Mode mode) : m_path(path)
{
    if (mode != Mode::Read) {
        m_file = std::fopen(path.c_str(), mode == Mode::Create ? "wb" : "r+b");
        if (!m_file) Fail("cannot open for writing");
        return;
    }
#ifdef _WIN32
    // The install runtime reads none of its inputs through this class.
    m_file = std::fopen(path.c_str(), "rb");
    if (!m_file) Fail("cannot open for reading");
#else
    // Every input is read from a regular file only: a FIFO would block the open or the read
    // forever and a device feed bytes without end. Opening without blocking lets a FIFO be
    // refused at once; the flag is cleared again for the regular file.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail("cannot open for reading");
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        int error = errno;
        close(fd);
        errno = error;
        Fail("cannot open for reading");
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        errno = 0;
        Fail(std::string("refused: it is ") + KindOf(st.st_mode) +
             ", and only regular files are read");
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || !(m_file = fdopen(fd, "rb"))) {
        int error = errno;
        close(fd);
        errno = error;
        Fail("cannot open for reading");
    }
#endif
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
