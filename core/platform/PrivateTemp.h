// Scratch space no other user can read or race: a folder made with an unpredictable name and
// mode 0700, and files in it created exclusively with mode 0600.
#pragma once

#include <string>

namespace velkan {

// A new private folder under base (empty: the system's temporary folder). Throws CFileException.
std::string MakePrivateTempDir(const std::string& base);

// Creates path exclusively (never through a link, never an existing file) with mode 0600.
// Throws CFileException.
void CreatePrivateFile(const std::string& path);

}  // namespace velkan
