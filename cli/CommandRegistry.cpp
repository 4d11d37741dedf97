#include "cli/CommandRegistry.h"

namespace velkan::cli {

static std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}

bool RegisterCommand(Command command)
{
    Registry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& AllCommands()
{
    return Registry();
}

}  // namespace velkan::cli
