#include "core/builder/BuildPreparation.h"

#include "core/model/ProjectDefines.h"
#include "core/platform/CodePage.h"
#include "core/platform/ProjectFolder.h"
#include "core/res/StringTable.h"

namespace velkan {

namespace {

// A stored path read from the project's folder, back in the project's code page.
void Resolve(std::string& stored, const std::string& folder, const char* what)
{
    if (stored.empty()) return;
    std::string host = ResolveInFolder(Cp1252ToUtf8(stored), folder);
    auto text = Utf8ToCp1252(host);
    if (!text) {
        throw CPrepareError(std::string(what) + " " + host +
                            ": the path cannot be written in the Windows-1252 code page that "
                            "projects use");
    }
    stored = *text;
}

std::string Quoted(const std::string& cp1252)
{
    return "\"" + cp1252 + "\"";
}

}  // namespace

std::vector<std::string> PreparedBuild::ReportLines() const
{
    std::vector<std::string> lines;
    for (const auto& [name, value] : definesUsed) {
        lines.push_back("Define " + name + "=" + Utf8ToCp1252(value).value_or(value));
    }
    for (size_t v = 0; v < changes.size() && v < project.m_versions.size(); ++v) {
        const FileListChanges& c = changes[v];
        if (c.added.empty() && c.gone.empty() && c.notes.empty()) continue;
        const std::string version = "Version " + Quoted(project.m_versions[v].m_strName) + ": ";
        for (const std::string& path : c.added) lines.push_back(version + "new file " + path);
        for (const std::string& path : c.gone) lines.push_back(version + "gone: " + path);
        for (const std::string& note : c.notes) {
            lines.push_back(version + "left out " + Utf8ToCp1252(note).value_or(note));
        }
    }
    return lines;
}

void ResolveProjectPaths(CDataArray& p, const std::string& folder)
{
    Resolve(p.m_strWizardBitmap, folder, "the wizard bitmap");
    Resolve(p.m_strBackBitmap, folder, "the background bitmap");
    Resolve(p.m_strAuxFile, folder, "the auxiliary file");
    Resolve(p.m_strOutputPath, folder, "the output path");
    for (CData& version : p.m_versions)
        Resolve(version.m_strSourceDir, folder, "the source folder");
}

PreparedBuild PrepareBuild(const CDataArray& project, const BuildInputs& inputs, IScanHost* host)
{
    PreparedBuild out;
    out.project = project;
    CDataArray& p = out.project;
    out.definesUsed = ExpandDefines(p, inputs.defines);

    const std::string& folder = inputs.projectFolder;
    if (p.m_versions.empty()) throw CPrepareError("The project has no version to install.");
    bool anyFile = false;
    for (CData& version : p.m_versions) {
        FileListChanges changes;
        if (inputs.rescan) changes = RescanVersion(version, folder, host);
        if (version.m_strSourceDir.empty() && !version.m_files.empty()) {
            throw CPrepareError("Version " + Cp1252ToUtf8(Quoted(version.m_strName)) +
                                " lists files but names no source folder to take them from.");
        }
        if (version.m_files.empty() && p.m_versions.size() > 1) {
            out.warnings.push_back(
                {"Warning: version " + Quoted(version.m_strName) + " lists no file.",
                 "version " + std::to_string(&version - p.m_versions.data() + 1) + " (" +
                     version.m_strName + ")"});
        }
        anyFile = anyFile || !version.m_files.empty();
        out.changes.push_back(std::move(changes));
    }
    ResolveProjectPaths(p, folder);
    if (!anyFile) {
        throw CPrepareError(
            "Nothing to install: no version lists a file (a version takes its files from its "
            "source folder).");
    }
    return out;
}

std::string StoredOutputPath(const CDataArray& project, const BuildInputs& inputs)
{
    std::vector<std::string> used;
    return ResolveInFolder(
        ExpandDefinesIn(Cp1252ToUtf8(project.m_strOutputPath), inputs.defines, used, "output"),
        inputs.projectFolder);
}

BuildResult BuildFromProject(const CDataArray& project, const BuildInputs& inputs,
                             CBuildReport& report, IBuildHost& host, IDiskHost& disks,
                             const BuildSettings& settings)
{
    constexpr int kAskContinueAfterWarnings = 1185;
    PreparedBuild prepared;
    try {
        prepared = PrepareBuild(project, inputs);
    } catch (const CError& e) {
        BuildResult failed;
        failed.status = BuildStatus::Failed;
        failed.error = inputs.projectName.empty() ? std::string(e.what())
                                                  : inputs.projectName + ": " + e.what();
        host.ShowError(failed.error);
        return failed;
    }
    const std::vector<std::string> notes = prepared.ReportLines();
    for (const std::string& line : notes) report.AddLine(line);
    for (const auto& warning : prepared.warnings) report.AddWarning(warning.text, warning.about);
    if (!prepared.warnings.empty() && !host.AskYesNo(LoadString(kAskContinueAfterWarnings))) {
        BuildResult declined;
        declined.status = BuildStatus::Declined;
        return declined;
    }
    BuildResult built = BuildInstallProgram(prepared.project, report, host, disks, settings);
    built.notes = notes;
    return built;
}

}  // namespace velkan
