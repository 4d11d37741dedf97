// The --version option of velkanc commands: a version's number counting from 1, or its name
// or title.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/model/CDataArray.h"

namespace velkan::cli {

// The index of the chosen version among versions with these names and titles (Windows-1252; 0
// without a choice): the choice (UTF-8) is read as velkan::ChooseVersion reads it. Throws
// CommandError naming where.
size_t ChooseVersionIndex(const std::vector<std::string>& names,
                          const std::vector<std::string>& titles,
                          const std::optional<std::string>& choice, const std::string& where);

// The chosen version of a project.
CData& ChooseVersion(CDataArray& project, const std::optional<std::string>& choice,
                     const std::string& projectPath);

}  // namespace velkan::cli
