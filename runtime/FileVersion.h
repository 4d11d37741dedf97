// The fixed file version of an installed Windows file, to keep a newer system file in place.
#pragma once

#include <cstdint>
#include <string>

namespace velkan::runtime {

// The 64-bit file version (most significant word first) of the file's version resource; false
// when it has none. version.dll is loaded from the system directory by its full path.
bool ReadFileVersion(const std::wstring& path, uint64_t& version);

}  // namespace velkan::runtime
