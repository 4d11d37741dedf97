#include "core/platform/LinkedOutside.h"

#include <filesystem>

namespace velkan {

bool LinkedOutside(const std::string& folder, const std::string& path)
{
    std::error_code ec;
    std::string target = std::filesystem::canonical(path, ec).string();
    if (ec || target.empty()) return false;
    std::string inside = std::filesystem::canonical(folder, ec).string();
    if (ec || inside.empty()) return false;
    if (inside.back() != '/') inside += '/';
    return target.compare(0, inside.size(), inside) != 0;
}

}  // namespace velkan
