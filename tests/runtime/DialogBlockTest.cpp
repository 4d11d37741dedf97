// The dialog-template block as the runtime reads it from a package.
#include "runtime/wizard/DialogBlock.h"

#include <gtest/gtest.h>

#include "core/stream/LittleEndian.h"
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

// The style of one item of the runtime's copy changes: the item of that id and class only, the
// package's bytes as they were, every other template and item unchanged.
TEST(DialogBlock, AnItemsStyleChangesInTheRuntimesCopy)
{
    // The item's style as a window would get it: walked from the template's start.
    auto itemStyle = [](const CDialogBlock& block, size_t index, uint16_t id) -> int64_t {
        const auto* t = static_cast<const uint8_t*>(block.Template(index));
        size_t size = WideTemplateSize(t, 4096);
        for (size_t at = 0; at + 22 <= size; at += 2) {
            // An item starts DWORD-aligned; its id follows the style, extended style and place.
            if (at % 4 == 0 && LoadLE16(t + at + 16) == id && LoadLE16(t + at + 18) == 0xFFFF)
                return LoadLE32(t + at);
        }
        return -1;
    };
    const std::vector<uint8_t> bytes = BuildDialogBlock(false, false);
    const std::vector<uint8_t> original = bytes;
    CDialogBlock block(bytes);
    ASSERT_TRUE(block.Valid());
    int64_t list = itemStyle(block, kDlgProgress, kIdReport);
    int64_t name = itemStyle(block, kDlgProgress, kIdFileName);
    int64_t otherName = itemStyle(block, kDlgUninstall, kIdFileName);
    ASSERT_GE(list, 0);
    ASSERT_GE(name, 0);
    ASSERT_GE(otherName, 0);
    struct Case {
        size_t index;
        uint16_t id, classAtom;
        uint32_t clear, add;
        bool found;
    };
    const Case cases[] = {
        {kDlgProgress, kIdReport, kListBox, 0, 0x00100000, true},
        {kDlgProgress, kIdFileName, kStatic, 0x1F, 0x0C, true},
        {kDlgProgress, kIdFileName, kListBox, 0, 0x1, false},  // another class: untouched
        {kDlgProgress, kIdYes, kButton, 0, 0x1, false},        // no such item
        {kWizardDialogCount, kIdReport, kListBox, 0, 0x1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(block.AdjustItemStyle(c.index, c.id, c.classAtom, c.clear, c.add), c.found)
            << c.index << " " << c.id;
    EXPECT_EQ(itemStyle(block, kDlgProgress, kIdReport), list | 0x00100000);
    EXPECT_EQ(itemStyle(block, kDlgProgress, kIdFileName), (name & ~0x1F) | 0x0C);
    EXPECT_EQ(itemStyle(block, kDlgUninstall, kIdFileName), otherName);
    EXPECT_EQ(bytes, original);
    // Done twice, the same.
    EXPECT_TRUE(block.AdjustItemStyle(kDlgProgress, kIdReport, kListBox, 0, 0x00100000));
    EXPECT_EQ(itemStyle(block, kDlgProgress, kIdReport), list | 0x00100000);
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
