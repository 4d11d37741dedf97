// velkanc build: builds a project's setup program without any window, for scripts and CI. The
// report goes to stdout at the level asked, warnings and progress to stderr; Ctrl-C, SIGTERM and
// SIGHUP cancel cleanly (no partial program, no temporary files).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "cli/ArgParser.h"
#include "cli/BuildConsole.h"
#include "cli/BuildSummary.h"
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
#include "core/builder/StaleContinuationFiles.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/InterruptCleanup.h"
#include "core/platform/OutputTarget.h"
#include "core/platform/PrivateTemp.h"
#include "core/platform/CodePage.h"
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

// Where the setup program goes: the file the user named (its links followed), or a scratch file
// that is copied into a device, a FIFO or standard output once complete (the build seeks back
// into what it writes).
struct Destination {
    std::string given;  // as the user wrote it, for every message
    OutputTarget target;
    bool standardOutput = false;
    std::string streamPath;  // the device or FIFO the finished program is copied into
    std::string scratchFolder;
    int folderGuard = -1, fileGuard = -1;

    bool Streamed() const { return standardOutput || target.kind == OutputTarget::Kind::Stream; }
    ~Destination()
    {
        if (scratchFolder.empty()) return;
        std::remove(target.path.c_str());
        rmdir(scratchFolder.c_str());
        UnregisterTempPath(fileGuard);
        UnregisterTempPath(folderGuard);
    }
};

void PrepareDestination(Destination& d)
{
    try {
        if (d.given == "-") {
            d.standardOutput = true;
        } else {
            d.target = PrepareOutputTarget(d.given);
        }
        if (d.Streamed()) {
            d.scratchFolder = MakePrivateTempDir("");
            d.folderGuard = RegisterTempPath(d.scratchFolder, true);
            d.streamPath = d.target.path;
            d.target.path = d.scratchFolder + "/setup.exe";
            d.fileGuard = RegisterTempPath(d.target.path, false);
        }
    } catch (const std::exception& e) {
        throw CommandError{e.what()};
    }
}

// Messages name the output as the user gave it, not the file its links lead to or a scratch file.
std::string NamingTheOutput(std::string text, const Destination& d)
{
    const std::string& written = d.target.path;
    if (written == d.given || written.empty()) return text;
    for (size_t at = 0; (at = text.find(written, at)) != std::string::npos; at += d.given.size()) {
        text.replace(at, written.size(), d.given);
    }
    return text;
}

const CommandOptions kOptions{
    {"-o", "--platform", "--runtime", "--sign", "--jobs", "--delta-search", "--span", "-D",
     "--define"},
    WithLevelFlags({"--yes", "--share-equal-files", "--progress", "--json", "--no-rescan"})};

int RunBuild(const std::vector<std::string>& args)
{
    CArgParser p(SplitAttachedDefines(args), kOptions);
    p.ExpectPositional(1, 1);
    const ReportLevel level = p.Level();
    const bool json = p.Has("--json");
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
    Destination out;
    try {
        out.given = p.Value("-o").value_or(StoredOutputPath(project, inputs));
    } catch (const CError& e) {
        throw CommandError{projectPath + ": " + e.what()};
    }
    if (out.given.empty()) {
        throw CommandError{projectPath +
                           ": the project names no setup program to write; give one with -o OUT"};
    }
    std::optional<uint64_t> span;
    if (auto text = p.Value("--span")) {
        std::string error;
        span = ParseSpanSize(*text, error);
        if (!span) throw UsageError{"--span: " + error};
    }
    if (json && out.given == "-") throw UsageError{"--json and -o - both need standard output"};
    if (auto runtime = p.Value("--runtime")) LoadRuntimeFrom(*runtime);
    PrepareDestination(out);
    if (span && out.Streamed()) {
        throw UsageError{
            "--span writes continuation files beside the program: -o must name a "
            "file, not a device, a FIFO or standard output"};
    }

    BuildSettings settings{out.target.path, ""};
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

    const bool terminal = isatty(STDERR_FILENO) == 1;
    CBuildConsole console(p.Has("--yes"), p.Has("--progress") ? CBuildConsole::Progress::Lines
                                          : terminal && level != ReportLevel::Quiet
                                              ? CBuildConsole::Progress::Bar
                                              : CBuildConsole::Progress::None);
    CConsoleDiskHost localDisks;
    std::optional<CSpanDiskHost> pieces;
    if (span) pieces.emplace(localDisks, settings.outputPath, *span);
    IDiskHost& disks = pieces ? static_cast<IDiskHost&>(*pieces) : localDisks;
    const auto started = std::chrono::steady_clock::now();
    BuildResult result = BuildFromProject(project, inputs, console, console, disks, settings);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    switch (result.status) {
    case BuildStatus::Declined:
        std::fprintf(stderr,
                     "velkanc: stopped at the %zu warning(s); nothing was written (--yes "
                     "builds anyway)\n",
                     console.Warnings().size());
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
    case BuildStatus::Failed: throw CommandError{NamingTheOutput(result.error, out)};
    case BuildStatus::NothingToInstall: break;
    case BuildStatus::Built: {
        CBuildSummary summary;
        try {
            summary =
                SummarizeProgram(settings.outputPath, out.standardOutput ? "-" : out.given, json);
            if (out.Streamed()) {
                CopyIntoStream(settings.outputPath, out.standardOutput ? "" : out.streamPath,
                               out.given);
            } else {
                for (const std::string& removed :
                     RemoveStaleContinuationFiles(settings.outputPath, result.continuationFiles)) {
                    summary.notes.push_back("removed " + NamingTheOutput(removed, out) +
                                            ", left by an earlier build spread over more files");
                }
            }
        } catch (const std::exception& e) {
            throw CommandError{NamingTheOutput(e.what(), out)};
        }
        for (const std::string& note : result.notes) summary.notes.push_back(Cp1252ToUtf8(note));
        summary.result = result;
        summary.seconds = seconds;
        summary.warnings = console.Warnings();
        // With -o -, standard output carries the program: the report goes to stderr.
        FILE* report = out.standardOutput ? stderr : stdout;
        if (json) {
            std::string text = summary.ToJson().ToJson() + "\n";
            std::fwrite(text.data(), 1, text.size(), report);
        } else if (level == ReportLevel::Verbose) {
            console.PrintReport(report);
            summary.Print(report);
        } else if (level == ReportLevel::Normal) {
            summary.Print(report);
        }
        break;
    }
    }
    return BuildExitCode(result.status);
}

const bool registered = RegisterCommand({
    "build",
    "build the setup program of a project",
    "Usage: velkanc build PROJECT [-o OUT] [-q|-v] [--json] [--progress]\n"
    "                     [--platform win32|win31] [--yes] [--runtime DIR]\n"
    "                     [--sign COMMAND] [--jobs N] [--share-equal-files]\n"
    "                     [--delta-search window|global] [--span SIZE]\n"
    "                     [-D NAME=VALUE]... [--no-rescan]\n"
    "\n"
    "Builds the project's setup program: the install runtime, the project's settings, one file\n"
    "table per version and the packed files (each distinct content stored once, changed files as\n"
    "deltas against the earlier version). A short summary goes to stdout (the output with its\n"
    "size and SHA-256); warnings and errors go to stderr, one line each; a progress bar goes to\n"
    "stderr when it is a terminal. Ctrl-C, SIGTERM and SIGHUP cancel: nothing is left behind\n"
    "and the earlier program stays. When the target is a removable disk too small for the data,\n"
    "the build asks for further disks on the terminal (without a terminal it cancels).\n"
    "\n"
    "  -o OUT           the setup program to write (default: the project's output path, read\n"
    "                   from the project's folder when relative); a link is written through,\n"
    "                   a device or FIFO written into, a missing folder made; - is stdout\n"
    "  -q, --quiet      print nothing but warnings and errors\n"
    "  -v, --verbose    print the per-file table (File, Packed, Size, Ratio) too\n"
    "  --json           print one JSON document instead: the output (path, size, sha256),\n"
    "                   the counters, warnings, notes and every version with its entries\n"
    "                   (number from 1, path, size, packed size, delta, checksum)\n"
    "  --progress       without a terminal, one line per tenth of the work on stderr\n"
    "  -D NAME=VALUE, --define NAME=VALUE\n"
    "                   ${NAME} in any text of the project stands for VALUE (repeatable; $${\n"
    "                   writes a literal ${); a name used but not defined fails the build\n"
    "  --no-rescan      build the file lists as the project stores them; by default each\n"
    "                   version's source folder is scanned again: new files are added with\n"
    "                   default settings, files gone are dropped (the report names both)\n"
    "  --platform P     win32 (Windows 95 / NT) or win31, instead of the project's platform\n"
    "  --yes            build despite the warnings (without it they stop the build: exit 4)\n"
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
    "Exit status: 0 built, 1 failed (or nothing to install), 2 usage error, 3 cancelled,\n"
    "4 stopped at warnings.\n",
    RunBuild,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
