// Where the running program lives, so that data kept beside it (the language templates) can be
// found without any configuration.
#pragma once

#include <string>

namespace velkan {

// Full host path (UTF-8) of the running executable; empty when the system does not tell.
std::string GetExecutablePath();

}  // namespace velkan
