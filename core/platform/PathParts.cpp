#include "core/platform/PathParts.h"

namespace velkan {

namespace {
constexpr const char* kSeparators = "/\\";
}  // namespace

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace velkan
