#include "core/package/RegistryKeyRule.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/model/PathCompare.h"

namespace velkan {

namespace {

// Keys below a root that Windows or many programs share. Each is compared whole, after the path
// is reduced to its non-empty levels; the 32-bit view (Software\Wow6432Node) is folded into
// Software first.
const char* const kSharedKeys[] = {
    "Software\\Microsoft",
    "Software\\Classes",
    "Software\\Policies",
    "Software\\Clients",
    "Software\\RegisteredApplications",
    "Software\\ODBC",
    "Software\\Microsoft\\Windows",
    "Software\\Microsoft\\Windows\\CurrentVersion",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies",
    "Software\\Microsoft\\Windows NT",
    "Software\\Microsoft\\Windows NT\\CurrentVersion",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "Software\\Microsoft\\Office",
    "Software\\Microsoft\\Internet Explorer",
    "Software\\Classes\\CLSID",
    "Software\\Classes\\Interface",
    "Software\\Classes\\TypeLib",
    "Software\\Classes\\AppID",
    "Software\\Classes\\*",
    "Software\\Classes\\Directory",
    "Software\\Classes\\Folder",
    "Software\\Classes\\AllFilesystemObjects",
    "SYSTEM\\CurrentControlSet",
    "SYSTEM\\ControlSet001",
    "SYSTEM\\ControlSet002",
    "SYSTEM\\Select",
    "SYSTEM\\Setup",
    "SYSTEM\\MountedDevices",
    "SYSTEM\\CurrentControlSet\\Services",
    "SYSTEM\\CurrentControlSet\\Control",
    "SYSTEM\\CurrentControlSet\\Enum",
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
    "Control Panel\\Desktop",
    "Control Panel\\International",
    "Control Panel\\Colors",
    "Control Panel\\Mouse",
    "Control Panel\\Keyboard",
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

std::string Join(const std::vector<std::string_view>& levels, size_t from)
{
    std::string out;
    for (size_t i = from; i < levels.size(); ++i) {
        if (!out.empty()) out += '\\';
        out += levels[i];
    }
    return out;
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
    size_t first = key.root == kUsers ? 1 : 0;  // HKEY_USERS\<user>\... counts from below the user
    // The 32-bit view of Software is the same tree for this rule.
    std::vector<std::string_view> folded(levels.begin() + std::min(first, levels.size()),
                                         levels.end());
    if (folded.size() >= 2 && EqualsNoCase(folded[0], "Software") &&
        EqualsNoCase(folded[1], "Wow6432Node")) {
        folded.erase(folded.begin() + 1);
    }
    if (folded.size() < 2) return "it lies less than two levels below its root";
    std::string path = Join(folded, 0);
    // HKEY_CLASSES_ROOT is Software\Classes of the machine and the user.
    std::string asMachine = key.root == kClassesRoot ? "Software\\Classes\\" + path : path;
    for (const char* shared : kSharedKeys) {
        if (EqualsNoCase(path, shared) || EqualsNoCase(asMachine, shared))
            return "it is a key Windows and other programs share";
    }
    return {};
}

}  // namespace velkan
