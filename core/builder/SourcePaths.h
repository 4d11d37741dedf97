// Where a version's listed files are on this machine: the version's source folder as a host path
// and each item's stored path (Windows-1252, backslashes) within it.
#pragma once

#include <string>

#include "core/model/CData.h"

namespace velkan {

// A version's source folder as a host path ending with '/'.
std::string SourceDirOf(const CData& version);

// Where a listed file is on this machine: its stored path, with Windows separators, in the folder.
std::string HostPathIn(const std::string& sourceDir, const CFileItem& item);

}  // namespace velkan
