// Path macro tokens: words in number signs ("#InstallDir#") that the install program replaces on
// the target machine. The builder stores them as typed and never expands them. Three popup menus
// insert them into edit fields; this is the one list of tokens, captions and commands.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velkan {

// The three popup menus, as bits, so that a token can say which menus offer it.
enum MacroMenu : unsigned {
    kMacroMenu1 = 0x1,  // folder fields: Windows, System, Program Files
    kMacroMenu2 = 0x2,  // string values: everything but the Start-menu roots
    kMacroMenu3 = 0x4,  // Start-menu folders
};

struct PathMacro {
    std::string_view token;    // inserted text, e.g. "#Windows#"
    std::string_view caption;  // menu item caption, with its & shortcut
    int commandId;             // menu command that inserts the token
    unsigned menus;            // MacroMenu bits of the menus that offer it
};

struct MacroMenuInfo {
    MacroMenu menu;
    int position;                // sub-menu position in the menu resource
    std::string_view caption;    // sub-menu caption
    std::span<const int> items;  // command ids in order; kMacroSeparator is a separator
};

constexpr int kMacroMenuResource = 140;
constexpr int kMacroButtonId = 1147;      // the ">" button beside every macro field
constexpr int kFirstMacroCommand = 5000;  // hosts handle the whole range with one handler
constexpr int kLastMacroCommand = 5010;
constexpr int kMacroSeparator = 0;

// All tokens, in command order.
std::span<const PathMacro> GetPathMacros();
// The token of a command id; nullptr when the id has none (5007, or outside the range).
const PathMacro* FindPathMacro(int commandId);
// The three menus, in resource order.
std::span<const MacroMenuInfo> GetMacroMenus();
// One menu by its bit; a value that is not exactly one menu bit gives Macro1.
const MacroMenuInfo& GetMacroMenu(MacroMenu menu);

// The insertion rule of the macro menus: the field text with the command's token appended when
// the command has a token and the menu offers it; otherwise the text unchanged.
std::string AppendMacroToken(std::string_view fieldText, int commandId, MacroMenu menu);

}  // namespace velkan
