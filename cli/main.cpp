// velkanc: the command-line builder and toolbox. Finds the command named by the first one or two
// words, handles --help at every level, and turns the commands' errors into exit codes.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/BashCompletion.h"
#include "cli/CommandRegistry.h"
#include "cli/ManualPage.h"
#include "cli/ToolHelp.h"
#include "core/platform/InterruptCleanup.h"

using namespace velkan::cli;

namespace {

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

// The command whose (one- or two-word) name matches the start of argv, longest name first.
const Command* FindCommand(const std::vector<std::string>& args, size_t& consumed)
{
    const Command* best = nullptr;
    size_t bestWords = 0;
    for (const Command& c : AllCommands()) {
        std::vector<std::string> words;
        size_t start = 0;
        while (start <= c.name.size()) {
            size_t space = c.name.find(' ', start);
            if (space == std::string::npos) space = c.name.size();
            words.push_back(c.name.substr(start, space - start));
            start = space + 1;
        }
        if (words.size() > args.size() || words.size() <= bestWords) continue;
        bool match = true;
        for (size_t i = 0; i < words.size(); ++i) match = match && words[i] == args[i];
        if (match) {
            best = &c;
            bestWords = words.size();
        }
    }
    consumed = bestWords;
    return best;
}

// "velkanc texts" alone: the commands whose first word it is, on stdout when asked with --help,
// else on stderr as the usage error it is. False when word starts no two-word command.
bool PrintSubcommands(const std::string& word, bool asked)
{
    FILE* out = asked ? stdout : stderr;
    bool any = false;
    for (const Command& c : AllCommands()) {
        if (c.name.rfind(word + " ", 0) != 0) continue;
        if (!any) std::fprintf(out, "velkanc %s: one of these commands:\n", word.c_str());
        any = true;
        std::fprintf(out, "  %-16s %s\n", c.name.c_str(), c.summary.c_str());
    }
    return any;
}

}  // namespace

int main(int argc, char** argv)
{
    // Ctrl-C leaves no temporary file behind and exits 3 (a build handles it on its own).
    velkan::InstallInterruptCleanup(kExitCancelled, "velkanc: cancelled; no temporary file left\n");
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fprintf(stderr, "velkanc: a command is needed; run 'velkanc --help' for the list\n");
        return kExitUsage;
    }
    if (IsHelp(args[0])) {
        PrintToolHelp(stdout);
        return kExitOk;
    }
    if (args[0] == "--version") {
        std::printf("%s\n", kToolVersion);
        return kExitOk;
    }
    if (args[0] == "--man" || args[0] == "--bash-completion") {
        std::string text = args[0] == "--man" ? ManualPage() : BashCompletion();
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kExitOk;
    }
    if (args[0] == "help") {
        args.erase(args.begin());
        if (args.empty()) {
            PrintToolHelp(stdout);
            return kExitOk;
        }
        args.push_back("--help");
    }

    size_t consumed = 0;
    const Command* command = FindCommand(args, consumed);
    if (!command && PrintSubcommands(args[0], args.size() > 1 && IsHelp(args[1]))) {
        return args.size() > 1 && IsHelp(args[1]) ? kExitOk : kExitUsage;
    }
    if (!command) {
        std::fprintf(stderr, "velkanc: unknown command '%s'; run 'velkanc --help' for the list\n",
                     args[0].c_str());
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + static_cast<long>(consumed), args.end());
    for (const std::string& arg : rest) {
        if (IsHelp(arg)) {
            std::printf("%s", command->usage.c_str());
            return kExitOk;
        }
    }
    try {
        return command->run(rest);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "velkanc %s: %s (see 'velkanc %s --help')\n", command->name.c_str(),
                     e.message.c_str(), command->name.c_str());
        return kExitUsage;
    } catch (const CommandError& e) {
        std::fprintf(stderr, "velkanc: %s\n", e.message.c_str());
        return kExitFailure;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "velkanc: out of memory\n");
        return kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkanc: %s\n", e.what());
        return kExitFailure;
    }
}
