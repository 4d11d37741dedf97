#include "core/syntax/StringSyntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkan {
namespace {

struct PatternCase {
    const char* text;
    const char* bytes;  // nullptr = the parse fails
    size_t length;      // number of bytes when bytes is set
};

std::string Parse(const char* text, size_t capacity, size_t& count)
{
    std::vector<unsigned char> buffer(capacity + 1, 0xEE);
    count = ParseBytePattern(text, buffer.data(), capacity);
    EXPECT_EQ(buffer[capacity], 0xEE) << "wrote past the capacity: " << text;
    return std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
}

TEST(ParseBytePattern, Cases)
{
    const PatternCase cases[] = {
        {"0x41,\"BCD\",69,'FGH'", "ABCDEFGH", 8},
        {"  0x41 ,\t\"B C\" , 69 ", "AB CE", 5},
        {"300", "\x2C", 1},
        {"0x141", "\x41", 1},
        {"0XfF", "\xFF", 1},
        {"0", "\0", 1},
        {"00", "\0", 1},
        {"255,256", "\xFF\0", 2},
        {"99999999999999999999", "\xFF", 1},  // modulo 256 of 10^20 - 1 is 255
        {"0x123456789ABCDEF0", "\xF0", 1},
        {"1,", "\x01", 1},
        {"\"a\"", "a", 1},
        {"'\"'", "\"", 1},
        {"\"\"\"", "\"", 1},
        {"'it''s'", "it''s", 5},
        {"", nullptr, 0},
        {" ", nullptr, 0},
        {",1", nullptr, 0},
        {"1,,2", nullptr, 0},
        {"1, ", nullptr, 0},  // text remains after the comma, and it is an empty token
        {"1,,", nullptr, 0},
        {"\"A,B\"", nullptr, 0},  // the comma splits the quoted text
        {"\"\"", nullptr, 0},
        {"''", nullptr, 0},
        {"\"", nullptr, 0},
        {"\"abc'", nullptr, 0},
        {"'abc", nullptr, 0},
        {"-5", nullptr, 0},
        {"+5", nullptr, 0},
        {"0x", nullptr, 0},
        {"0x4g", nullptr, 0},
        {"x41", nullptr, 0},
        {"1 2", nullptr, 0},
        {"12a", nullptr, 0},
        {"A", nullptr, 0},
    };
    for (const auto& c : cases) {
        size_t expected = c.bytes ? c.length : 0;
        EXPECT_EQ(ParseBytePattern(c.text), expected) << c.text;
        size_t count = 0;
        std::string bytes = Parse(c.text, 64, count);
        EXPECT_EQ(count, expected) << c.text;
        if (c.bytes) {
            EXPECT_EQ(bytes, std::string(c.bytes, c.length)) << c.text;
        }
    }
}

TEST(ParseBytePattern, Capacity)
{
    size_t count = 0;
    EXPECT_EQ(Parse("0x41,\"BCD\",69,'FGH'", 8, count), "ABCDEFGH");
    Parse("0x41,\"BCD\",69,'FGH'", 7, count);
    EXPECT_EQ(count, 0u);
    Parse("\"ABCD\"", 3, count);  // a quoted token that does not fit
    EXPECT_EQ(count, 0u);
    Parse("1", 0, count);
    EXPECT_EQ(count, 0u);
    // Without a buffer the capacity does not limit the count.
    EXPECT_EQ(ParseBytePattern("\"ABCD\"", nullptr, 0), 4u);
}

struct OffsetCase {
    const char* text;
    uint32_t value;
};

TEST(ParseOffset, Cases)
{
    const OffsetCase cases[] = {
        {"0X1f", 31},
        {"0x1F", 31},
        {"0x1f", 31},
        {" \t32768 ", 32768},
        {"0x8000", 32768},
        {"12a", 0},
        {"", 0},
        {"   ", 0},
        {"4294967297", 1},
        {"4294967295", 4294967295u},
        {"0x100000001", 1},
        {"0X", 0},
        {"0x", 0},
        {"0xg", 0},
        {"-1", 0},
        {"1 2", 0},
        {"007", 7},
        {"0", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseOffset(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace velkan
