// Rules on Windows paths the setup program and the uninstaller share, as text alone (the
// runtime adds what needs the machine: full paths, short names).
#pragma once

#include <string>
#include <string_view>

namespace velkan::install {

// Whether path is dir or lies inside it (names compared without case).
bool IsInside(std::wstring_view path, std::wstring_view dir);

// Whether a file name matches an additional-files rule: "*" every name, ".ext" the names ending
// with that extension (without case).
bool MatchesExtra(std::wstring_view name, std::wstring_view pattern);

// The plain form of an absolute path, for comparing it with the folders Windows shares: the
// device prefixes \\?\ and \\.\ taken off (\\?\UNC\server becomes \\server), '/' read as '\',
// repeated separators made one, "." and ".." resolved, trailing dots and spaces of each name
// dropped (Windows drops them when it opens the name) and no '\' at the end but for a drive
// root. Case and short names are left to the comparison. Empty for a path that is not absolute
// or climbs above its root.
std::wstring PlainPath(std::wstring_view path);

}  // namespace velkan::install
