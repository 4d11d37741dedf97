// velkanc show: every field of every record of a project, as text or JSON.
#include <cstdio>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"
#include "core/model/ProjectJson.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{}, {"--json"}};

int RunShow(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(1, 1);
    CDataArray project = LoadProjectOrFail(p.Positional()[0]);
    bool json = p.Has("--json");
    std::string out =
        json ? WriteProjectJson(project) : ProjectToJson(project, JsonDetail::People).ToText();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

const bool registered = RegisterCommand({
    "show",
    "print every field of a project",
    "Usage: velkanc show PROJECT [--json]\n"
    "\n"
    "Prints every stored field of every record of the project (.vkp, .vkt or .json): the "
    "project's\n"
    "settings, then each version with its files, wizard texts and INI, registry and file-string\n"
    "entries. Text is converted from the project's Windows-1252 code page to UTF-8.\n"
    "\n"
    "  --json   print the project as text: the JSON of a .json project file (see the README)\n",
    RunShow,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
