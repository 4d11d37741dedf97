// velkanc's commands register themselves here, one file per command, so main() knows them all
// without a central list. Exit codes are shared by every command.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/builder/BuildExitCode.h"

namespace velkan::cli {

// A build's codes are the general ones, so scripts read every command alike.
enum ExitCode {
    kExitOk = kBuildExitBuilt,
    kExitFailure = kBuildExitFailed,
    kExitUsage = 2,
    kExitCancelled = kBuildExitStopped,
    kExitWarnings = kBuildExitWarnings,
};

// The options a command accepts, names with their dashes: values take a value ("-o OUT"),
// flags do not. Declared once beside the command, for its parser and for the check that its
// usage names every one.
struct CommandOptions {
    std::set<std::string> values;
    std::set<std::string> flags;
};

struct Command {
    std::string name;     // "pack", or "texts export" for a two-word command
    std::string summary;  // one line for `velkanc --help`
    std::string usage;    // full text for `velkanc NAME --help`
    std::function<int(const std::vector<std::string>& args)> run;  // args after the name
    CommandOptions options;
};

// Registers a command at static-initialisation time; returns true so it can seed a static.
bool RegisterCommand(Command command);
const std::vector<Command>& AllCommands();

// Thrown by argument parsing; main() prints it with the command's usage and exits 2.
struct UsageError {
    std::string message;
};

// Thrown by a command for a failure; main() prints "velkanc: MESSAGE" and exits 1.
struct CommandError {
    std::string message;
};

}  // namespace velkan::cli
