#include "gui/CEngineBuildRunner.h"

#include <vector>

#include "core/model/CDataArray.h"
#include "core/package/StubImage.h"
#include "core/res/RuntimeResources.h"

namespace velkan {

std::optional<int> CEngineBuildRunner::MissingRuntimeResource(const CDataArray& project)
{
    std::vector<int> needed = {
        StubResourceId(project.m_nPlatform),
        DialogBlockResourceId(project.m_nPlatform, !project.m_strWizardBitmap.empty())};
    for (const CData& version : project.m_versions) {
        if (!version.m_strUninstFile.empty()) {
            needed.push_back(UninstallerResourceId(project.m_nPlatform));
            break;
        }
    }
    for (int id : needed) {
        std::optional<std::vector<uint8_t>> bytes = LoadRuntimeResource(id);
        if (!bytes || bytes->empty()) return id;
    }
    return std::nullopt;
}

BuildResult CEngineBuildRunner::Build(const CDataArray& project, const BuildSettings& settings,
                                      CBuildReport& report, IBuildHost& host, IDiskHost& disks)
{
    // Refused before anything is written, as velkanc does.
    if (std::optional<int> missing = MissingRuntimeResource(project)) {
        BuildResult result;
        result.status = BuildStatus::Failed;
        result.error = RuntimeResourceMissingText(*missing);
        host.ShowError(result.error);
        return result;
    }
    return BuildInstallProgram(project, report, host, disks, settings);
}

}  // namespace velkan
