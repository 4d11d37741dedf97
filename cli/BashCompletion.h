// velkanc --bash-completion: a bash completion script for velkanc, made from the command list
// and the options each command's help names (the build installs it).
#pragma once

#include <string>

namespace velkan::cli {

std::string BashCompletion();

}  // namespace velkan::cli
