#include "cli/DefineOptions.h"

#include "cli/CommandRegistry.h"

namespace velkan::cli {

std::vector<std::string> SplitAttachedDefines(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    for (const std::string& arg : args) {
        if (arg.size() > 2 && arg.compare(0, 2, "-D") == 0) {
            out.push_back("-D");
            out.push_back(arg.substr(2));
        } else {
            out.push_back(arg);
        }
    }
    return out;
}

Defines DefinesOf(const CArgParser& p)
{
    Defines defines;
    for (const char* option : {"-D", "--define"}) {
        for (const std::string& text : p.Values(option)) {
            size_t eq = text.find('=');
            std::string name = text.substr(0, eq);
            if (eq == std::string::npos || !IsDefineName(name)) {
                throw UsageError{std::string(option) + " takes NAME=VALUE (a name of letters, " +
                                 "digits, '_', '.' and '-'), not '" + text + "'"};
            }
            defines[name] = text.substr(eq + 1);
        }
    }
    return defines;
}

}  // namespace velkan::cli
