// The wizard bitmap in its frame: proportions kept, never enlarged, scaled by area averages.
#include <gtest/gtest.h>

#include "core/wizard/BitmapFit.h"

namespace velkan {
namespace {

TEST(BitmapFit, KeepsProportionsAndNeverEnlarges)
{
    struct Case {
        int w, h, boxW, boxH, fitW, fitH;
    } cases[] = {
        {164, 314, 78, 210, 78, 149},  // too wide for the frame: the width sets the scale
        {128, 280, 78, 132, 60, 132},  // too tall: the height does
        {50, 60, 78, 210, 50, 60},     // smaller than the frame: as it is
        {78, 210, 78, 210, 78, 210},   // exactly the frame
        {10000, 1, 78, 210, 78, 1},    // a sliver stays at least one pixel
        {0, 10, 78, 210, 0, 0},        // nothing to show
        {10, 10, 0, 210, 0, 0},
    };
    for (const Case& c : cases) {
        FitSize fit = FitInside(c.w, c.h, c.boxW, c.boxH);
        EXPECT_EQ(fit.width, c.fitW) << c.w << "x" << c.h;
        EXPECT_EQ(fit.height, c.fitH) << c.w << "x" << c.h;
    }
}

TEST(BitmapFit, EachPixelIsTheAverageOfWhatItCovers)
{
    // 2x2 to 1x1: the mean of the four, channel by channel.
    std::vector<uint32_t> square = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00000001};
    EXPECT_EQ(ScaleDown(square, 2, 2, {1, 1}), std::vector<uint32_t>{0x00404040});
    // A one-pixel dark line in white, 3 rows to 2: it darkens the rows it falls in, evenly, and
    // adds nothing elsewhere.
    std::vector<uint32_t> lined = {0xFFFFFF, 0x000000, 0xFFFFFF};
    std::vector<uint32_t> out = ScaleDown(lined, 1, 3, {1, 2});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], out[1]);
    EXPECT_EQ(out[0], 0xAAAAAAu);
    // Too few pixels for the size claimed: nothing is read beyond them.
    EXPECT_EQ(ScaleDown({1, 2}, 2, 2, {1, 1}), std::vector<uint32_t>{0});
}

}  // namespace
}  // namespace velkan
