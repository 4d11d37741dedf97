// A build that writes fewer continuation files than an earlier build of the same program left
// (".D01", ".D02", ...) would leave pieces that read as part of the new set. The files removed are
// only those that follow the new set without a gap and hold what a continuation file holds: a
// chunk length that counts exactly the bytes after it.
#pragma once

#include <string>
#include <vector>

namespace velkan {

// Removes continuation files written + 1, written + 2, ... of program (a host path) while each
// exists and is a continuation file; returns the paths removed.
std::vector<std::string> RemoveStaleContinuationFiles(const std::string& program, int written);

}  // namespace velkan
