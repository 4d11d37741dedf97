// The dialog-template block as the runtime reads it from a package.
#include "runtime/wizard/DialogBlock.h"

#include <gtest/gtest.h>

#include "runtime/WizardDialogs.h"
#include "runtime/wizard/BuiltinDialogs.h"

namespace velkan::runtime {
namespace {

TEST(DialogBlock, OurBlocksPassAndEveryDamagedOneIsRefused)
{
    for (bool withBitmap : {false, true}) {
        std::vector<uint8_t> block = BuildDialogBlock(false, withBitmap);
        CDialogBlock good(block);
        ASSERT_TRUE(good.Valid());
        for (size_t i = 0; i < kWizardDialogCount; ++i) EXPECT_NE(good.Template(i), nullptr);
        EXPECT_EQ(good.Template(kWizardDialogCount), nullptr);
        // Cut anywhere inside the last template: its strings run off the end.
        size_t last = block[44] | (block[45] << 8);
        for (size_t size = 0; size < block.size() - 3; size += (size < last ? 97 : 1)) {
            std::vector<uint8_t> cut(block.begin(), block.begin() + size);
            EXPECT_FALSE(CDialogBlock(cut).Valid()) << size;
        }
        // An offset out of the block, and a template claiming thousands of items.
        std::vector<uint8_t> bad = block;
        bad[4] = 0xF0, bad[5] = 0xFF;
        EXPECT_FALSE(CDialogBlock(bad).Valid());
        bad = block;
        bad[last + 8] = 0xFF, bad[last + 9] = 0x7F;
        EXPECT_FALSE(CDialogBlock(bad).Valid());
    }
    // The 8-bit form is not a Win32 template.
    EXPECT_FALSE(CDialogBlock(BuildDialogBlock(true, false)).Valid());
}

TEST(DialogBlock, TheProgramsCarryTheDefinedBlocksPacked)
{
    for (bool withBitmap : {false, true}) {
        EXPECT_EQ(BuiltinDialogBlock(withBitmap), BuildDialogBlock(false, withBitmap))
            << withBitmap;
    }
    EXPECT_EQ(BuiltinPlainDialogBlock(), BuildDialogBlock(false, false));
}

}  // namespace
}  // namespace velkan::runtime
