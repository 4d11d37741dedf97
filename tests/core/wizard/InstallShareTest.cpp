// The progress bar's position from the work an install has reported.
#include "core/wizard/InstallShare.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(InstallShare, FollowsTheWorkDoneAndStaysInItsRange)
{
    struct Case {
        uint64_t done, total;
        uint32_t share;
    };
    const Case cases[] = {
        {0, 0, kInstallShareRange},         // nothing to install: full at once
        {0, 2000, 0},                       //
        {1, 2000, 0},                       // rounded down: full only when all is done
        {1000, 2000, 500},                  //
        {1999, 2000, 999},                  //
        {2000, 2000, kInstallShareRange},   //
        {5000, 2000, kInstallShareRange},   // more reported than counted
        {UINT64_MAX / 2, UINT64_MAX, 500},  // sizes that overflow the product: near enough
        {UINT64_MAX - 1, UINT64_MAX, 999},  //
        {UINT64_MAX, UINT64_MAX, kInstallShareRange},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InstallShare(c.done, c.total), c.share) << c.done << " of " << c.total;
}

// Every file moves the bar, an empty one too; in a tree of small files the bar follows the files
// put in place (where the time goes), and the first of them placed is near the start, not half
// way; a large file weighs by its bytes.
TEST(InstallShare, SmallFilesWeighByTheirNumberLargeOnesByTheirBytes)
{
    EXPECT_GT(CheckWork(0), 0u);
    EXPECT_GT(PlaceWork(0), 0u);
    EXPECT_GT(CheckWork(1u << 20), CheckWork(0));
    EXPECT_GT(PlaceWork(1u << 20), PlaceWork(0));
    uint64_t checkAll = 0, total = 0;
    for (int i = 0; i < 1000; ++i) {
        checkAll += CheckWork(512);
        total += CheckWork(512) + PlaceWork(512);
    }
    EXPECT_LT(InstallShare(checkAll + PlaceWork(512), total), 100u);
    EXPECT_NEAR(InstallShare(checkAll + 500 * PlaceWork(512), total), 500, 50);
    uint64_t big = CheckWork(100u << 20) + PlaceWork(100u << 20);
    uint64_t small = CheckWork(1000) + PlaceWork(1000);
    EXPECT_GE(InstallShare(big, big + small), 990u);
}

}  // namespace
}  // namespace velkan
