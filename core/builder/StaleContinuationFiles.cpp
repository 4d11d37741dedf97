#include "core/builder/StaleContinuationFiles.h"

#include <cstdio>
#include <sys/stat.h>

#include "core/package/ContinuationFileName.h"
#include "core/stream/CFile.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

namespace {

bool IsContinuationFile(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 4) return false;
    try {
        CFile file(path, CFile::Mode::Read);
        unsigned char length[4];
        if (file.Read(length, 4) != 4) return false;
        return LoadLE32(length) == static_cast<uint64_t>(info.st_size) - 4;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::vector<std::string> RemoveStaleContinuationFiles(const std::string& program, int written)
{
    std::vector<std::string> removed;
    for (int n = written + 1;; ++n) {
        const std::string path = ContinuationFileName(program, n);
        if (!IsContinuationFile(path) || std::remove(path.c_str()) != 0) break;
        removed.push_back(path);
    }
    return removed;
}

}  // namespace velkan
