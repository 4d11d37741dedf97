// velkanc schema: the JSON Schema of projects as text, for editors that complete and check keys.
#include <cstdio>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "core/model/ProjectJson.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{}, {}};

int RunSchema(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(0, 0);
    std::string schema = ProjectSchema();
    std::fwrite(schema.data(), 1, schema.size(), stdout);
    return kExitOk;
}

const bool registered = RegisterCommand({
    "schema",
    "print the JSON Schema of projects as text",
    "Usage: velkanc schema\n"
    "\n"
    "Prints the JSON Schema (draft 2020-12) of a project as text. A project written by Velkan\n"
    "names it in \"$schema\" as velkan-project.schema.json, so saving the output under that name\n"
    "beside the projects lets an editor complete and check their keys.\n",
    RunSchema,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
