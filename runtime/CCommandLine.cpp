#include "runtime/CCommandLine.h"

#include <windows.h>

namespace velkan::runtime {

std::vector<std::wstring> ProcessArguments()
{
    std::vector<std::wstring> args = CCommandLine::Split(GetCommandLineW());
    if (!args.empty()) args.erase(args.begin());  // the program itself
    return args;
}

}  // namespace velkan::runtime
