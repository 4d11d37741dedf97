// Replacing a file without ever leaving it half-written: the new bytes go to a temporary file
// beside the target, which is renamed over it only once everything was written and flushed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/stream/CFile.h"

namespace velkan {

// Writes bytes to path through a temporary file beside it. Throws CFileException naming path;
// on failure the previous file is untouched and the temporary file removed.
void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes);

// The same for a writer that streams into the temporary file; any exception from it leaves
// path untouched and removes the temporary file.
void WriteFileAtomically(const std::string& path, const std::function<void(CFile&)>& writer);

// A name beside path that no other build picks: the target's name, a random part and ".tmp".
std::string TemporaryNameBeside(const std::string& path);

// Reads a whole file. Throws CFileException naming path.
std::vector<unsigned char> ReadWholeFile(const std::string& path);

}  // namespace velkan
