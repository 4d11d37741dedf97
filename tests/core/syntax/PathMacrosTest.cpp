#include "core/syntax/PathMacros.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(PathMacros, AppendFollowsTheMenuThatOffersTheToken)
{
    struct Case {
        int command;
        MacroMenu menu;
        const char* expected;
    };
    const Case cases[] = {
        {5000, kMacroMenu1, "C:\\#Windows#"},
        {5002, kMacroMenu1, "C:\\#Program Files#"},
        {5003, kMacroMenu1, "C:\\"},  // Macro1 does not offer #InstallDir#
        {5003, kMacroMenu2, "C:\\#InstallDir#"},
        {5008, kMacroMenu2, "C:\\#Date#"},
        {5007, kMacroMenu2, "C:\\"},  // no token behind 5007
        {5009, kMacroMenu2, "C:\\"},
        {5009, kMacroMenu3, "C:\\#Start Menu#"},
        {5010, kMacroMenu3, "C:\\#Startup#"},
        {5001, kMacroMenu3, "C:\\"},
        {4999, kMacroMenu2, "C:\\"},
        {5011, kMacroMenu2, "C:\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppendMacroToken("C:\\", c.command, c.menu), c.expected) << c.command;
    }
    EXPECT_EQ(AppendMacroToken(AppendMacroToken("", 5003, kMacroMenu2), 5003, kMacroMenu2),
              "#InstallDir##InstallDir#");
}

TEST(PathMacros, MenusListOnlyTokensTheyOffer)
{
    ASSERT_EQ(GetMacroMenus().size(), 3u);
    for (const MacroMenuInfo& menu : GetMacroMenus()) {
        for (int command : menu.items) {
            if (command == kMacroSeparator) continue;
            const PathMacro* macro = FindPathMacro(command);
            ASSERT_NE(macro, nullptr) << command;
            EXPECT_TRUE(macro->menus & menu.menu) << menu.caption << " " << command;
            EXPECT_GE(command, kFirstMacroCommand);
            EXPECT_LE(command, kLastMacroCommand);
        }
    }
    const MacroMenuInfo& macro2 = GetMacroMenu(kMacroMenu2);
    EXPECT_EQ(macro2.position, 8);
    EXPECT_EQ(macro2.caption, "Macro2");
    EXPECT_EQ(std::vector<int>(macro2.items.begin(), macro2.items.end()),
              (std::vector<int>{5000, 5001, 5002, kMacroSeparator, 5003, 5004, 5005, 5006, 5008}));
    EXPECT_EQ(GetMacroMenu(kMacroMenu3).position, 9);
    EXPECT_EQ(FindPathMacro(5004)->caption, "Sou&rce directory");
    EXPECT_EQ(FindPathMacro(5007), nullptr);
    EXPECT_EQ(GetPathMacros().size(), 10u);
}

}  // namespace
}  // namespace velkan
