#include "core/build/CLocalDiskHost.h"

#include <cstdio>

namespace velkan {

void CLocalDiskHost::DeleteFile(const std::string& path)
{
    std::remove(path.c_str());
}

}  // namespace velkan
