// Bitmaps from the package, checked before Windows decodes them.
#include "runtime/wizard/BitmapCheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkan::runtime {
namespace {

// A w x h bitmap file of the given depth (palette for <= 8 bits), pixels all zero.
std::vector<uint8_t> MakeBitmap(int32_t w, int32_t h, uint16_t bits)
{
    uint32_t palette = bits <= 8 ? (1u << bits) * 4 : 0;
    uint32_t stride = (static_cast<uint32_t>(w) * bits + 31) / 32 * 4;
    uint32_t offset = 14 + 40 + palette;
    std::vector<uint8_t> b(offset + stride * static_cast<uint32_t>(h < 0 ? -h : h), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    return b;
}

TEST(BitmapCheck, SoundBitmapsPassDamagedOnesAreRefused)
{
    for (uint16_t bits : {1, 4, 8, 24, 32}) {
        auto ok = CheckBitmapFile(MakeBitmap(13, 7, bits));
        ASSERT_TRUE(ok.has_value()) << bits;
        EXPECT_EQ(ok->width, 13);
        EXPECT_EQ(ok->height, 7);
    }
    EXPECT_TRUE(CheckBitmapFile(MakeBitmap(5, -5, 24)).has_value());  // rows top-down

    struct Damage {
        const char* what;
        size_t at;
        uint8_t value;
    };
    const Damage damages[] = {
        {"not BM", 0, 'X'},
        {"pixels past the end", 10, 0x7F},
        {"header larger than the file", 15, 0x10},
        {"zero width", 18, 0},
        {"huge height", 25, 0x10},
        {"two planes", 26, 2},
        {"unknown depth", 28, 7},
        {"run-length packed", 30, 1},
        {"more colours than the depth has", 48, 1},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> b = MakeBitmap(13, 7, 8);
        b[d.at] = d.value;
        EXPECT_FALSE(CheckBitmapFile(b).has_value()) << d.what;
    }
    std::vector<uint8_t> cut = MakeBitmap(13, 7, 24);
    cut.pop_back();
    EXPECT_FALSE(CheckBitmapFile(cut).has_value());
    EXPECT_FALSE(CheckBitmapFile({'B', 'M'}).has_value());
}

}  // namespace
}  // namespace velkan::runtime
