// Loading and saving projects for velkanc commands, with errors that name the file and the fault.
#pragma once

#include <string>

#include "core/model/CDataArray.h"

namespace velkan::cli {

// Throws CommandError "PATH: Unexpected file format. (at byte N: ...)" and the like.
CDataArray LoadProjectOrFail(const std::string& path);
// Writes through a temporary file beside path; throws CommandError naming path.
void SaveProjectOrFail(const CDataArray& project, const std::string& path);
// Converts a host (UTF-8) text to the project code page; throws CommandError naming what.
std::string ToProjectText(const std::string& utf8, const std::string& what);

}  // namespace velkan::cli
