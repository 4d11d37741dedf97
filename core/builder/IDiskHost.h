// What writing a setup program needs from the disk it goes to and from the person changing disks:
// drive type and free space for the spanning decision, file creation and directory listing on the
// target, and the three prompts of a disk change. The real host uses the local file system; tests
// simulate disks of any size and script the answers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/IDiskFile.h"
#include "core/platform/LocalDisk.h"

namespace velkan {

class IDiskHost {
public:
    virtual ~IDiskHost() = default;

    // --- the target's file system ---
    virtual bool IsRemovable(const std::string& root) = 0;
    // True when the program is written in place rather than beside its target and put in place
    // at the end: on a removable disk, a spanned program fills the disk, with no room for a
    // second copy.
    virtual bool WritesInPlace(const std::string& root) { return IsRemovable(root); }
    virtual std::optional<DiskFreeSpace> GetFreeSpace(const std::string& root) = 0;
    // Creates (or truncates) a file for writing; throws CFileException naming it.
    virtual std::unique_ptr<IDiskFile> CreateFile(const std::string& path) = 0;
    // The names of the entries of a directory, without "." and ".."; empty when it cannot be read.
    virtual std::vector<std::string> ListDirectory(const std::string& dir) = 0;
    virtual void DeleteFile(const std::string& path) = 0;
    // Puts the complete file from in place of to (replacing it at once); throws CFileException
    // naming to.
    virtual void ReplaceFile(const std::string& from, const std::string& to) = 0;

    // --- the person ---
    // "Please insert disk number %d." OK / Cancel: true for OK.
    virtual bool AskInsertDisk(int diskNumber) = 0;
    // "This disk contains files. ..." with an OK button.
    virtual void NotifyDiskHoldsFiles() = 0;
    // "Error: %s\n\nPlease insert disk number %d." Retry / Cancel: true for Retry.
    virtual bool AskRetryDisk(const std::string& error, int diskNumber) = 0;
};

}  // namespace velkan
