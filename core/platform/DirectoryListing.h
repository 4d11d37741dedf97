// Directory enumeration for the scans of the engine.
#pragma once

#include <string>
#include <vector>

namespace velkan {

struct CDirEntry {
    std::string name;  // host file name (UTF-8), without the directory
    bool isDirectory = false;
    bool isLink = false;      // a symbolic link (to a file or a directory)
    bool isRegular = false;   // a regular file (through the link, for a link)
    bool isDangling = false;  // a link whose target does not exist
};

// The entries of a host directory except "." and "..", ordered as the target file system lists
// them (by name, without regard to case) so that scans give the same list on every host.
// isDirectory and isRegular follow symbolic links; a dangling link is neither. Throws
// CFileException.
std::vector<CDirEntry> ListDirectory(const std::string& dir);

}  // namespace velkan
