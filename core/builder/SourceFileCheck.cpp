#include "core/builder/SourceFileCheck.h"

#include <filesystem>

#include "core/package/EntryPath.h"
#include "core/package/ShownName.h"
#include "core/stream/CFileException.h"

namespace velkan {

void CheckSourceFile(const std::string& hostPath, const std::string& entryPath, bool read)
{
    std::string reason;
    if (SplitEntryPath(entryPath, reason).empty()) {
        throw CFileException(hostPath, "the path " + ShownName(entryPath) +
                                           " cannot be installed on Windows: " + reason);
    }
    if (!read) return;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::file_status status = fs::status(hostPath, ec);
    if (ec || status.type() == fs::file_type::not_found) return;
    if (status.type() != fs::file_type::regular) {
        throw CFileException(hostPath,
                             "not a regular file (a FIFO, socket, device or folder): "
                             "only regular files can be stored");
    }
}

}  // namespace velkan
