// velkanc --man: the manual page velkanc(1), made from the help of the tool and of every command
// (the build installs it, so the page and --help are one text).
#pragma once

#include <string>

namespace velkan::cli {

// The page in roff with the man macros.
std::string ManualPage();

}  // namespace velkan::cli
