// The defines of a command line: -D NAME=VALUE or --define NAME=VALUE, repeatable, and the
// compilers' attached form -DNAME=VALUE.
#pragma once

#include <string>
#include <vector>

#include "cli/ArgParser.h"
#include "core/model/ProjectDefines.h"

namespace velkan::cli {

// The arguments with every -DNAME=VALUE split into -D and NAME=VALUE.
std::vector<std::string> SplitAttachedDefines(const std::vector<std::string>& args);
// The defines given with -D and --define; throws UsageError for a malformed one.
Defines DefinesOf(const CArgParser& p);

}  // namespace velkan::cli
