// The setup programs of the Wine tests, written by the product's own build from a project whose
// versions read their files from source folders the test has filled.
#pragma once

#include <filesystem>
#include <string>

#include "core/model/CDataArray.h"

namespace velkan::test {

// Builds project into output (host path) as velkanc would with --yes: the build's warnings are
// accepted. Throws, with the build's error and report, when no program was written.
void BuildSetup(const CDataArray& project, const std::filesystem::path& output);

// Runs velkanc build PROJECT -o OUTPUT --yes OPTIONS, its output written to log; its exit code.
// Only where velkanc is part of the build (VELKANC_PATH).
int VelkancBuild(const std::filesystem::path& project, const std::filesystem::path& output,
                 const std::string& options, const std::filesystem::path& log);

}  // namespace velkan::test
