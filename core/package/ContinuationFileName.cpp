#include "core/package/ContinuationFileName.h"

#include <cstdio>

namespace velkan {

std::string ContinuationFileName(const std::string& path, int n)
{
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".D%2.2d", n);
    size_t nameStart = path.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return path + suffix;
    return path.substr(0, dot) + suffix;
}

}  // namespace velkan
