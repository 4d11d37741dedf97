// Whether a string the install program writes into an installed file fits there. The install
// program writes the text and its 0 byte, cut to m_nReserved1 bytes when that is set (or padded
// to it when bit 0 of m_nReserved2 is set), at the offset or at the first match of the byte
// pattern, and refuses to write past the file's end. The editor and the build check the file as
// the source folder holds it, so the author hears of it before an install fails.
#pragma once

#include <optional>
#include <string>

#include "core/model/CFileInfo.h"

namespace velkan {

// The bytes the install program writes for info, or nullopt when a path macro in the text
// makes that known only at install time.
std::optional<uint64_t> FileStringWrittenSize(const CFileInfo& info);

// The host path of info's file in sourceDir (a host path, UTF-8), or nullopt when it cannot be told
// before installing: a path macro, or an absolute name.
std::optional<std::string> FileStringSourcePath(const std::string& sourceDir,
                                                const CFileInfo& info);

// Why the string does not fit in the file at hostPath ("the string of 12 bytes with its 0 byte
// does not fit at offset 16 of the 27-byte file"), or empty when it fits or cannot be told here
// (file not readable, text with a path macro). Windows-1252 text.
std::string FileStringFitProblem(const CFileInfo& info, const std::string& hostPath);

}  // namespace velkan
