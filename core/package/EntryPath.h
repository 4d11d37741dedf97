// The checked form of a file entry's path for writing it out (extraction, installation): the
// path comes from the package and is untrusted.
#pragma once

#include <string>
#include <vector>

namespace velkan {

// The path's components ('\' and '/' both separate; empty and "." components dropped). Returns
// an empty list, with the reason, for a path that could leave the target directory (an absolute
// path, a drive letter, a ".." component, no name at all) or that holds a name Windows would
// refuse or alter (WindowsNameProblem: a ':' naming an NTFS stream, a device name, ...).
std::vector<std::string> SplitEntryPath(const std::string& path, std::string& reason);

}  // namespace velkan
