// Text of the install log and the command line: Windows strings, held as UTF-16 code units in
// std::wstring on every host (one unit per wchar_t, so the same code runs where wchar_t is 32
// bits), converted to and from the log's UTF-8 without loss, and compared without case as
// Windows compares file and registry names.
#pragma once

#include <string>
#include <string_view>

namespace velkan::install {

// UTF-16 units to UTF-8. A lone surrogate is written as its own three-byte form, so every
// string a Windows call can return comes back unchanged from FromUtf8.
std::string ToUtf8(std::wstring_view units);
// UTF-8 (with lone surrogates in three-byte form) to UTF-16 units; a byte that starts no valid
// sequence stands for the character of the same value, so nothing read is dropped.
std::wstring FromUtf8(std::string_view text);

// The upper case of one UTF-16 unit by the simple one-to-one mapping of the Latin, Greek and
// Cyrillic letters (what ordinal comparison without case does for these scripts).
wchar_t UpperUnit(wchar_t unit);
// Equality without case, unit by unit, as Windows names compare.
bool SameName(std::wstring_view a, std::wstring_view b);

}  // namespace velkan::install
