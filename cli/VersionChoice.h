// The --version option of velkanc commands: a version's number counting from 1, or its name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/CDataArray.h"

namespace velkan::cli {

// The index of the chosen version among versions named names (0 without a choice): the choice
// is a number counting from 1 or a name (UTF-8). Throws CommandError naming where.
size_t ChooseVersionIndex(const std::vector<std::string>& names,
                          const std::optional<std::string>& choice, const std::string& where);

// The chosen version of a project.
CData& ChooseVersion(CDataArray& project, const std::optional<std::string>& choice,
                     const std::string& projectPath);

}  // namespace velkan::cli
