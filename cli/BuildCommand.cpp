// velkanc build: builds a project's setup program without any window, for scripts and CI. The
// report goes to stdout as a table, progress to stderr when it is a terminal; Ctrl-C cancels
// cleanly (no partial program, no temporary files).
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "cli/ArgParser.h"
#include "cli/BuildConsole.h"
#include "cli/CommandRegistry.h"
#include "cli/ConsoleDiskHost.h"
#include "cli/DefineOptions.h"
#include "cli/ProjectIo.h"
#include "core/builder/BuildExitCode.h"
#include "core/builder/BuildPreparation.h"
#include "core/builder/CInstallBuild.h"
#include "core/builder/CSpanDiskHost.h"
#include "core/builder/SpanSize.h"
#include "core/model/CDataArray.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/ProjectFolder.h"
#include "core/platform/SignCommand.h"
#include "core/res/RuntimeResources.h"

namespace velkan::cli {

namespace {

// --runtime DIR: the runtime resources come from DIR/500.bin ... DIR/507.bin only.
void LoadRuntimeFrom(const std::string& dir)
{
    for (int id = kFirstRuntimeResource; id <= kLastRuntimeResource; ++id) {
        std::string path = (std::filesystem::path(dir) / (std::to_string(id) + ".bin")).string();
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            OverrideRuntimeResource(id, std::nullopt);
            continue;
        }
        try {
            OverrideRuntimeResource(id, ReadWholeFile(path));
        } catch (const std::exception& e) {
            throw CommandError{e.what()};
        }
    }
}

int RunBuild(const std::vector<std::string>& args)
{
    CArgParser p(SplitAttachedDefines(args),
                 {"-o", "--platform", "--runtime", "--sign", "--jobs", "--delta-search", "--span",
                  "-D", "--define"},
                 {"--yes", "--share-equal-files", "--no-rescan"});
    p.ExpectPositional(1, 1);
    const std::string& projectPath = p.Positional()[0];
    CDataArray project = LoadProjectOrFail(projectPath);
    BuildInputs inputs{ProjectFolderOf(projectPath), DefinesOf(p), !p.Has("--no-rescan"),
                       projectPath};

    if (auto platform = p.Value("--platform")) {
        if (*platform == "win32") {
            project.m_nPlatform = CDataArray::Win32;
        } else if (*platform == "win31") {
            project.m_nPlatform = CDataArray::Win31;
        } else {
            throw UsageError{"--platform must be win32 or win31"};
        }
    }
    std::string output;
    try {
        output = p.Value("-o").value_or(StoredOutputPath(project, inputs));
    } catch (const CError& e) {
        throw CommandError{projectPath + ": " + e.what()};
    }
    if (output.empty()) {
        throw CommandError{projectPath +
                           ": the project names no setup program to write; give one with -o OUT"};
    }
    std::optional<uint64_t> span;
    if (auto text = p.Value("--span")) {
        std::string error;
        span = ParseSpanSize(*text, error);
        if (!span) throw UsageError{"--span: " + error};
    }
    if (auto runtime = p.Value("--runtime")) LoadRuntimeFrom(*runtime);

    BuildSettings settings{output, ""};
    if (auto jobs = p.Value("--jobs")) {
        // 0 or absent: one thread per processor.
        if (jobs->empty() || jobs->size() > 4 ||
            jobs->find_first_not_of("0123456789") != std::string::npos) {
            throw UsageError{
                "--jobs takes a number of threads (1 to 9999, 0 for one per processor)"};
        }
        settings.jobs = static_cast<unsigned>(std::stoul(*jobs));
    }
    settings.shareEqualFiles = p.Has("--share-equal-files");
    settings.deltaSearch = p.DeltaSearchOption();
    if (auto sign = p.Value("--sign")) {
        settings.signFile = [command = *sign](const std::string& path) {
            RunSignCommand(command, path);
        };
    }

    CBuildConsole console(p.Has("--yes"), isatty(STDERR_FILENO) == 1);
    CConsoleDiskHost localDisks;
    std::optional<CSpanDiskHost> pieces;
    if (span) pieces.emplace(localDisks, output, *span);
    IDiskHost& disks = pieces ? static_cast<IDiskHost&>(*pieces) : localDisks;
    BuildResult result = BuildFromProject(project, inputs, console, console, disks, settings);
    console.PrintReport(stdout);

    switch (result.status) {
    case BuildStatus::Declined:
        std::fprintf(stderr,
                     "velkanc: the build stopped at the warnings above; nothing was written\n");
        break;
    case BuildStatus::Cancelled:
        if (result.continuationFiles > 0 && !pieces) {
            std::fprintf(stderr,
                         "velkanc: build cancelled; the %d disk(s) written so far are kept\n",
                         result.continuationFiles + 1);
        } else {
            std::fprintf(stderr, "velkanc: build cancelled; nothing was written\n");
        }
        break;
    case BuildStatus::Failed: throw CommandError{result.error};
    case BuildStatus::Built:
    case BuildStatus::NothingToInstall: break;
    }
    return BuildExitCode(result.status);
}

const bool registered = RegisterCommand({
    "build",
    "build the setup program of a project",
    "Usage: velkanc build PROJECT [-o OUT] [--platform win32|win31] [--yes] [--runtime DIR]\n"
    "                     [--sign COMMAND] [--jobs N] [--share-equal-files]\n"
    "                     [--delta-search window|global] [--span SIZE]\n"
    "                     [-D NAME=VALUE]... [--no-rescan]\n"
    "\n"
    "Builds the project's setup program: the install runtime, the project's settings, one file\n"
    "table per version and the packed files (each distinct content stored once, changed files as\n"
    "deltas against the earlier version). The report (File, Packed, Size, Ratio) and the summary\n"
    "go to stdout; a progress bar goes to stderr when it is a terminal. Ctrl-C cancels: nothing\n"
    "is left behind. When the target is a removable disk too small for the data, the build asks\n"
    "for further disks on the terminal (without a terminal it cancels).\n"
    "\n"
    "  -o OUT           the setup program to write (default: the project's output path, read\n"
    "                   from the project's folder when relative)\n"
    "  -D NAME=VALUE, --define NAME=VALUE\n"
    "                   ${NAME} in any text of the project stands for VALUE (repeatable; $${\n"
    "                   writes a literal ${); a name used but not defined fails the build\n"
    "  --no-rescan      build the file lists as the project stores them; by default each\n"
    "                   version's source folder is scanned again: new files are added with\n"
    "                   default settings, files gone are dropped (the report names both)\n"
    "  --platform P     win32 (Windows 95 / NT) or win31, instead of the project's platform\n"
    "  --yes            go on despite icon-folder warnings (without it they stop the build)\n"
    "  --runtime DIR    take the install runtime from DIR/500.bin ... DIR/507.bin instead of\n"
    "                   the programs built into velkanc\n"
    "  --sign COMMAND   sign the uninstaller before it is embedded and then the setup program:\n"
    "                   COMMAND runs through the shell with every %1 replaced by the file's\n"
    "                   path (quote it: \"%1\") and must sign that file in place; a command\n"
    "                   that fails fails the build\n"
    "  --jobs N         pack and code files on N threads (default: one per processor, at most\n"
    "                   16; N is capped at 64); the setup program is the same for every N\n"
    "  --share-equal-files  store a file equal to an earlier one of the same version once: the\n"
    "                   later entry takes over the earlier one's data (smaller setup programs\n"
    "                   of trees with repeated files; off by default)\n"
    "  --delta-search S window (default): a changed file's delta copies from the old version\n"
    "                   near the proportional place only; global: from anywhere in it (smaller\n"
    "                   deltas of files whose parts moved; an old version of up to 256 MiB is\n"
    "                   held in memory with its index, at most 3 bytes per byte, per thread).\n"
    "                   Every reader decodes both\n"
    "  --span SIZE      spread the setup program over files of at most SIZE bytes each, for\n"
    "                   upload limits or media: OUT holds the first part of the data and\n"
    "                   continuation files beside it (OUT with .D01, .D02, ... in place of its\n"
    "                   extension) the rest; the setup program reads them from its own folder.\n"
    "                   SIZE is bytes, or a number with K, M or G, which count 1000, 1000000 and\n"
    "                   1000000000 bytes (1.44M, 650M and 4.7G fit on a floppy, a CD and a DVD).\n"
    "                   A stopped build leaves the earlier program and its files as they were.\n"
    "                   With --sign, the program must fit in one file\n"
    "\n"
    "Exit status: 0 built, 1 failed (or nothing to install), 3 cancelled or stopped at warnings.\n",
    RunBuild,
});

}  // namespace

}  // namespace velkan::cli
