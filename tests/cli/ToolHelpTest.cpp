// velkanc's manual page and bash completion are its help in other forms: every command with its
// whole usage text in the page, every command and option in the completion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

#include "CliRunner.h"

namespace {

// The commands --help lists, as "build" or "texts export".
std::vector<std::string> ListedCommands()
{
    CliResult help = RunVelkanc({"--help"});
    std::vector<std::string> names;
    std::istringstream lines(help.out);
    std::string line;
    bool inList = false;
    while (std::getline(lines, line)) {
        if (line == "Commands:") {
            inList = true;
        } else if (line.empty()) {
            inList = false;
        } else if (inList) {
            // "  name words    summary": the name ends at the first run of two spaces.
            const size_t start = line.find_first_not_of(' ');
            names.push_back(line.substr(start, line.find("  ", start) - start));
        }
    }
    return names;
}

// The text of the roff source: escapes undone, macros left as they are.
std::string Unescaped(const std::string& roff)
{
    std::string text;
    for (size_t i = 0; i < roff.size(); ++i) {
        if (roff[i] == '\\' && i + 1 < roff.size()) {
            const char next = roff[++i];
            if (next == '-') text += '-';
            if (next == 'e') text += '\\';
            continue;  // "\&" is nothing
        }
        text += roff[i];
    }
    return text;
}

TEST(ToolHelp, TheManualPageHoldsEveryCommandsHelp)
{
    const std::vector<std::string> commands = ListedCommands();
    ASSERT_GT(commands.size(), 10u);
    CliResult man = RunVelkanc({"--man"});
    ASSERT_EQ(man.exitCode, 0) << man.err;
    EXPECT_EQ(man.out.rfind(".TH VELKANC 1 ", 0), 0u);
    const std::string text = Unescaped(man.out);
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        EXPECT_NE(man.out.find(".SS \"velkanc " + command + "\"\n"), std::string::npos);
        std::vector<std::string> args;
        std::istringstream words(command);
        for (std::string word; words >> word;) args.push_back(word);
        args.push_back("--help");
        CliResult usage = RunVelkanc(args);
        ASSERT_EQ(usage.exitCode, 0);
        EXPECT_NE(text.find(".nf\n" + usage.out + ".fi\n"), std::string::npos);
    }
    EXPECT_NE(text.find(RunVelkanc({"--version"}).out.substr(0, 13)), std::string::npos);

    // groff reads it without a warning, when it is installed.
    if (std::system("groff -v >/dev/null 2>&1") == 0) {
        TempDir dir;
        WriteFileText(dir / "velkanc.1", man.out);
        CliResult groff =
            RunVelkancAt("groff", {"-man", "-Tutf8", "-ww", "-z", (dir / "velkanc.1").string()});
        EXPECT_EQ(groff.exitCode, 0);
        EXPECT_EQ(groff.err, "");
    }
}

TEST(ToolHelp, BashCompletesCommandsAndTheirOptions)
{
    TempDir dir;
    CliResult script = RunVelkanc({"--bash-completion"});
    ASSERT_EQ(script.exitCode, 0) << script.err;
    WriteFileText(dir / "velkanc.bash", script.out);
    // The words bash offers for the last word of line, as it would after a Tab.
    auto complete = [&](const std::string& line) {
        CliResult r = RunVelkancAt(
            "bash", {"-c",
                     "source \"$1\"; shift; COMP_WORDS=($1); COMP_CWORD=$((${#COMP_WORDS[@]} - "
                     "1)); [[ $1 == *' ' ]] && COMP_WORDS+=('') && COMP_CWORD=$((COMP_CWORD + "
                     "1)); _velkanc; echo \"${COMPREPLY[*]}\"",
                     "bash", (dir / "velkanc.bash").string(), line});
        EXPECT_EQ(r.err, "") << line;
        return r.out.substr(0, r.out.find('\n'));
    };
    const struct {
        const char* line;
        const char* offered;
    } cases[] = {
        {"velkanc bu", "build"},
        {"velkanc texts ", "export import"},
        {"velkanc texts im", "import"},
        {"velkanc texts import p.vkp --v", "--version"},
        {"velkanc build p.vkp --j", "--jobs --json"},
        {"velkanc build p.vkp -q", "-q"},
        {"velkanc extract s.exe --e", "--external"},
        {"velkanc build p", ""},  // a file: bash's own completion takes over
        {"velkanc --ver", "--version"},
    };
    for (const auto& c : cases) EXPECT_EQ(complete(c.line), c.offered) << c.line;
    // Bash offers what each command's parser accepts; its help must name exactly those options,
    // so no accepted option goes undocumented and no documented one is refused.
    const std::regex option(R"((^|[\s\[|,(])(--?[A-Za-z][A-Za-z0-9-]*)(?=[\s\]|,=)]|$))");
    for (const std::string& command : ListedCommands()) {
        SCOPED_TRACE(command);
        std::vector<std::string> args;
        std::istringstream words(command);
        for (std::string word; words >> word;) args.push_back(word);
        args.push_back("--help");
        const std::string usage = RunVelkanc(args).out;
        std::set<std::string> named = {"--help"};
        for (std::sregex_iterator it(usage.begin(), usage.end(), option), end; it != end; ++it) {
            named.insert((*it)[2]);
        }
        std::set<std::string> offered;
        std::istringstream list(complete("velkanc " + command + " -"));
        for (std::string word; list >> word;) offered.insert(word);
        EXPECT_EQ(offered, named);
    }
    // Every command takes --help, and the completion knows every command.
    for (const std::string& command : ListedCommands()) {
        const std::string offered = complete("velkanc " + command + " --he");
        EXPECT_EQ(offered, "--help") << command;
    }
}

}  // namespace
