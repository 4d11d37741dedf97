#include "cli/ToolHelp.h"

#include "cli/CommandRegistry.h"

namespace velkan::cli {

const char* const kToolVersion = "velkanc " VELKAN_VERSION;

const char* const kToolDescription =
    "Velkan's command-line builder: makes Windows setup programs from Velkan\n"
    "projects (.vkp, or .json for a project kept as text) and inspects, converts\n"
    "and packs what they are made of.\n";

const char* const kToolOptions =
    "  --help, -h         this help; 'velkanc COMMAND --help' the arguments of one command\n"
    "  --version          the version of this program\n"
    "  --man              this help as a manual page (roff)\n"
    "  --bash-completion  a bash completion script for velkanc's commands and options\n";

const char* const kToolExitStatus =
    "0 success, 1 failure, 2 usage error, 3 cancelled (Ctrl-C, SIGTERM, SIGHUP),\n"
    "4 a build stopped at its warnings.\n";

void PrintToolHelp(FILE* out)
{
    std::fprintf(out, "Usage: velkanc COMMAND [ARGUMENTS]\n\n%s\nCommands:\n", kToolDescription);
    for (const Command& c : AllCommands()) {
        std::fprintf(out, "  %-16s %s\n", c.name.c_str(), c.summary.c_str());
    }
    std::fprintf(out, "\nOptions:\n%s\nExit status: %s", kToolOptions, kToolExitStatus);
}

}  // namespace velkan::cli
