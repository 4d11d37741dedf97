// The local file system as the target of a build: drive type and free space for the spanning
// decision, and files written either strictly or "directly" (as much as the disk takes).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/IDiskFile.h"

namespace velkan {

// True when the path lies on a removable medium: on Linux, when the block device of the
// mount that holds it (or its parent, for a path still to be created) reports itself removable.
bool IsRemovableMedium(const std::string& path);

struct DiskFreeSpace {
    uint32_t bytesPerCluster = 0;
    uint32_t freeClusters = 0;
};
// The free space of the file system that holds path (or its parent directory).
std::optional<DiskFreeSpace> GetDiskFreeSpace(const std::string& path);

// Creates or truncates a file for writing. Throws CFileException naming it.
std::unique_ptr<IDiskFile> CreateLocalDiskFile(const std::string& path);

// Entry names of a directory without "." and ".."; empty when it cannot be read.
std::vector<std::string> ListDirectoryNames(const std::string& dir);

}  // namespace velkan
