// velkanc rescan: the file lists of a project made again from its versions' source folders, as
// the editor's Refresh and every build do: new files are added with default settings, files
// gone are dropped, and every file still there keeps its settings.
#include <cstdio>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/DefineOptions.h"
#include "cli/ProjectIo.h"
#include "core/model/FileListRescan.h"
#include "core/platform/CodePage.h"
#include "core/platform/ProjectFolder.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{"-D", "--define"}, {}};

int RunRescan(const std::vector<std::string>& args)
{
    CArgParser p(SplitAttachedDefines(args), kOptions);
    p.ExpectPositional(1, 1);
    const std::string& path = p.Positional()[0];
    const Defines defines = DefinesOf(p);
    CDataArray project = LoadProjectOrFail(path);
    const std::string folder = ProjectFolderOf(path);
    for (CData& version : project.m_versions) {
        FileListChanges changes;
        try {
            // The folder is scanned with the defines put in; the project keeps ${NAME}.
            std::vector<std::string> used;
            std::string source =
                ExpandDefinesIn(Cp1252ToUtf8(version.m_strSourceDir), defines, used, "source");
            changes = RescanFileList(version.m_files, ToProjectText(source, "the source folder"),
                                     version.m_bSubDirs != 0, folder, nullptr);
        } catch (const CError& e) {
            throw CommandError{path + ": version \"" + Cp1252ToUtf8(version.m_strName) +
                               "\": " + e.what()};
        }
        const std::string name = Cp1252ToUtf8(version.m_strName);
        for (const std::string& note : changes.notes)
            std::fprintf(stderr, "velkanc: note: %s\n", note.c_str());
        for (const std::string& added : changes.added)
            std::printf("%s: new file %s\n", name.c_str(), Cp1252ToUtf8(added).c_str());
        for (const std::string& gone : changes.gone)
            std::printf("%s: gone: %s\n", name.c_str(), Cp1252ToUtf8(gone).c_str());
    }
    SaveProjectOrFail(project, path);
    return kExitOk;
}

const bool registered = RegisterCommand({
    "rescan",
    "update a project's file lists from its source folders",
    "Usage: velkanc rescan PROJECT [-D NAME=VALUE]...\n"
    "\n"
    "Scans each version's source folder again, as the editor's Refresh and every build do, and\n"
    "rewrites PROJECT: files found that the list lacks are added with default settings, listed\n"
    "files no longer found are dropped, and every other file keeps its settings (paths are\n"
    "compared without regard to case, and keep their listed spelling). Prints one line per file\n"
    "added or gone. A relative source folder is read from the project's folder.\n"
    "\n"
    "  -D NAME=VALUE, --define NAME=VALUE\n"
    "                  a define for ${NAME} in a source folder (the project keeps ${NAME})\n",
    RunRescan,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
