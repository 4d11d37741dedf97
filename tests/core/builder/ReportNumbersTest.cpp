#include "core/builder/ReportNumbers.h"

#include <gtest/gtest.h>

#include "core/builder/CBuildProgress.h"

using namespace velkan;

namespace {

struct NumbersCase {
    int kind;
    uint64_t size;
    uint64_t packed;
    ReportColumns expected;
};

TEST(ReportNumbers, ColumnsFollowTheBuildPageRules)
{
    const NumbersCase cases[] = {
        {1081, 1200000, 600000, {"1,200,000", "600,000", "50%"}},
        {1081, 999, 999, {"999", "999", "0%"}},
        {1081, 1000, 1, {"1,000", "1", "99%"}},    // share rounds to 0: shown as 99%
        {1081, 1000, 10, {"1,000", "10", "99%"}},  // share 1
        {1081, 1000, 19, {"1,000", "19", "99%"}},  // share 1, truncated
        {1081, 100, 150, {"100", "150", "-50%"}},  // packed larger than the file
        {1081, 5000, 0, {"5,000", "0", "-"}},      // nothing stored: kept external
        {1082, 0, 0, {"", "0", "-"}},
        {1083, 12, 0, {"12", "0", "-"}},
        {1084, 12, 0, {"12", "-", "-"}},  // other kinds show a packed 0 as "-"
        {1081, 0, 77, {"", "77", ""}},    // size 0, packed not: no ratio
        {1081, 4294967295u, 1234567890, {"4,294,967,295", "1,234,567,890", "72%"}},
        {1081,
         5000000000ull,
         2500000000ull,
         {"5,000,000,000", "2,500,000,000", "50%"}},  // past 32 bits
    };
    for (const NumbersCase& c : cases) {
        EXPECT_EQ(FormatReportNumbers(c.kind, c.size, c.packed), c.expected)
            << c.kind << " " << c.size << " " << c.packed;
    }
}

TEST(ReportNumbers, ThousandsSeparators)
{
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {12345, "12,345"},
        {123456, "123,456"},
        {1234567, "1,234,567"},
        {18446744073709551615ull, "18,446,744,073,709,551,615"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatThousands(value), text);
}

TEST(BuildProgressText, HundredthsOfAPercent)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "00.00 %"}, {5, "00.05 %"}, {1234, "12.34 %"}, {9999, "99.99 %"}, {10000, "100.00 %"}};
    for (const auto& [position, text] : cases)
        EXPECT_EQ(CBuildProgress::PercentText(position), text);
}

}  // namespace
