// The 16-bit dialog templates of the Windows 3.1 layout, widened into the Win32 form the wizard's
// windows are made from.
#include "runtime/wizard/NarrowTemplate.h"

#include <gtest/gtest.h>

#include "runtime/WizardDialogs.h"
#include "runtime/wizard/DialogBlock.h"
#include "runtime/wizard/NarrowDialogBlock.h"

namespace velkan::runtime {
namespace {

size_t Offset(const std::vector<uint8_t>& block, size_t index)
{
    const uint8_t* p = block.data() + 4 * index;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<size_t>(p[3]) << 24);
}

// Template index of a block, up to the next one (or the end).
std::vector<uint8_t> TemplateBytes(const std::vector<uint8_t>& block, size_t index)
{
    size_t end = index + 1 < kWizardDialogCount ? Offset(block, index + 1) : block.size();
    return {block.begin() + static_cast<std::ptrdiff_t>(Offset(block, index)),
            block.begin() + static_cast<std::ptrdiff_t>(end)};
}

TEST(NarrowTemplate, OurWin31BlocksWidenToOurWin32Blocks)
{
    for (bool withBitmap : {false, true}) {
        std::vector<uint8_t> narrow = BuildDialogBlock(true, withBitmap);
        std::vector<uint8_t> expected = BuildDialogBlock(false, withBitmap);
        std::optional<std::vector<uint8_t>> wide = WidenDialogBlock(narrow);
        ASSERT_TRUE(wide) << withBitmap;
        for (size_t i = 0; i < kWizardDialogCount; ++i) {
            EXPECT_EQ(TemplateBytes(*wide, i), TemplateBytes(expected, i))
                << "bitmap " << withBitmap << " template " << i;
        }
        EXPECT_EQ(*wide, expected);
        EXPECT_TRUE(CDialogBlock(*wide).Valid());
    }
}

// The parts our builder never writes: a menu and text ordinal, a named dialog and control class,
// creation data, no font, and Windows-1252 letters beyond ASCII.
TEST(NarrowTemplate, EveryFieldFormIsWidened)
{
    const std::vector<uint8_t> narrow = {
        0x00, 0x00, 0xC8, 0x80,  // style: popup, caption, modal frame; no DS_SETFONT
        1,                       // one item
        1,    0,    2,    0,    100, 0, 50, 0, 0xFF, 7, 0,  // menu ordinal 7
        'C',  0,                                            // class "C"
        'T',  0xE9, 0x80, 0,                                // caption "Té€"
        4,    0,    5,    0,    6,   0, 7,  0, 9,    0,     // item x, y, cx, cy, id
        0x00, 0x00, 0x00, 0x50,                             // child, visible
        'M',  'y',  0,                                      // class "My"
        0xFF, 3,    1,                                      // text ordinal 0x103
        2,    0xAA, 0xBB,                                   // two bytes of creation data
    };
    size_t length = 0;
    std::optional<DialogTemplateFields> t =
        ReadNarrowTemplate(narrow.data(), narrow.size(), &length);
    ASSERT_TRUE(t);
    EXPECT_EQ(length, narrow.size());
    EXPECT_EQ(t->menu.ordinal, 7);
    EXPECT_EQ(t->caption, L"T\u00E9\u20AC");
    ASSERT_EQ(t->items.size(), 1u);
    EXPECT_EQ(t->items[0].cls.name, L"My");
    EXPECT_EQ(t->items[0].text.ordinal, 0x103);
    const std::vector<uint8_t> expected =
        {
            0x00, 0x00, 0xC8, 0x80, 0,   0, 0,   0, 1,    0,    1,   0, 2,    0, 100,  0,
            50,   0,    0xFF, 0xFF, 7,   0, 'C', 0, 0,    0,    'T', 0, 0xE9, 0, 0xAC, 0x20,
            0,    0,    0,    0,  // the item starts on a DWORD
            0x00, 0x00, 0x00, 0x50, 0,   0, 0,   0, 4,    0,    5,   0, 6,    0, 7,    0,
            9,    0,    'M',  0,    'y', 0, 0,   0, 0xFF, 0xFF, 3,   1, 2,    0, 0xAA, 0xBB,
        };
    std::vector<uint8_t> wide = WriteWideTemplate(*t);
    EXPECT_EQ(wide, expected);
    EXPECT_EQ(WideTemplateSize(wide.data(), wide.size()), wide.size());
}

// Every cut of every template runs off the end somewhere and is refused; so is each damage below.
TEST(NarrowTemplate, DamagedTemplatesAreRefused)
{
    std::vector<uint8_t> block = BuildDialogBlock(true, true);
    for (size_t i = 0; i < kWizardDialogCount; ++i) {
        std::vector<uint8_t> one = TemplateBytes(block, i);
        size_t length = 0;
        ASSERT_TRUE(ReadNarrowTemplate(one.data(), one.size(), &length)) << i;
        EXPECT_EQ(length, one.size()) << i;
        for (size_t size = 0; size < one.size(); ++size) {
            std::vector<uint8_t> cut(one.begin(), one.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_FALSE(ReadNarrowTemplate(cut.data(), cut.size())) << i << " cut at " << size;
        }
    }
    // Damage to the frame template (items start after the font name "MS Sans Serif").
    const std::vector<uint8_t> frame = TemplateBytes(block, kDlgFrame);
    const size_t firstItem = 4 + 1 + 8 + 1 + 1 + 6 + 2 + 14;
    struct Case {
        const char* what;
        size_t at;
        uint8_t value;
        size_t cutTo = 0;  // 0: the whole template
    } cases[] = {
        {"more items than the bytes hold", 4, 6},
        {"more items than any dialog has", 4, kMaxDialogItems + 1},
        {"an unknown predefined class", firstItem + 14, 0x86},
        {"an empty class name", firstItem + 14, 0},
        {"creation data past the end", frame.size() - 1, 0xFF},
        {"a menu ordinal cut short", 13, 0xFF, 15},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = frame;
        if (c.cutTo) bad.resize(c.cutTo);
        bad[c.at] = c.value;
        EXPECT_FALSE(ReadNarrowTemplate(bad.data(), bad.size())) << c.what;
    }
    // A string that never ends, longer than any template may be.
    std::vector<uint8_t> endless = frame;
    endless.resize(firstItem - 16);
    endless.insert(endless.end(), kMaxNarrowTemplateSize, 'x');
    endless.push_back(0);
    EXPECT_FALSE(ReadNarrowTemplate(endless.data(), endless.size()));
}

TEST(NarrowTemplate, DamagedBlocksAreRefused)
{
    std::vector<uint8_t> block = BuildDialogBlock(true, false);
    for (size_t size = 0; size < block.size();
         size += (size < kDialogBlockTableSize + 8 ? 1 : 13)) {
        std::vector<uint8_t> cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(WidenDialogBlock(cut)) << size;
    }
    std::vector<uint8_t> bad = block;
    bad[4] = 0xF0, bad[5] = 0xFF;  // an offset out of the block
    EXPECT_FALSE(WidenDialogBlock(bad));
    bad = block;
    bad[0] = 4;  // an offset into the table
    EXPECT_FALSE(WidenDialogBlock(bad));
}

}  // namespace
}  // namespace velkan::runtime
