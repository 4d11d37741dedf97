#include "cli/VersionChoice.h"

#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"

namespace velkan::cli {

size_t ChooseVersionIndex(const std::vector<std::string>& names,
                          const std::optional<std::string>& choice, const std::string& where)
{
    if (names.empty()) throw CommandError{where + ": there is no version"};
    if (!choice) return 0;
    const std::string& c = *choice;
    if (!c.empty() && c.size() <= 9 && c.find_first_not_of("0123456789") == std::string::npos) {
        size_t n = std::stoul(c);
        if (n >= 1 && n <= names.size()) return n - 1;
        throw CommandError{where + ": no version " + c + " (there are " +
                           std::to_string(names.size()) + ", numbered from 1)"};
    }
    std::string name = ToProjectText(c, "the version name");
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return i;
    }
    throw CommandError{where + ": no version named '" + c + "'"};
}

CData& ChooseVersion(CDataArray& project, const std::optional<std::string>& choice,
                     const std::string& projectPath)
{
    std::vector<std::string> names;
    for (const CData& v : project.m_versions) names.push_back(v.m_strName);
    return project.m_versions[ChooseVersionIndex(names, choice, projectPath)];
}

}  // namespace velkan::cli
