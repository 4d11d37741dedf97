#include "core/platform/CConfinedFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/InterruptCleanup.h"
#include "core/stream/CFileException.h"

namespace velkan {

namespace {

std::string ErrorText(int error)
{
    if (error == ELOOP || error == EMLINK) return "a symbolic link is in the way";
    if (error == ENOTDIR) return "a file is where a folder is expected";
    return std::strerror(error);
}

// Closes a descriptor when it goes out of scope.
class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd()
    {
        if (m_fd >= 0) close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    void Reset(int fd)
    {
        if (m_fd >= 0) close(m_fd);
        m_fd = fd;
    }
    int Get() const { return m_fd; }
    int Release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

class CFdSink : public IByteSink {
public:
    CFdSink(int fd, const std::string& display) : m_fd(fd), m_display(display) {}
    void Write(const void* data, size_t size) override
    {
        auto* p = static_cast<const char*>(data);
        while (size) {
            ssize_t n = ::write(m_fd, p, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw CFileException(m_display, "cannot write (" + ErrorText(errno) + ")");
            p += n;
            size -= static_cast<size_t>(n);
            m_written += static_cast<uint64_t>(n);
        }
    }
    uint64_t GetPosition() const override { return m_written; }

private:
    int m_fd;
    const std::string& m_display;
    uint64_t m_written = 0;
};

// A name nobody can guess ahead: a link planted under it in advance is not followed anyway
// (O_EXCL | O_NOFOLLOW), but a guessable name would let another user make every write fail.
std::string UnpredictableName()
{
    static std::random_device device;
    static const char digits[] = "0123456789abcdef";
    std::string name = ".vk-";
    for (int i = 0; i < 4; ++i) {
        unsigned value = device();
        for (int d = 0; d < 8; ++d) name += digits[(value >> (4 * d)) & 15];
    }
    return name + ".part";
}

}  // namespace

CConfinedFolder::CConfinedFolder(const std::string& path) : m_path(path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) throw CFileException(path, "cannot create the folder (" + ec.message() + ")");
    m_fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) throw CFileException(path, "cannot open the folder (" + ErrorText(errno) + ")");
}

CConfinedFolder::~CConfinedFolder()
{
    if (m_fd >= 0) close(m_fd);
}

void CConfinedFolder::WriteFile(const std::vector<std::string>& parts, const std::string& display,
                                const std::function<void(IByteSink&)>& writer)
{
    if (parts.empty()) throw CFileException(display, "no file name");
    for (const std::string& part : parts) {
        if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos) {
            throw CFileException(display, "a name that would leave the folder");
        }
    }
    CFd parent;
    int dir = m_fd;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const char* name = parts[i].c_str();
        int fd = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            if (mkdirat(dir, name, 0777) != 0 && errno != EEXIST) {
                throw CFileException(display, "cannot create the folder " + parts[i] + " (" +
                                                  ErrorText(errno) + ")");
            }
            fd = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (fd < 0) {
            int error = errno;
            struct stat info {};
            if ((error == ENOTDIR || error == ELOOP) &&
                fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
                error = ELOOP;
            }
            throw CFileException(
                display, "cannot open the folder " + parts[i] + " (" + ErrorText(error) + ")");
        }
        parent.Reset(fd);
        dir = fd;
    }

    std::string temp;
    CFd file;
    for (int attempt = 0; attempt < 16 && file.Get() < 0; ++attempt) {
        temp = UnpredictableName();
        file.Reset(
            openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.Get() < 0 && errno != EEXIST) {
            throw CFileException(display,
                                 "cannot create a temporary file (" + ErrorText(errno) + ")");
        }
    }
    if (file.Get() < 0) throw CFileException(display, "cannot create a temporary file");
    std::string tempPath = m_path;
    for (size_t i = 0; i + 1 < parts.size(); ++i) tempPath += "/" + parts[i];
    int guard = RegisterTempPath(tempPath + "/" + temp, false);
    try {
        CFdSink sink(file.Get(), display);
        writer(sink);
        // Private while incomplete; readable like an ordinary file once complete.
        if (fchmod(file.Get(), 0644) != 0) {
            throw CFileException(display, "cannot finish writing (" + ErrorText(errno) + ")");
        }
        if (close(file.Release()) != 0) {
            throw CFileException(display, "cannot finish writing (" + ErrorText(errno) + ")");
        }
        // rename replaces a link of that name; it never writes through it.
        if (renameat(dir, temp.c_str(), dir, parts.back().c_str()) != 0) {
            throw CFileException(display,
                                 "cannot put the file in place (" + ErrorText(errno) + ")");
        }
        UnregisterTempPath(guard);
    } catch (...) {
        file.Reset(-1);
        unlinkat(dir, temp.c_str(), 0);
        UnregisterTempPath(guard);
        throw;
    }
}

}  // namespace velkan
