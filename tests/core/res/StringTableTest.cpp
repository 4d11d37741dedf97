#include "core/res/StringTable.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(StringTable, UnknownIdsGiveEmptyTextAndAreAbsent)
{
    for (int id : {-1, 0, 1, 999, 1019, 1042, 1159, 9999, 65535, 100000}) {
        EXPECT_FALSE(HasString(id)) << id;
        EXPECT_EQ(LoadString(id), "") << id;
    }
}

TEST(StringTable, EmptyTextIsStillAnEntry)
{
    EXPECT_TRUE(HasString(1048));
    EXPECT_EQ(LoadString(1048), "");
}

struct TextCase {
    int id;
    const char* text;
};

// Texts whose exact bytes are easy to get wrong: escapes, leading or trailing blanks, quotes,
// doubled ampersands, printf formats, and the first and last ids of the table.
TEST(StringTable, TrickyTextsAreExact)
{
    const TextCase cases[] = {
        {128,
         "Orvanti Velkan\nInstall\n\nSettings File (*.vkp)\n.vkp\nVelkanPro.Settings\nVelkan "
         "Settings"},
        {1021, " "},
        {1054, "MyProduct"},
        {1012,
         "#Title has not been totally installed because of the following reason:\n\n%s\n\n"
         "You will have to run this utility again to completely install #title."},
        {1029,
         "You are currently in the process of installing components.\nIf you exit now, these "
         "components will not be installed correctly.\n\nAre you sure you want to cancel?"},
        {1063, "Example: 0x41,\"BCD\",69,'FGH'"},
        {1144,
         "Message box button. Put '&&' before the character which will be used as keyboard "
         "shortcut."},
        {1152, "    Number of files: %d"},
        {1179,
         "%s\n\nThis file exists and is a different language than the file to install.\n\n"
         "Do yo want to overwrite the installed version anyway?"},
        {1185, "Warnings occured. Do you want to continue?"},
        {1242,
         "Use this text to replace the Next button. E.g; if your Information page contains a "
         "license, you may want to replace the Next button by \"I &agree\"."},
        {1241,
         "This text is not displayed. Put here a non-empty text (e.g. \"1\") if you want to "
         "force the Install program to display the \"Restart Windows\" message above."},
        {2009,
         "This text is displayed in a scrollable window. If it is empty, then the page is not "
         "displayed. It's usually used to display license or install information. "},
        {2013, "Cannot find this directory:\n\n%s"},
        {2015, "Error: %s\n\nPlease insert disk number %d."},
        {1157, "Text Files (*.txt)|*.txt||"},
        {1028, "Executable Files (*.exe)|*.exe|All files (*.*)|*.*||"},
        {1114, "This message is displayed when the destination directory does not exist."},
        {1174, "Displayed below the directory name."},
        {2003, "0"},
        {9020, "Choose a directory"},
        {57344, "Velkan"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(HasString(c.id)) << c.id;
        EXPECT_EQ(LoadString(c.id), c.text) << c.id;
    }
}

TEST(StringTable, NeighbouringIdsAreNotConfused)
{
    // Adjacent ids with short texts: a binary search off by one would swap them.
    EXPECT_EQ(LoadString(1000), "< &Back");
    EXPECT_EQ(LoadString(1001), "&Next >");
    EXPECT_EQ(LoadString(1002), "Click 'Next' to continue.");
    EXPECT_EQ(LoadString(1216), "Invalid");
    EXPECT_EQ(LoadString(1217), "Valid");
    EXPECT_EQ(LoadString(1077), "Packed");
    EXPECT_EQ(LoadString(1078), "Ratio");
    EXPECT_EQ(LoadString(1086), "File");
    EXPECT_EQ(LoadString(1087), "Size");
}

}  // namespace
}  // namespace velkan
