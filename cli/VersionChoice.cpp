#include "cli/VersionChoice.h"

#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"
#include "core/package/VersionChoice.h"

namespace velkan::cli {

size_t ChooseVersionIndex(const std::vector<std::string>& names,
                          const std::vector<std::string>& titles,
                          const std::optional<std::string>& choice, const std::string& where)
{
    if (names.empty()) throw CommandError{where + ": there is no version"};
    if (!choice) return 0;
    std::string wanted = ToProjectText(*choice, "the version name");
    if (auto index = velkan::ChooseVersion(names, titles, wanted)) return *index;
    throw CommandError{where + ": no version " + *choice + " (there are " +
                       std::to_string(names.size()) +
                       ", numbered from 1, or give a name or title)"};
}

CData& ChooseVersion(CDataArray& project, const std::optional<std::string>& choice,
                     const std::string& projectPath)
{
    std::vector<std::string> names, titles;
    for (const CData& v : project.m_versions) {
        names.push_back(v.m_strName);
        titles.push_back(v.m_strTitle);
    }
    return project.m_versions[ChooseVersionIndex(names, titles, choice, projectPath)];
}

}  // namespace velkan::cli
