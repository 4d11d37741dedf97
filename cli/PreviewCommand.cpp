// velkanc preview: writes the wizard preview's test program, for scripts and tests. The setup
// stub shows the wizard from the page asked for and installs nothing.
#include <exception>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"
#include "core/builder/BuildPreparation.h"
#include "core/model/CDataArray.h"
#include "core/package/StubImage.h"
#include "core/package/TestProgram.h"
#include "core/platform/ProjectFolder.h"
#include "core/res/RuntimeResources.h"
#include "core/wizard/WizardPage.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{"-o", "--page"}, {}};

int RunPreview(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(1, 1);
    CDataArray project = LoadProjectOrFail(p.Positional()[0]);
    try {
        // Its bitmaps are read from the project's folder, as a build reads them.
        ResolveProjectPaths(project, ProjectFolderOf(p.Positional()[0]));
    } catch (const CError& e) {
        throw CommandError{p.Positional()[0] + ": " + e.what()};
    }
    std::optional<std::string> output = p.Value("-o");
    if (!output || output->empty()) throw UsageError{"give the test program to write with -o OUT"};
    int page = kNoStartPage;
    if (auto n = p.Number("--page")) {
        page = *n >= kTextPageCount ? PagePresentation : static_cast<int>(*n);
    }
    std::optional<std::vector<uint8_t>> stub =
        LoadRuntimeResource(StubResourceId(project.m_nPlatform));
    if (!stub || stub->empty())
        throw CommandError{"this velkanc carries no setup stub: no test program can be written"};
    std::optional<std::vector<uint8_t>> block = LoadRuntimeResource(
        DialogBlockResourceId(project.m_nPlatform, !project.m_strWizardBitmap.empty()));
    try {
        if (!WriteTestProgramFile(*output, project, *stub, block ? &*block : nullptr, page)) {
            throw CommandError{
                *output + ": cannot be replaced (a test program may still be running from it)"};
        }
    } catch (const CommandError&) {
        throw;
    } catch (const std::exception& e) {
        throw CommandError{e.what()};
    }
    return kExitOk;
}

const bool registered = RegisterCommand({
    "preview",
    "write a test program that shows the install wizard without installing",
    "Usage: velkanc preview PROJECT [--page N] -o OUT\n"
    "\n"
    "Writes the test program of the wizard preview: the setup stub with the project's wizard\n"
    "settings and texts and no files. Started, it shows the wizard of the current version from\n"
    "the page asked for, every page reachable with Back and Next, and installs nothing.\n"
    "\n"
    "  --page N   the editor's page number to start at: 0 Presentation, 1 Information,\n"
    "             2 Directory, 3 Confirmation, 4 Progress, 5 End, 9 Choose the version\n"
    "             (default: the first page)\n"
    "  -o OUT     the test program to write\n",
    RunPreview,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
