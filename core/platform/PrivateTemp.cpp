#include "core/platform/PrivateTemp.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "core/stream/CFileException.h"

namespace velkan {

std::string MakePrivateTempDir(const std::string& base)
{
    std::error_code ec;
    std::string dir = base.empty() ? std::filesystem::temp_directory_path(ec).string() : base;
    if (ec) throw CFileException("", "no temporary folder (" + ec.message() + ")");
    std::string pattern = dir + (dir.empty() || dir.back() == '/' ? "" : "/") + "velkan-XXXXXX";
    std::vector<char> text(pattern.begin(), pattern.end());
    text.push_back('\0');
    if (!mkdtemp(text.data())) {
        throw CFileException(
            dir, std::string("cannot create a temporary folder (") + std::strerror(errno) + ")");
    }
    return text.data();
}

void CreatePrivateFile(const std::string& path)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw CFileException(
            path, std::string("cannot create a temporary file (") + std::strerror(errno) + ")");
    }
    close(fd);
}

}  // namespace velkan
