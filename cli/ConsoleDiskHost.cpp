#include "cli/ConsoleDiskHost.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "cli/BuildConsole.h"
#include "core/platform/CodePage.h"
#include "core/res/StringTable.h"

namespace velkan::cli {

namespace {

constexpr int kInsertDisk = 2014;  // "Please insert disk number %d."
constexpr int kDiskHoldsFiles = 1186;
constexpr int kDiskError = 2015;  // "Error: %s\n\nPlease insert disk number %d."

std::string Replace(std::string text, const std::string& what, const std::string& with)
{
    size_t at = text.find(what);
    if (at != std::string::npos) text.replace(at, what.size(), with);
    return text;
}

}  // namespace

CConsoleDiskHost::CConsoleDiskHost() : m_bInteractive(isatty(STDIN_FILENO) == 1) {}

bool CConsoleDiskHost::Ask(const std::string& text, const char* agree)
{
    std::fprintf(stderr, "\n%s\n", Cp1252ToUtf8(text).c_str());
    if (!m_bInteractive) {
        std::fprintf(stderr, "Cancel (stdin is not a terminal).\n");
        return false;
    }
    std::fprintf(stderr, "Press Enter for %s, or type c and Enter to cancel: ", agree);
    std::fflush(stderr);
    std::string answer;
    for (;;) {
        int c = std::fgetc(stdin);
        if (c == EOF || CBuildConsole::Interrupted()) return false;
        if (c == '\n') break;
        answer += static_cast<char>(c);
    }
    return answer.empty() || answer == agree;
}

bool CConsoleDiskHost::AskInsertDisk(int diskNumber)
{
    return Ask(Replace(LoadString(kInsertDisk), "%d", std::to_string(diskNumber)), "ok");
}

void CConsoleDiskHost::NotifyDiskHoldsFiles()
{
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(LoadString(kDiskHoldsFiles)).c_str());
}

bool CConsoleDiskHost::AskRetryDisk(const std::string& error, int diskNumber)
{
    // The number first: the error text itself may hold a "%d".
    std::string text = Replace(LoadString(kDiskError), "%d", std::to_string(diskNumber));
    return Ask(Replace(text, "%s", error), "retry");
}

}  // namespace velkan::cli
