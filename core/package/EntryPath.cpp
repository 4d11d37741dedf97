#include "core/package/EntryPath.h"

#include "core/platform/WindowsName.h"

namespace velkan {

std::vector<std::string> SplitEntryPath(const std::string& path, std::string& reason)
{
    if (path.empty()) {
        reason = "an empty path";
        return {};
    }
    if (path.size() >= 2 && path[1] == ':') {
        reason = "a drive letter";
        return {};
    }
    if (path[0] == '\\' || path[0] == '/') {
        reason = "an absolute path";
        return {};
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            reason = "a \"..\" component";
            return {};
        }
        if (!part.empty() && part != ".") {
            std::string problem = WindowsNameProblem(part);
            if (!problem.empty()) {
                reason = problem;
                return {};
            }
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty()) reason = "no file name";
    return parts;
}

}  // namespace velkan
