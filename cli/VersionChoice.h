// The --version option of velkanc commands: a version's number counting from 1, or its name.
#pragma once

#include <optional>
#include <string>

#include "core/model/CDataArray.h"

namespace velkan::cli {

// The chosen version (the first without a choice); throws CommandError naming the project when
// there is no such version.
CData& ChooseVersion(CDataArray& project, const std::optional<std::string>& choice,
                     const std::string& projectPath);

}  // namespace velkan::cli
