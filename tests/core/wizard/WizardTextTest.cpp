#include "core/wizard/WizardText.h"

#include <gtest/gtest.h>

#include "core/res/StringTable.h"

namespace velkan {
namespace {

struct ExpandCase {
    const char* text;
    const char* title;
    const char* expected;
};

TEST(ExpandTitle, Cases)
{
    const ExpandCase cases[] = {
        {"#Title's files", "MyProduct", "MyProduct's files"},
        {"#Title's files and #title", "acme tools", "Acme tools's files and acme tools"},
        {"#title and #title", "X", "X and X"},
        {"#TITLE #TiTlE #title", "x", "#TITLE #TiTlE x"},
        {"Keep #title and #Title", "a #title b", "Keep #title and #Title"},
        {"Keep #title and #Title", "#Title", "Keep #title and #Title"},
        {"#Titlefoo", "", "Foo"},
        {"end #Title", "", "end "},
        {"no macro", "T", "no macro"},
        {"", "T", ""},
        // An occurrence formed across the inserted title is found again, as "first occurrence,
        // repeatedly" requires: "#tit" + "le" + "le" becomes "#title" + "le".
        {"#tit#titlele", "le", "lele"},
        // Upper-casing of the code page, not of the C locale: e-acute, y-diaeresis, s-caron.
        {"#Title",
         "\xE9"
         "cole",
         "\xC9"
         "cole"},
        {"#Title", "\xFF", "\x9F"},
        {"#Title", "\x9A", "\x8A"},
        {"#Title", "\xF7", "\xF7"},
        {"#Title", "1st", "1st"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandTitle(c.text, c.title), c.expected) << c.text << " / " << c.title;
    }
}

TEST(ExpandTitle, DirectoryPageDefault)
{
    EXPECT_EQ(ExpandTitle(GetDefaultText(2, 1), LoadString(1054)),
              "MyProduct's files will be installed in the following directory:");
}

TEST(ExpandTitle, LongTextWithManyMacrosStaysExact)
{
    std::string text;
    std::string expected;
    for (int i = 0; i < 2000; ++i) {
        text += "#title-#Title ";
        expected += "ab-Ab ";
    }
    EXPECT_EQ(ExpandTitle(text, "ab"), expected);
}

struct DisplayCase {
    const char* text;
    const char* display;
};

TEST(DisplayForm, TextToDisplay)
{
    const DisplayCase cases[] = {
        {"a\nb", "a\\nb"},
        {"a\r\nb", "a\\nb"},
        {"\r\r", ""},
        {"\n\n", "\\n\\n"},
        {"back\\slash", "back\\slash"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToDisplay(c.text), c.display) << c.text;
}

TEST(DisplayForm, DisplayToText)
{
    const DisplayCase cases[] = {
        {"a\nb", "a\\nb"}, {"\n\n", "\\n\\n"}, {"a\\", "a\\"},  // a lone backslash at the end stays
        {"\\t", "\\t"},                                         // only \n is an escape
        {"\\\n", "\\\\n"},  // first backslash stays, the second starts the escape
        {"\\N", "\\N"},     // exact case
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayToText(c.display), c.text) << c.display;
}

TEST(DisplayForm, RoundTripDropsOnlyCarriageReturns)
{
    EXPECT_EQ(DisplayToText(TextToDisplay("line 1\r\nline 2\nend")), "line 1\nline 2\nend");
}

}  // namespace
}  // namespace velkan
