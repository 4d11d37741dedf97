#include "core/platform/LocalDisk.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "core/stream/CFileException.h"

namespace velkan {

namespace {

// The path itself when it exists, else its parent directory (a setup program not yet written).
std::string ExistingPathFor(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0) return path;
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class CLocalDiskFile : public IDiskFile {
public:
    CLocalDiskFile(std::string path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    ~CLocalDiskFile() override
    {
        if (m_fd >= 0) close(m_fd);
    }

    void Write(const void* data, size_t size) override
    {
        DirectResult r = WriteDirect(data, size);
        if (r.written != size) {
            throw CFileException(
                m_path, r.diskFull ? "the disk is full" : "write error (" + r.message + ")");
        }
    }

    DirectResult WriteDirect(const void* data, size_t size) override
    {
        DirectResult r;
        const auto* p = static_cast<const unsigned char*>(data);
        while (r.written < size) {
            ssize_t n = ::write(m_fd, p + r.written, size - r.written);
            if (n > 0) {
                r.written += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n == 0 || errno == ENOSPC || errno == EDQUOT) {
                r.diskFull = true;
            } else {
                r.error = errno;
                r.message = std::strerror(errno);
            }
            break;
        }
        return r;
    }

    uint64_t GetPosition() const override
    {
        off_t pos = lseek(m_fd, 0, SEEK_CUR);
        if (pos < 0) throw CFileException(m_path, "cannot get the file position");
        return static_cast<uint64_t>(pos);
    }
    void Seek(uint64_t position) override
    {
        if (lseek(m_fd, static_cast<off_t>(position), SEEK_SET) < 0) {
            throw CFileException(m_path, "seek error");
        }
    }
    void SeekToEnd() override
    {
        if (lseek(m_fd, 0, SEEK_END) < 0) throw CFileException(m_path, "seek error");
    }
    void Close() override
    {
        if (m_fd < 0) return;
        int fd = m_fd;
        m_fd = -1;
        if (close(fd) != 0)
            throw CFileException(m_path, std::string("write error (") + std::strerror(errno) + ")");
    }

private:
    std::string m_path;
    int m_fd;
};

}  // namespace

bool IsRemovableMedium(const std::string& path)
{
    struct stat st;
    if (stat(ExistingPathFor(path).c_str(), &st) != 0) return false;
    // /sys/dev/block/MAJ:MIN is the partition or disk; a partition's parent holds "removable".
    std::string base = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" +
                       std::to_string(minor(st.st_dev));
    for (const char* candidate : {"/removable", "/../removable"}) {
        std::ifstream in(base + candidate);
        int flag = 0;
        if (in >> flag) return flag == 1;
    }
    return false;
}

std::optional<DiskFreeSpace> GetDiskFreeSpace(const std::string& path)
{
    struct statvfs sv;
    if (statvfs(ExistingPathFor(path).c_str(), &sv) != 0) return std::nullopt;
    DiskFreeSpace s;
    unsigned long unit = sv.f_frsize ? sv.f_frsize : sv.f_bsize;
    s.bytesPerCluster = unit > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(unit);
    s.freeClusters = sv.f_bavail > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(sv.f_bavail);
    return s;
}

std::unique_ptr<IDiskFile> CreateLocalDiskFile(const std::string& path)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        throw CFileException(path,
                             std::string("cannot create the file (") + std::strerror(errno) + ")");
    }
    return std::make_unique<CLocalDiskFile>(path, fd);
}

std::vector<std::string> ListDirectoryNames(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            names.push_back(e->d_name);
        }
    }
    closedir(d);
    return names;
}

}  // namespace velkan
