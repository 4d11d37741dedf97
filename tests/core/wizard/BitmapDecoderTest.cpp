// Bitmap files decoded as Windows draws them: every form gives the picture it was made from, and
// damaged or hostile files are refused with a reason or decoded within their bounds.
#include "core/wizard/BitmapDecoder.h"

#include <gtest/gtest.h>

#include "core/wizard/WizardBitmap.h"
#include "tests/support/BitmapFiles.h"

namespace velkan {
namespace {

using test::BitmapForm;
using test::EveryBitmapForm;
using test::MakeBitmapFile;
using test::PaletteColour;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(BitmapDecoder, EveryFormGivesItsPicture)
{
    // Odd sizes (rows padded, half bytes, runs and absolute stretches of odd length), stripes
    // that make runs, and noise that makes absolute stretches.
    struct Size {
        int w, h;
    };
    for (const auto& form : EveryBitmapForm()) {
        for (Size size : {Size{1, 1}, Size{13, 7}, Size{33, 5}, Size{300, 3}}) {
            const int levels = form.levels;
            auto picture = [&](int x, int y) {
                const uint32_t stripe = static_cast<uint32_t>(x / 4 + y);
                const uint32_t noise = static_cast<uint32_t>(x * 7 + y * 13 + (x * x) % 5);
                return (y % 2 ? stripe : noise) % static_cast<uint32_t>(levels);
            };
            std::vector<uint8_t> file = MakeBitmapFile(form.form, size.w, size.h, picture);
            std::string why;
            std::optional<BitmapImage> image = DecodeBitmap(file, &why);
            ASSERT_TRUE(image.has_value()) << form.name << " " << size.w << ": " << why;
            ASSERT_EQ(image->width, size.w);
            ASSERT_EQ(image->height, size.h);
            ASSERT_EQ(image->pixels.size(), static_cast<size_t>(size.w * size.h));
            for (int y = 0; y < size.h; ++y) {
                for (int x = 0; x < size.w; ++x) {
                    ASSERT_EQ(image->pixels[static_cast<size_t>(y * size.w + x)],
                              PaletteColour(picture(x, y)))
                        << form.name << " " << size.w << "x" << size.h << " at " << x << "," << y;
                }
            }
        }
    }
}

// Run-length packed data as Windows reads it: jumps, rows ended early, and data that runs past
// the right edge, the top or the end of the file, cut off there.
TEST(BitmapDecoder, RunLengthDataIsCutOffAtTheEdges)
{
    auto blank = [](int, int) { return 0u; };
    const uint32_t c1 = PaletteColour(1), c2 = PaletteColour(2);
    struct Case {
        const char* what;
        std::vector<uint8_t> data;  // replaces the packed rows of a 4x2 RLE8 bitmap
        std::vector<uint32_t> pixels;
    } cases[] = {
        {"run past the right edge", {9, 1, 0, 1}, {0, 0, 0, 0, c1, c1, c1, c1}},
        {"row ended early", {1, 1, 0, 0, 2, 2, 0, 1}, {c2, c2, 0, 0, c1, 0, 0, 0}},
        {"jump right and up", {0, 2, 1, 1, 1, 2, 0, 1}, {0, c2, 0, 0, 0, 0, 0, 0}},
        {"jump past the top", {0, 2, 0, 9, 1, 2}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"absolute past the end", {0, 4, 1, 2}, {0, 0, 0, 0, c1, c2, 0, 0}},
        {"rows past the top", {0, 0, 0, 0, 0, 0, 4, 1}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"no end mark", {2, 1}, {0, 0, 0, 0, c1, c1, 0, 0}},
        {"half a pair", {4}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = MakeBitmapFile(BitmapForm::Rle8, 4, 2, blank);
        const size_t offset = file[10] | (file[11] << 8);
        file.resize(offset);
        file.insert(file.end(), c.data.begin(), c.data.end());
        std::optional<BitmapImage> image = DecodeBitmap(file);
        ASSERT_TRUE(image.has_value()) << c.what;
        EXPECT_EQ(image->pixels, c.pixels) << c.what;
    }
}

TEST(BitmapDecoder, DamagedAndHostileFilesAreRefusedWithAReason)
{
    struct Damage {
        const char* what;
        BitmapForm form;
        size_t at;
        uint32_t value;
    };
    const Damage damages[] = {
        {"not BM", BitmapForm::Bits8, 0, 'X'},
        {"old 12-byte header", BitmapForm::Bits24, 14, 12},
        {"header past the end", BitmapForm::Bits24, 14, 0x100000},
        {"zero width", BitmapForm::Bits8, 18, 0},
        {"negative width", BitmapForm::Bits8, 18, 0xFFFFFFF0},
        {"zero height", BitmapForm::Bits8, 22, 0},
        {"huge width", BitmapForm::Bits24, 18, 0x7FFFFFFF},
        {"huge height", BitmapForm::Rle8, 22, 0x10000000},
        {"most negative height", BitmapForm::Bits24, 22, 0x80000000},
        {"huge size for a few packed bytes", BitmapForm::Rle8, 18, 0x100000},
        {"two planes", BitmapForm::Bits8, 26, 0x80002},
        {"unknown depth", BitmapForm::Bits8, 28, 7},
        {"packed 24 bits", BitmapForm::Bits24, 30, 1},
        {"JPEG inside", BitmapForm::Bits24, 30, 4},
        {"packed rows top-down", BitmapForm::Rle8, 22, static_cast<uint32_t>(-3)},
        {"more colours than the depth has", BitmapForm::Bits4, 46, 17},
        {"colour table past the end", BitmapForm::Bits8, 46, 255},  // with the pixels cut off
        {"pixels before the colour table", BitmapForm::Bits8, 10, 60},
        {"pixels past the end", BitmapForm::Bits24, 10, 0x7FFFFFF0},
        {"rows past the end", BitmapForm::Bits24, 22, 9},
    };
    auto picture = [](int x, int y) { return static_cast<uint32_t>(x + y) % 2; };
    for (const Damage& d : damages) {
        std::vector<uint8_t> b = MakeBitmapFile(d.form, 6, 3, picture);
        Put32(b, d.at, d.value);
        if (std::string(d.what) == "colour table past the end") b.resize(54 + 100);
        std::string why;
        EXPECT_FALSE(DecodeBitmap(b, &why).has_value()) << d.what;
        EXPECT_FALSE(why.empty()) << d.what;
    }
    // Every prefix of every form: refused, or decoded to the size it claims.
    for (const auto& form : EveryBitmapForm()) {
        const std::vector<uint8_t> whole = MakeBitmapFile(form.form, 9, 4, picture);
        for (size_t n = 0; n < whole.size(); ++n) {
            std::optional<BitmapImage> image =
                DecodeBitmap(std::vector<uint8_t>(whole.begin(), whole.begin() + n));
            if (image) {
                EXPECT_EQ(image->pixels.size(), 36u) << form.name << " " << n;
            }
        }
    }
}

// What a setup program carries and shows: the package's test (a 40-byte header, rows bottom-up)
// and the decoder, in the words the editor and the build use.
TEST(BitmapDecoder, TheWizardShowsWhatThePackageCarriesAndTheDecoderDraws)
{
    auto picture = [](int, int) { return 1u; };
    FitSize size;
    EXPECT_EQ(BitmapRefusal(MakeBitmapFile(BitmapForm::Rle8, 164, 314, picture), &size), "");
    EXPECT_EQ(size.width, 164);
    EXPECT_EQ(size.height, 314);
    EXPECT_NE(BitmapRefusal(MakeBitmapFile(BitmapForm::TopDown, 4, 4, picture)), "");
    // A longer header (colour masks in it): drawn, but not carried.
    std::vector<uint8_t> longHeader = MakeBitmapFile(BitmapForm::Bits24, 4, 4, picture);
    longHeader.insert(longHeader.begin() + 54, 12, 0);
    Put32(longHeader, 14, 52);
    Put32(longHeader, 10, 54 + 12);
    EXPECT_TRUE(DecodeBitmap(longHeader).has_value());
    EXPECT_NE(BitmapRefusal(longHeader), "");
    EXPECT_NE(BitmapRefusal({'B', 'M'}), "");

    EXPECT_EQ(BitmapScaleNote({128, 280}), "");
    EXPECT_EQ(BitmapScaleNote({100, 100}), "");
    EXPECT_NE(BitmapScaleNote({164, 314}).find("128x245"), std::string::npos);
    EXPECT_NE(BitmapScaleNote({129, 10}), "");
}

}  // namespace
}  // namespace velkan
