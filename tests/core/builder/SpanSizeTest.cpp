// The size of a spanned build's pieces: bytes or decimal units, exactly, and every text that is no
// size, too small or too large refused with its reason.
#include <gtest/gtest.h>

#include "core/builder/SpanSize.h"

using namespace velkan;

namespace {

struct SizeCase {
    const char* text;
    uint64_t bytes;      // 0: refused
    const char* reason;  // part of the refusal
};

TEST(SpanSize, ParsesBytesAndDecimalUnitsAndRefusesTheRest)
{
    const SizeCase cases[] = {
        {"32772", 32772, ""},
        {"40K", 40000, ""},
        {"40k", 40000, ""},
        {"1.44M", 1440000, ""},
        {"650M", 650000000, ""},
        {"4.7G", 4700000000u, ""},
        {"0.05M", 50000, ""},
        {"1.4400009M", 1440000, ""},          // rounded down to whole bytes
        {"1.999999999999G", 1999999999, ""},  // decimals beyond a byte change nothing
        {"18446744073709551615", UINT64_MAX, ""},
        {"18446744073.709551615G", UINT64_MAX, ""},
        {"0", 0, "less than the smallest piece of 32772 bytes"},
        {"0G", 0, "less than the smallest piece"},
        {"32771", 0, "is 32771 bytes, less than"},
        {"0.032771M", 0, "less than"},
        {"18446744073709551616", 0, "too large"},
        {"99999999999999999999999", 0, "too large"},
        {"18446744074G", 0, "too large"},
        {"18446744073.709551616G", 0, "too large"},
        {"", 0, "not a size"},
        {"abc", 0, "not a size"},
        {"12KB", 0, "not a size"},
        {"1.5", 0, "not a size"},  // a fraction of a byte
        {"1.M", 0, "not a size"},
        {".5M", 0, "not a size"},
        {"-40000", 0, "not a size"},
        {" 40000", 0, "not a size"},
        {"1e6", 0, "not a size"},
        {"40T", 0, "not a size"},
        {"1,44M", 0, "not a size"},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        std::optional<uint64_t> bytes = ParseSpanSize(c.text, error);
        if (c.bytes != 0) {
            ASSERT_TRUE(bytes.has_value()) << error;
            EXPECT_EQ(*bytes, c.bytes);
        } else {
            EXPECT_FALSE(bytes.has_value());
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        }
    }
}

}  // namespace
