// The names of the continuation files of a setup program spread over several disks (".D01",
// ".D02", ...): the build writes them, readers look for them beside the program.
#pragma once

#include <string>

namespace velkan {

// The path of continuation file n (1, 2, ...): the setup program's path with everything from the
// last '.' of its file name replaced by ".D%2.2d" of n, or that suffix appended when the file name
// has no '.'. Both '/' and '\' end a directory name, so a '.' in a directory is never touched.
std::string ContinuationFileName(const std::string& path, int n);

}  // namespace velkan
