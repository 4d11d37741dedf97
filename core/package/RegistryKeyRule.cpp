#include "core/package/RegistryKeyRule.h"

#include <string_view>
#include <vector>

#include "core/model/PathCompare.h"

namespace velkan {

namespace {

// Keys below Software that Windows or many programs share: nothing under them, at any depth, is
// a product's to remove whole (Software\Classes is also all of HKEY_CLASSES_ROOT).
const char* const kSharedSoftwareKeys[] = {
    "Microsoft", "Classes", "Policies", "Clients", "RegisteredApplications", "ODBC",
};

constexpr uint32_t kClassesRoot = 0x80000000u;
constexpr uint32_t kUsers = 0x80000003u;

std::vector<std::string_view> Levels(std::string_view path)
{
    std::vector<std::string_view> levels;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        if (end > pos) levels.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return levels;
}

}  // namespace

std::string RegistryKeyRefusal(const RegistryKeyToRemove& key)
{
    if (key.root < kClassesRoot || key.root > kUsers)
        return "it does not start with one of the four roots";
    std::vector<std::string_view> levels = Levels(key.path);
    for (std::string_view level : levels) {
        if (level == "." || level == "..") return "it has a level named \".\" or \"..\"";
    }
    // The path as it lies in a user's or the machine's own tree: HKEY_CLASSES_ROOT and a user's
    // "_Classes" hive are Software\Classes; under HKEY_USERS the first level (a user) does not
    // count.
    std::vector<std::string_view> path;
    if (key.root == kClassesRoot) {
        path = {"Software", "Classes"};
        path.insert(path.end(), levels.begin(), levels.end());
    } else if (key.root == kUsers) {
        if (levels.empty()) return "it lies less than two levels below its root";
        if (EndsWithNoCase(levels[0], "_Classes")) path = {"Software", "Classes"};
        path.insert(path.end(), levels.begin() + 1, levels.end());
    } else {
        path = levels;
    }
    // The 32-bit view (Wow6432Node, below Software or below Software\Classes) is the same tree
    // for this rule.
    for (size_t i = 1; i < path.size() && i <= 2;) {
        if (EqualsNoCase(path[i], "Wow6432Node")) {
            path.erase(path.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    if (path.size() < 2) return "it lies less than two levels below its root";
    if (!EqualsNoCase(path[0], "Software"))
        return "it does not lie below Software\\Vendor, where a product keeps its keys";
    for (const char* shared : kSharedSoftwareKeys) {
        if (EqualsNoCase(path[1], shared)) {
            return std::string("it lies under Software\\") + shared +
                   ", which Windows and other programs share";
        }
    }
    return {};
}

}  // namespace velkan
