// Messages joined from pieces read as the same text std::to_string and operator+ would give.
#include "core/stream/JoinText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace velkan {
namespace {

TEST(JoinText, PiecesAndNumbersReadAsWritten)
{
    std::string name = "setup.exe";
    std::string_view view = "view";
    const struct {
        std::string joined;
        std::string expected;
    } cases[] = {
        {JoinText({}), ""},
        {JoinText({"a body of ", 0, " bytes"}), "a body of 0 bytes"},
        {JoinText({name, ": ", view, "!"}), "setup.exe: view!"},
        {JoinText({UINT64_MAX}), std::to_string(UINT64_MAX)},
        {JoinText({INT64_MIN, " ", -1, " ", INT_MAX}),
         std::to_string(INT64_MIN) + " -1 " + std::to_string(INT_MAX)},
        {JoinText({static_cast<uint16_t>(65535), static_cast<unsigned char>(7)}), "655357"},
        {JoinText({std::string(1, '\0'), "x"}), std::string("\0x", 2)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.joined, c.expected);
}

}  // namespace
}  // namespace velkan
