// Whether a path in a source folder reaches, through links, a file outside that folder. Such a
// file is the link's target's, not the tree's: packing it silently could put anything the
// author can read (a key, a password file) into a setup program.
#pragma once

#include <string>

namespace velkan {

// True when path (a host path under folder) resolves, all links followed, to a place outside
// folder. A path that does not resolve (missing, dangling) is not outside: reading it fails on
// its own.
bool LinkedOutside(const std::string& folder, const std::string& path);

}  // namespace velkan
