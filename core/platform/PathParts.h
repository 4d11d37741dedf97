// The directory and the file name of a setup program's path. Both '/' and '\' end a directory
// name, as in the rule that names its continuation files, so a Windows path splits the same way.
#pragma once

#include <string>

namespace velkan {

// Everything up to and including the last separator, or "." when there is none.
std::string DirectoryOf(const std::string& path);
// Everything after the last separator, or the whole path when there is none.
std::string FileNameOf(const std::string& path);

}  // namespace velkan
