// The disk host for builds onto the local file system; the person-facing prompts stay with the
// program (the command line or the editor) that derives from it.
#pragma once

#include "core/builder/IDiskHost.h"

namespace velkan {

class CLocalDiskHost : public IDiskHost {
public:
    bool IsRemovable(const std::string& root) override { return IsRemovableMedium(root); }
    std::optional<DiskFreeSpace> GetFreeSpace(const std::string& root) override
    {
        return GetDiskFreeSpace(root);
    }
    std::unique_ptr<IDiskFile> CreateFile(const std::string& path) override
    {
        return CreateLocalDiskFile(path);
    }
    std::vector<std::string> ListDirectory(const std::string& dir) override
    {
        return ListDirectoryNames(dir);
    }
    void DeleteFile(const std::string& path) override;
    void ReplaceFile(const std::string& from, const std::string& to) override;
};

}  // namespace velkan
