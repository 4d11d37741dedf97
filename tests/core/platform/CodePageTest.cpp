#include "core/platform/CodePage.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(CodePage, EveryByteRoundTripsThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = Cp1252ToUtf8(all);
    auto back = Utf8ToCp1252(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(CodePage, ToUtf8)
{
    struct Case {
        const char* cp1252;
        const char* utf8;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"\x80", "\xE2\x82\xAC"},  // euro sign
        {"\x81", "\xC2\x81"},      // undefined byte: C1 control of the same value
        {"\x8D\x8F\x90\x9D", "\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\x92", "\xE2\x80\x99"},  // right single quotation mark
        {"\x9F", "\xC5\xB8"},      // Y diaeresis
        {"\xA0", "\xC2\xA0"},
        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
        {"\xFF", "\xC3\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
        EXPECT_EQ(Utf8ToCp1252(c.utf8), std::optional<std::string>(c.cp1252)) << c.utf8;
    }
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(CodePage, FromUtf8RefusesWhatItCannotHold)
{
    const char* refused[] = {
        "\xC4\x80",          // U+0100: not in the code page
        "\xC2\x80",          // U+0080: a C1 control the code page does not map
        "\xE2\x82",          // truncated sequence
        "\x80",              // stray continuation byte
        "\xC0\x80",          // overlong NUL
        "\xE0\x80\xAF",      // overlong slash
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xF0\x9F\x98\x80",  // valid, but outside the code page
        "\xFE",
        "ok\xC3",  // truncated at the end
    };
    for (const char* text : refused) {
        EXPECT_FALSE(Utf8ToCp1252(text).has_value()) << testing::PrintToString(std::string(text));
    }
    EXPECT_EQ(Utf8ToCp1252(""), std::optional<std::string>(""));
}

TEST(CodePage, FromUtf16)
{
    EXPECT_EQ(Utf16ToCp1252(u"A\u20AC\u00E9\u0100"), "A\x80\xE9?");
    EXPECT_EQ(Utf16ToCp1252(u"\U0001F600x"), "?x");  // a pair is one character
    const char16_t lone[] = {0xD800, u'a', 0xDC00, 0};
    EXPECT_EQ(Utf16ToCp1252(lone), "?a?");
    EXPECT_EQ(Utf16ToCp1252(u"\u0081\u0080"), "\x81?");
    const unsigned char le[] = {'H', 0, 0xAC, 0x20, 0x00, 0x01};
    EXPECT_EQ(Utf16LeToCp1252(le, 3), "H\x80?");
    EXPECT_EQ(Utf16LeToCp1252(le, 0), "");
}

TEST(CodePage, CaseMapping)
{
    EXPECT_EQ(ToUpper1252("abc xyz \xE0\xE9\xFE \x9A\x9C\x9E\xFF"),
              "ABC XYZ \xC0\xC9\xDE \x8A\x8C\x8E\x9F");
    // Division sign, sharp s, micro sign and digits have no upper case here.
    EXPECT_EQ(ToUpper1252("\xF7\xDF\xB5"
                          "09"),
              "\xF7\xDF\xB5"
              "09");
    EXPECT_EQ(ToLower1252("ABC \xC0\xC9\xDE \x8A\x8C\x8E\x9F \xD7"),
              "abc \xE0\xE9\xFE \x9A\x9C\x9E\xFF \xD7");
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        char upper = ToUpper1252(c);
        if (upper != c) {
            EXPECT_EQ(ToLower1252(upper), c) << b;
        }
    }
    EXPECT_TRUE(EqualNoCase1252("C:\\Program Files\\\xC9t\xE9", "c:\\PROGRAM FILES\\\xE9T\xC9"));
    EXPECT_FALSE(EqualNoCase1252("abc", "abd"));
    EXPECT_FALSE(EqualNoCase1252("abc", "ab"));
}

// What is printed never drives the terminal: C0, DEL and C1 controls (as UTF-8 or as their 8-bit
// bytes) become \u00XX; every other character, and any other byte, stays.
TEST(CodePage, EscapeControlsTable)
{
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"plain/caf\xC3\xA9.txt", "plain/caf\xC3\xA9.txt"},
        {"a\x1b[2Jb", "a\\u001b[2Jb"},
        {"del\x7F", "del\\u007f"},
        {"c1\xC2\x9B"
         "31m",
         "c1\\u009b31m"},
        {"c1\xC2\x85next", "c1\\u0085next"},
        {"raw\x9B"
         "31m",
         "raw\\u009b31m"},
        {"raw\xFF", "raw\xFF"},
        {"nbsp\xC2\xA0", "nbsp\xC2\xA0"},
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeControls(c.in), c.out) << c.in;
    // A Windows-1252 name with an undefined byte shows it as its C1 control, escaped.
    EXPECT_EQ(EscapeControls(Cp1252ToUtf8("a\x81"
                                          "b\x9D")),
              "a\\u0081b\\u009d");
}

}  // namespace
}  // namespace velkan
