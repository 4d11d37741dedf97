#include "cli/VersionChoice.h"

#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"

namespace velkan::cli {

CData& ChooseVersion(CDataArray& project, const std::optional<std::string>& choice,
                     const std::string& projectPath)
{
    if (project.m_versions.empty()) throw CommandError{projectPath + ": the project has no version"};
    if (!choice) return project.m_versions[0];
    const std::string& c = *choice;
    if (!c.empty() && c.size() <= 9 && c.find_first_not_of("0123456789") == std::string::npos) {
        size_t n = std::stoul(c);
        if (n >= 1 && n <= project.m_versions.size()) return project.m_versions[n - 1];
        throw CommandError{projectPath + ": no version " + c + " (the project has " +
                           std::to_string(project.m_versions.size()) + ")"};
    }
    std::string name = ToProjectText(c, "the version name");
    for (CData& v : project.m_versions) {
        if (v.m_strName == name) return v;
    }
    throw CommandError{projectPath + ": no version named '" + c + "'"};
}

}  // namespace velkan::cli
