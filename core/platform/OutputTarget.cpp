#include "core/platform/OutputTarget.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"

namespace velkan {

namespace fs = std::filesystem;

namespace {

// The system's own limit on links followed in one lookup.
constexpr int kMaxLinks = 40;

std::string ErrorText(int error)
{
    return std::strerror(error);
}

}  // namespace

OutputTarget PrepareOutputTarget(const std::string& path)
{
    fs::path current = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                throw CFileException(path, "cannot examine the output (" + ErrorText(errno) + ")");
            }
            break;  // a new file: its folder is made below
        }
        if (!S_ISLNK(info.st_mode)) {
            if (S_ISREG(info.st_mode)) break;
            if (S_ISDIR(info.st_mode)) throw CFileException(path, "is a folder, not a file");
            if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode)) {
                return {OutputTarget::Kind::Stream, current.string()};
            }
            throw CFileException(path, "is neither a file, a device nor a FIFO");
        }
        if (hops == kMaxLinks) throw CFileException(path, "has too many levels of links");
        std::error_code ec;
        fs::path next = fs::read_symlink(current, ec);
        if (ec) throw CFileException(path, "cannot read the link (" + ec.message() + ")");
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    const fs::path folder = current.parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) {
            throw CFileException(
                path, "cannot create its folder " + folder.string() + " (" + ec.message() + ")");
        }
    }
    return {OutputTarget::Kind::File, current.string()};
}

void CopyIntoStream(const std::string& from, const std::string& to, const std::string& name)
{
    // Opened without O_TRUNC or O_CREAT: a device or FIFO is written into, never made anew.
    const int fd = to.empty() ? STDOUT_FILENO : open(to.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) throw CFileException(name, "cannot open the output (" + ErrorText(errno) + ")");
    try {
        CFile in(from, CFile::Mode::Read);
        unsigned char buffer[65536];
        for (;;) {
            const size_t n = in.Read(buffer, sizeof buffer);
            if (n == 0) break;
            for (size_t done = 0; done < n;) {
                const ssize_t w = write(fd, buffer + done, n - done);
                if (w < 0 && errno == EINTR) continue;
                if (w <= 0) {
                    throw CFileException(name,
                                         "cannot write the output (" + ErrorText(errno) + ")");
                }
                done += static_cast<size_t>(w);
            }
        }
    } catch (...) {
        if (fd != STDOUT_FILENO) close(fd);
        throw;
    }
    if (fd != STDOUT_FILENO && close(fd) != 0) {
        throw CFileException(name, "cannot write the output (" + ErrorText(errno) + ")");
    }
}

}  // namespace velkan
