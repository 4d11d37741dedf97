// The version facts a file entry carries: for a file going to the Windows or System directory,
// the version and translation of its VERSIONINFO resource, which the install runtime compares
// with the installed file's before replacing it.
#pragma once

#include <string>

#include "core/package/CFileEntry.h"

namespace velkan {

// Reads the file at hostPath when destination (the file's OptDestination) is DestWindows or
// DestSystem and sets the entry's version fields and flags from what it finds.
void SetFileVersionFacts(CFileEntry& entry, int destination, const std::string& hostPath);

}  // namespace velkan
