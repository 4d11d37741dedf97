// The one rule for a file or folder name that Windows stores as written. Names come from a
// package (Windows-1252 bytes) or from the author's source tree; a name Windows refuses or
// silently alters ("aux", "CON.txt", "COM¹", "trail.", "q?.txt") must be stopped when the setup
// program is built, and refused again wherever a package is read, not found at the end user's.
#pragma once

#include <string>

namespace velkan {

// Longest name of one path component that Windows accepts.
constexpr size_t kMaxWindowsNameLength = 255;

// Why Windows would refuse or alter the single name component (Windows-1252 bytes), or an empty
// string when it is stored as written. Refused: an empty name, "." and "..", a name over 255
// characters, the characters < > : " / \ | ? * and control characters, a trailing dot or space,
// and the device names CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9, LPT0-LPT9 and COM/LPT with
// the superscript digits 1, 2, 3, in any case, alone or before an extension.
std::string WindowsNameProblem(const std::string& name);

// The same rule for a name in UTF-16 (the install runtime's names after macros are expanded).
// Only characters below U+0100 decide the rule, and those are Windows-1252 bytes of the same
// value; every other character counts as one ordinary character.
std::string WindowsNameProblem(const std::u16string& name);

}  // namespace velkan
