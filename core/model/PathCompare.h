// Case-insensitive comparison of 8-bit paths and names, as the target file system compares them
// (by the single-byte upper-casing of the project code page).
#pragma once

#include <string>
#include <string_view>

namespace velkan {

bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// <0, 0, >0 like strcmp, ignoring case.
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace velkan
