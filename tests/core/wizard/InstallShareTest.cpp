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

// One file among thousands of empty ones moves the bar by its share of the files, not nothing;
// a large file still weighs by its bytes.
TEST(InstallShare, EveryFileWeighsAtLeastACluster)
{
    uint64_t total = 0;
    for (int i = 0; i < 1000; ++i) total += InstallWork(0);
    EXPECT_EQ(InstallShare(InstallWork(0) * 10, total), 10u);
    EXPECT_GT(InstallWork(1), InstallWork(0));
    uint64_t big = InstallWork(100u << 20), small = InstallWork(1000);
    EXPECT_EQ(InstallShare(big, big + small), 999u);
}

}  // namespace
}  // namespace velkan
