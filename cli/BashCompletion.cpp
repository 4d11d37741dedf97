#include "cli/BashCompletion.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "cli/CommandRegistry.h"
#include "cli/ToolHelp.h"

namespace velkan::cli {

namespace {

bool IsOptionLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Join(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

// The options a help text names ("-o", "--json"), sorted, each once.
std::vector<std::string> OptionsNamedIn(const std::string& help)
{
    // An option starts a word of the help ("[-o OUT]", "-D NAME=VALUE, --define ...",
    // "-q|-v") and ends where its value or the next word begins; "-" alone and hyphenated words
    // are no options.
    const std::string before = " \n[|,(";
    const std::string after = " \n]|,=)";
    std::set<std::string> options;
    for (size_t at = 0; at < help.size(); ++at) {
        if (help[at] != '-' || (at > 0 && before.find(help[at - 1]) == std::string::npos)) continue;
        size_t end = at + 1;
        if (end < help.size() && help[end] == '-') {
            ++end;
            while (end < help.size() &&
                   (IsOptionLetter(help[end]) || (help[end] >= '0' && help[end] <= '9') ||
                    (help[end] == '-' && end > at + 2))) {
                ++end;
            }
            if (end == at + 2) continue;
        } else if (end < help.size() && IsOptionLetter(help[end])) {
            ++end;
        } else {
            continue;
        }
        if (end < help.size() && after.find(help[end]) == std::string::npos) continue;
        options.insert(help.substr(at, end - at));
    }
    return {options.begin(), options.end()};
}

}  // namespace

std::string BashCompletion()
{
    // The first words of the commands, and for two-word commands the second words under the first.
    std::vector<std::string> firstWords;
    std::map<std::string, std::vector<std::string>> secondWords;
    for (const Command& c : AllCommands()) {
        const size_t space = c.name.find(' ');
        const std::string first = c.name.substr(0, space);
        if (std::find(firstWords.begin(), firstWords.end(), first) == firstWords.end()) {
            firstWords.push_back(first);
        }
        if (space != std::string::npos) secondWords[first].push_back(c.name.substr(space + 1));
    }
    std::vector<std::string> top = firstWords;
    top.push_back("help");
    for (const std::string& option : OptionsNamedIn(kToolOptions)) top.push_back(option);

    std::string script =
        "# bash completion for velkanc, written by 'velkanc --bash-completion'\n"
        "_velkanc()\n"
        "{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} command=${COMP_WORDS[1]} words\n"
        "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
        "        COMPREPLY=($(compgen -W '" +
        Join(top) +
        "' -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    case $command in\n";
    for (const auto& [first, seconds] : secondWords) {
        script += "    " + first +
                  ")\n"
                  "        if [ \"$COMP_CWORD\" -eq 2 ]; then\n"
                  "            COMPREPLY=($(compgen -W '" +
                  Join(seconds) +
                  "' -- \"$cur\"))\n"
                  "            return\n"
                  "        fi\n"
                  "        command=\"$command ${COMP_WORDS[2]}\" ;;\n";
    }
    script +=
        "    esac\n"
        "    # Anything but an option is a file or a folder (complete -o default).\n"
        "    [[ $cur == -* ]] || return 0\n"
        "    case $command in\n";
    for (const Command& c : AllCommands()) {
        // What the command's parser accepts (the help's test checks its usage names the same).
        std::set<std::string> accepted = c.options.values;
        accepted.insert(c.options.flags.begin(), c.options.flags.end());
        accepted.insert("--help");
        const std::vector<std::string> options(accepted.begin(), accepted.end());
        script += "    '" + c.name + "') words='" + Join(options) + "' ;;\n";
    }
    script +=
        "    esac\n"
        "    COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
        "}\n"
        "complete -o default -F _velkanc velkanc\n";
    return script;
}

}  // namespace velkan::cli
