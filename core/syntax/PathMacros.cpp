#include "core/syntax/PathMacros.h"

namespace velkan {

namespace {

constexpr PathMacro kMacros[] = {
    {"#Windows#", "&Windows directory", 5000, kMacroMenu1 | kMacroMenu2},
    {"#System#", "&System directory", 5001, kMacroMenu1 | kMacroMenu2},
    {"#Program Files#", "&Programs Files directory", 5002, kMacroMenu1 | kMacroMenu2},
    {"#InstallDir#", "&Install directory", 5003, kMacroMenu2},
    {"#SourceDir#", "Sou&rce directory", 5004, kMacroMenu2},
    {"#UserName#", "User &name", 5005, kMacroMenu2},
    {"#UserCompany#", "User &company", 5006, kMacroMenu2},
    {"#Date#", "Current &date", 5008, kMacroMenu2},
    {"#Start Menu#", "&Root of Start menu", 5009, kMacroMenu3},
    {"#Startup#", "&Startup menu", 5010, kMacroMenu3},
};

constexpr int kMenu1Items[] = {5000, 5001, 5002};
constexpr int kMenu2Items[] = {5000, 5001, 5002, kMacroSeparator, 5003, 5004, 5005, 5006, 5008};
constexpr int kMenu3Items[] = {5009, 5010};

constexpr MacroMenuInfo kMenus[] = {
    {kMacroMenu1, 7, "Macro1", kMenu1Items},
    {kMacroMenu2, 8, "Macro2", kMenu2Items},
    {kMacroMenu3, 9, "Macro3", kMenu3Items},
};

}  // namespace

std::span<const PathMacro> GetPathMacros()
{
    return kMacros;
}

const PathMacro* FindPathMacro(int commandId)
{
    for (const PathMacro& macro : kMacros) {
        if (macro.commandId == commandId) return &macro;
    }
    return nullptr;
}

std::span<const MacroMenuInfo> GetMacroMenus()
{
    return kMenus;
}

const MacroMenuInfo& GetMacroMenu(MacroMenu menu)
{
    for (const MacroMenuInfo& info : kMenus) {
        if (info.menu == menu) return info;
    }
    return kMenus[0];
}

std::string AppendMacroToken(std::string_view fieldText, int commandId, MacroMenu menu)
{
    std::string text(fieldText);
    const PathMacro* macro = FindPathMacro(commandId);
    if (macro && (macro->menus & menu)) text += macro->token;
    return text;
}

}  // namespace velkan
