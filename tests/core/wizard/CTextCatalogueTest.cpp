#include "core/wizard/CTextCatalogue.h"

#include <gtest/gtest.h>
#include <set>

#include "core/res/StringTable.h"
#include "core/wizard/WizardPage.h"

namespace velkan {
namespace {

TEST(CTextCatalogue, PageShapes)
{
    const int counts[kTextPageCount] = {5, 3, 8, 5, 3, 9, 32, 7, 11, 3, 4};
    for (int page = 0; page < kTextPageCount; ++page) {
        EXPECT_EQ(CTextCatalogue::TextCount(page), counts[page]) << page;
    }
    EXPECT_EQ(CTextCatalogue::TextCount(-1), 0);
    EXPECT_EQ(CTextCatalogue::TextCount(11), 0);
}

TEST(CTextCatalogue, EveryIdItUsesIsInTheStringTable)
{
    for (int page = 0; page < kTextPageCount; ++page) {
        if (int nameId = CTextCatalogue::PageNameId(page)) {
            EXPECT_TRUE(HasString(nameId)) << "page name " << page;
        }
        for (int text = 0; text < CTextCatalogue::TextCount(page); ++text) {
            bool reserved = page == 10 && text < 3;
            int textId = CTextCatalogue::DefaultTextId(page, text);
            int usageId = CTextCatalogue::UsageId(page, text);
            if (reserved) {
                EXPECT_EQ(textId, 0);
                EXPECT_EQ(usageId, 0);
                continue;
            }
            EXPECT_TRUE(HasString(textId)) << page << "/" << text << " text " << textId;
            EXPECT_TRUE(HasString(usageId)) << page << "/" << text << " usage " << usageId;
            EXPECT_FALSE(CTextCatalogue::GetUsage(page, text).empty()) << page << "/" << text;
        }
    }
}

struct SlotCase {
    int page;
    int text;
    int textId;
    int usageId;
};

// Slots where the table is easy to get out of order: the swapped buttons, the shared notes, the
// two slots of page 6 whose default texts look alike, and the last slot of each page.
TEST(CTextCatalogue, SpotChecks)
{
    const SlotCase cases[] = {
        {0, 0, 1023, 1033},  {0, 4, 1015, 1037},  {1, 1, 1021, 2009},  {1, 2, 1021, 1242},
        {2, 7, 1175, 1176},  {3, 4, 1018, 1037},  {4, 2, 1021, 1035},  {5, 4, 1012, 1133},
        {5, 8, 1021, 1241},  {6, 0, 1022, 1038},  {6, 6, 1110, 1114},  {6, 9, 1104, 1120},
        {6, 12, 1031, 1123}, {6, 22, 1073, 1100}, {6, 28, 2014, 2016}, {6, 31, 1236, 1237},
        {7, 3, 1004, 1047},  {7, 4, 1006, 1058},  {7, 5, 1005, 1046},  {7, 6, 1206, 1207},
        {8, 3, 1140, 1144},  {8, 7, 1031, 1123},  {8, 10, 1169, 1170}, {9, 2, 1192, 1035},
        {10, 3, 1240, 1239},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CTextCatalogue::DefaultTextId(c.page, c.text), c.textId)
            << c.page << "/" << c.text;
        EXPECT_EQ(CTextCatalogue::UsageId(c.page, c.text), c.usageId) << c.page << "/" << c.text;
    }
    EXPECT_EQ(CTextCatalogue::GetDefaultText(2, 1),
              "#Title's files will be installed in the following directory:");
    EXPECT_EQ(CTextCatalogue::GetDefaultText(1, 1), " ");
    EXPECT_EQ(CTextCatalogue::GetDefaultText(10, 3), "B&rowse");
    EXPECT_EQ(CTextCatalogue::GetUsage(10, 3), "'Browse' button");
}

TEST(CTextCatalogue, ReservedAndOutOfRangeSlotsAreEmpty)
{
    for (int text = 0; text < 3; ++text) {
        EXPECT_EQ(CTextCatalogue::GetDefaultText(10, text), "");
        EXPECT_EQ(CTextCatalogue::GetUsage(10, text), "");
    }
    const std::pair<int, int> outside[] = {{11, 0}, {-1, 0}, {0, 5}, {0, -1}, {6, 32}, {100, 3}};
    for (auto [page, text] : outside) {
        EXPECT_EQ(CTextCatalogue::GetDefaultText(page, text), "") << page << "/" << text;
        EXPECT_EQ(CTextCatalogue::GetUsage(page, text), "") << page << "/" << text;
        EXPECT_EQ(CTextCatalogue::DefaultTextId(page, text), 0);
    }
}

TEST(CTextCatalogue, PageNames)
{
    const int ids[kTextPageCount] = {1196, 1197, 1198, 1199, 1200, 1201, 1202, 1203, 0, 1204, 0};
    for (int page = 0; page < kTextPageCount; ++page) {
        EXPECT_EQ(CTextCatalogue::PageNameId(page), ids[page]) << page;
    }
    EXPECT_EQ(CTextCatalogue::GetPageName(6), "Miscellaneous texts");
    EXPECT_EQ(CTextCatalogue::GetPageName(9), "Choose the version to install");
    EXPECT_EQ(CTextCatalogue::GetPageName(8), "");
    EXPECT_EQ(CTextCatalogue::PageNameId(11), 0);
}

// Projects as text address a text by its page's and slot's names: each is set and unique.
TEST(TextCatalogue, EveryPageAndSlotHasItsOwnName)
{
    std::set<std::string> pages;
    for (int page = 0; page < kTextPageCount; ++page) {
        EXPECT_TRUE(pages.insert(CTextCatalogue::PageKey(page)).second) << page;
        std::set<std::string> slots;
        for (int text = 0; text < CTextCatalogue::TextCount(page); ++text) {
            std::string key = CTextCatalogue::SlotKey(page, text);
            EXPECT_FALSE(key.empty()) << page << "/" << text;
            EXPECT_TRUE(slots.insert(key).second) << page << "/" << key;
        }
    }
    EXPECT_EQ(std::string(CTextCatalogue::SlotKey(PageEnd, kEndViewText)), "viewButton");
    EXPECT_EQ(std::string(CTextCatalogue::PageKey(kTextPageCount)), "");
}

}  // namespace
}  // namespace velkan
