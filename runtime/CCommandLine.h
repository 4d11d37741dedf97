// The runtime programs' command line: parsed by the portable parser, split from this process's
// own line.
#pragma once

#include <string>
#include <vector>

#include "core/install/CCommandLine.h"

namespace velkan::runtime {

using install::CCommandLine;

// The arguments of this process, after the program name, split as CCommandLine::Split does.
std::vector<std::wstring> ProcessArguments();

}  // namespace velkan::runtime
