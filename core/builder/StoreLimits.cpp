#include "core/builder/StoreLimits.h"

#include "core/stream/CFileException.h"

namespace velkan {

void CheckStoredFileLength(const std::string& path, uint64_t length)
{
    if (length > kMaxStoredBytes) {
        throw CFileException(path, "files of 4 GB or more cannot be stored in a setup program");
    }
}

void CheckDataStreamLength(const std::string& programPath, uint64_t length)
{
    if (length > kMaxStoredBytes) {
        throw CFileException(programPath, "the data of a setup program is limited to 4 GB");
    }
}

}  // namespace velkan
