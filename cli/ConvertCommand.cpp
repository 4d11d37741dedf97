// velkanc convert: reads a project of any schema, binary or text, and writes it in the newest
// schema or as text, as the output's name says.
#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{"-o"}, {}};

int RunConvert(const std::vector<std::string>& args)
{
    // OUT as the second argument or with -o, as the other commands that write take it.
    CArgParser p(args, kOptions);
    const auto out = p.Value("-o");
    p.ExpectPositional(out ? 1 : 2, out ? 1 : 2);
    CDataArray project = LoadProjectOrFail(p.Positional()[0]);
    SaveProjectOrFail(project, out ? *out : p.Positional()[1]);
    return kExitOk;
}

const bool registered = RegisterCommand({
    "convert",
    "rewrite a project in the newest file format, binary or text",
    "Usage: velkanc convert IN OUT\n"
    "       velkanc convert IN -o OUT\n"
    "\n"
    "Reads the project IN, written by any version of Velkan, and writes it to OUT in the newest\n"
    "project format. A name ending in .json is a project as text (JSON), any other a binary\n"
    "project (.vkp), for IN and OUT alike, so .vkp -> .json and .json -> .vkp both work.\n"
    "OUT may be IN itself; it is replaced only once it was written completely.\n",
    RunConvert,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
