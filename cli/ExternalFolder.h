// Where velkanc verify and extract find the files a setup program keeps outside itself, when a
// later version stores a delta against one: beside the program, or in the folder --external names.
#pragma once

#include <optional>
#include <string>

namespace velkan {
class CPackageReader;
}

namespace velkan::cli {

void UseExternalFolder(CPackageReader& reader, const std::string& setupPath,
                       const std::optional<std::string>& folder);

}  // namespace velkan::cli
