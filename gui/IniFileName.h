// The rule of every INI file name box: a name typed without any "." gets ".ini".
#pragma once

#include <string>

namespace velkan {

inline std::string WithIniExtension(const std::string& name)
{
    if (name.empty() || name.find('.') != std::string::npos) return name;
    return name + ".ini";
}

}  // namespace velkan
