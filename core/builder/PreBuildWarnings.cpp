#include "core/builder/PreBuildWarnings.h"

#include <filesystem>
#include <string>
#include <utility>

#include "core/builder/CBuildReport.h"
#include "core/builder/SourcePaths.h"
#include "core/model/CDataArray.h"
#include "core/model/FileOption.h"
#include "core/model/PathCompare.h"
#include "core/package/FileStringFit.h"
#include "core/package/PackageFormat.h"
#include "core/package/ProjectSections.h"
#include "core/package/SectionLimits.h"
#include "core/package/RegistryKeyRule.h"
#include "core/platform/CodePage.h"
#include "core/platform/COutsideLinkCheck.h"
#include "core/res/StringTable.h"
#include "core/wizard/WizardBitmap.h"

namespace velkan {

namespace {

// String table ids of the warnings.
constexpr int kWarnUninstallerFolderEmpty = 1181;
constexpr int kWarnFolderEmpty = 1182;
constexpr int kWarnFoldersDiffer = 1183;
constexpr int kWarnUninstallerFolderDiffers = 1184;

// The version (numbered from 1, with its name) and what in it a warning is about.
std::string About(const CDataArray& project, const CData& version, const std::string& what)
{
    size_t number = 1;
    while (number <= project.m_versions.size() && &project.m_versions[number - 1] != &version)
        ++number;
    return "version " + std::to_string(number) + " (" + version.m_strName + "), " + what;
}

bool CheckIconFolders(const CDataArray& project, CBuildReport& report)
{
    bool warned = false;
    std::string uninstallerFolder;
    for (const CData& version : project.m_versions) {
        if (version.m_strUninstFile.empty() || version.m_strUninstIcon.empty()) continue;
        if (version.m_strUninstFolder.empty()) {
            report.AddWarning(LoadString(kWarnUninstallerFolderEmpty),
                              About(project, version, "uninstaller " + version.m_strUninstFile));
            warned = true;
        }
        uninstallerFolder = version.m_strUninstFolder;
    }

    // Each mark remembers the first file that set it, to name it.
    std::string emptyFolder, foldersDiffer, uninstallerDiffers;
    bool haveFirst = false;
    std::string first;
    for (const CData& version : project.m_versions) {
        for (const CFileItem& item : version.m_files) {
            if (item.m_strMenuName.empty()) continue;
            const std::string& folder = item.m_strMenuFolder;
            const std::string about = About(project, version, "file " + item.m_strPath);
            auto mark = [&about](std::string& which) {
                if (which.empty()) which = about;
            };
            if (folder.empty()) {
                mark(emptyFolder);
                continue;
            }
            // A list of folders, or one of the two shell folders, is the author's deliberate choice.
            if (folder.find_first_of(",;") != std::string::npos ||
                EqualsNoCase(folder, "#Start Menu#") || EqualsNoCase(folder, "#Startup#")) {
                continue;
            }
            if (!haveFirst) {
                first = folder;
                haveFirst = true;
            } else if (!EqualsNoCase(folder, first)) {
                mark(foldersDiffer);
            }
            if (!uninstallerFolder.empty() && !EqualsNoCase(folder, uninstallerFolder)) {
                mark(uninstallerDiffers);
            }
        }
    }
    for (const auto& [about, id] : {
             std::pair{emptyFolder, kWarnFolderEmpty},
             std::pair{foldersDiffer, kWarnFoldersDiffer},
             std::pair{uninstallerDiffers, kWarnUninstallerFolderDiffers},
         }) {
        if (about.empty()) continue;
        report.AddWarning(LoadString(id), about);
        warned = true;
    }
    return warned;
}

// A registry key to remove that the uninstaller would refuse (too near a root, or shared by
// Windows and other programs) is reported like the other warnings.
bool CheckRegistryKeys(const CDataArray& project, CBuildReport& report)
{
    bool warned = false;
    for (const CData& version : project.m_versions) {
        if (version.m_strUninstFile.empty()) continue;
        for (size_t i = 0; i < version.m_regKeysToRemove.size(); ++i) {
            const std::string& text = version.m_regKeysToRemove[i];
            if (text.find_first_not_of(' ') == std::string::npos) {
                report.AddLine("Warning: version \"" + version.m_strName + "\", registry key " +
                               std::to_string(i + 1) + " to remove is empty; it is left out.");
                warned = true;
                continue;
            }
            std::string refusal = RegistryKeyRefusal(SplitRegistryKey(text));
            if (refusal.empty()) continue;
            report.AddWarning("Warning: the uninstaller will not remove the registry key \"" +
                                  text + "\": " + refusal + ".",
                              About(project, version, "registry key " + text));
            warned = true;
        }
    }
    return warned;
}

// A listed file that reaches, through a link, outside its version's source folder would pack
// whatever the link names; the scan skips such links unless asked, and the build warns of them.
bool CheckOutsideLinks(const CDataArray& project, CBuildReport& report)
{
    bool warned = false;
    for (const CData& version : project.m_versions) {
        const std::string dir = SourceDirOf(version);
        COutsideLinkCheck outside(dir);
        for (const CFileItem& item : version.m_files) {
            if (item.GetOption(OptInstallMode) == InstallSkip) continue;
            const std::string host = HostPathIn(dir, item);
            if (!outside.IsOutside(host)) continue;
            // The report holds project text: the host path came from it, so it goes back.
            report.AddWarning(
                "Warning: \"" + Utf8ToCp1252(host).value_or(item.m_strPath) +
                    "\" is a link to a file outside the source folder; its target is packed.",
                About(project, version, "file " + item.m_strPath));
            warned = true;
        }
    }
    return warned;
}

// A string that does not fit where it is to be written fails the install at its end.
bool CheckFileStrings(const CDataArray& project, CBuildReport& report)
{
    bool warned = false;
    for (const CData& version : project.m_versions) {
        const std::string dir = SourceDirOf(version);
        for (const CFileInfo& info : version.m_fileStrings) {
            std::optional<std::string> path = FileStringSourcePath(dir, info);
            if (!path) continue;
            std::string problem = FileStringFitProblem(info, *path);
            if (problem.empty()) continue;
            report.AddLine("Warning: version \"" + version.m_strName +
                           "\", string to write into \"" + info.m_strFile + "\": " + problem +
                           "; the install would fail.");
            warned = true;
        }
    }
    return warned;
}

// A bitmap the wizard cannot show (left out of the package, or refused by the runtime): a warning
// to stop at. One larger than its field is shown scaled down: said, without stopping the build.
bool CheckBitmaps(const CDataArray& project, CBuildReport& report)
{
    struct Bitmap {
        const std::string& path;
        uint16_t section;
        const char* what;
        bool carried;
    };
    const Bitmap bitmaps[] = {
        {project.m_strWizardBitmap, package::kWizardBitmap, "wizard bitmap", true},
        {project.m_strBackBitmap, package::kBackBitmap, "background bitmap",
         project.m_nWindowMode == CDataArray::FullScreen},
    };
    bool warned = false;
    for (const Bitmap& b : bitmaps) {
        if (b.path.empty() || !b.carried) continue;
        // One too large for its section fails the build with its own message.
        std::error_code ec;
        const uint64_t size = std::filesystem::file_size(Cp1252ToUtf8(b.path), ec);
        if (!ec && size > package::MaxUnpackedSectionSize(b.section)) continue;
        std::optional<std::vector<uint8_t>> bytes = ReadProjectFile(b.path);
        FitSize shown;
        std::string problem =
            !bytes || bytes->empty() ? "it cannot be read" : BitmapRefusal(*bytes, &shown);
        // The bitmaps serve every version alike.
        const std::string about = "every version, " + std::string(b.what) + " " + b.path;
        if (!problem.empty()) {
            report.AddWarning("Warning: the setup program will not show the " +
                                  std::string(b.what) + " \"" + b.path + "\": " + problem + ".",
                              about);
            warned = true;
        } else if (b.section == package::kWizardBitmap) {
            std::string note = BitmapScaleNote(shown);
            if (!note.empty())
                report.AddWarning("Warning: the wizard bitmap \"" + b.path + "\": " + note + ".",
                                  about);
        }
    }
    return warned;
}

}  // namespace

bool ReportPreBuildWarnings(const CDataArray& project, CBuildReport& report)
{
    bool warned = CheckIconFolders(project, report);
    warned = CheckRegistryKeys(project, report) || warned;
    warned = CheckOutsideLinks(project, report) || warned;
    warned = CheckFileStrings(project, report) || warned;
    warned = CheckBitmaps(project, report) || warned;
    return warned;
}

}  // namespace velkan
