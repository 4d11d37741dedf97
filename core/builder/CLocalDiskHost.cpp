#include "core/builder/CLocalDiskHost.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/stream/CFileException.h"

namespace velkan {

void CLocalDiskHost::DeleteFile(const std::string& path)
{
    std::remove(path.c_str());
}

void CLocalDiskHost::ReplaceFile(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        throw CFileException(
            to, std::string("cannot put the new file in place (") + std::strerror(errno) + ")");
    }
}

}  // namespace velkan
