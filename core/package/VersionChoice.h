// Which version a person names: velkanc's --version and the setup program's version switch
// follow the same rule.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velkan {

// The index of the version that choice (Windows-1252) names: a number counting from 1 (at most
// 9 digits) when that version exists, else the first version whose name or title equals the
// choice without regard to case; nullopt when none does. titles may be shorter than names.
std::optional<size_t> ChooseVersion(const std::vector<std::string>& names,
                                    const std::vector<std::string>& titles,
                                    const std::string& choice);

}  // namespace velkan
