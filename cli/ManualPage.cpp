#include "cli/ManualPage.h"

#include "cli/CommandRegistry.h"
#include "cli/ToolHelp.h"

namespace velkan::cli {

namespace {

// Help text as roff: backslashes and dashes escaped (a dash stays a minus sign, so options can
// be copied and searched), and a line starting with a control character kept as text.
std::string Roff(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

// Help text kept as laid out: its columns and line breaks are part of what it says.
std::string Preformatted(const std::string& text)
{
    return ".nf\n" + Roff(text) + (text.ends_with('\n') ? "" : "\n") + ".fi\n";
}

}  // namespace

std::string ManualPage()
{
    std::string page = ".TH VELKANC 1 \"\" \"" + std::string(kToolVersion) +
                       "\" \"User Commands\"\n"
                       ".SH NAME\n"
                       "velkanc \\- build and inspect Windows setup programs from Velkan projects\n"
                       ".SH SYNOPSIS\n"
                       ".B velkanc\n"
                       "\\fICOMMAND\\fR [\\fIARGUMENTS\\fR]\n"
                       ".SH DESCRIPTION\n" +
                       Roff(kToolDescription) + ".SH OPTIONS\n" + Preformatted(kToolOptions) +
                       ".SH COMMANDS\n";
    for (const Command& c : AllCommands()) {
        page += ".SS \"velkanc " + Roff(c.name) + "\"\n" + Roff(c.summary) + "\n.PP\n" +
                Preformatted(c.usage);
    }
    page += ".SH \"EXIT STATUS\"\n" + Roff(kToolExitStatus);
    return page;
}

}  // namespace velkan::cli
