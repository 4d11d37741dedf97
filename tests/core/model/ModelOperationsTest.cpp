// The operations the editor pages perform on a version: the re-scan of the source directory and
// the new-project wizard's choices.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/model/CData.h"
#include "core/model/CUserAbort.h"
#include "core/model/IScanHost.h"
#include "core/stream/CFileException.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

class CancelAt : public IScanHost {
public:
    explicit CancelAt(int poll) : m_cancelAt(poll) {}
    void ShowStatus(const std::string&) override {}
    bool IsCancelRequested() override { return ++m_polls == m_cancelAt; }

private:
    int m_cancelAt;
    int m_polls = 0;
};

class RescanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root =
            fs::temp_directory_path() /
            ("velkan_rescan_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        for (const char* f : {"setup.exe", "readme.txt", "sub/lib.dll"}) Make(f);
    }
    void TearDown() override { fs::remove_all(m_root); }
    void Make(const std::string& relative)
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative) << relative;
    }
    std::string Root() const { return m_root.string() + "/"; }

    // A list as the author left it: options on two files and one file since deleted.
    static CFileList Edited()
    {
        CFileList list;
        CFileItem setup("Setup.EXE");
        setup.SetOption(OptDestination, DestSystem);
        setup.m_strMenuName = "Setup";
        list.push_back(setup);
        CFileItem gone("gone.txt");
        gone.SetOption(OptEndPage, EndPageView);
        list.push_back(gone);
        CFileItem lib("sub\\lib.dll");
        lib.SetOption(OptInstallMode, InstallKeep);
        list.push_back(lib);
        return list;
    }

    fs::path m_root;
};

}  // namespace

TEST_F(RescanTest, KeepsTheOptionsAndSpellingOfKnownPathsAndDropsTheRest)
{
    CFileList list = Edited();
    list.Rescan(Root(), true, nullptr);
    ASSERT_EQ(list.size(), 3u);
    // Scan order, each known path carrying its old item whole (its spelling too).
    EXPECT_EQ(list[0].m_strPath, "readme.txt");
    EXPECT_EQ(list[1], Edited()[0]);
    EXPECT_EQ(list[2], Edited()[2]);
    EXPECT_EQ(list.FindByPath("gone.txt"), nullptr);

    // A file that comes back later has lost its options.
    Make("gone.txt");
    list.Rescan(Root(), true, nullptr);
    EXPECT_EQ(list.FindByPath("gone.txt")->GetOption(OptEndPage), EndPageNone);
}

TEST_F(RescanTest, WithoutSubDirectoriesTheirFilesGoAndComeBackWithoutOptions)
{
    CFileList list = Edited();
    list.Rescan(Root(), false, nullptr);
    EXPECT_EQ(list.FindByPath("sub\\lib.dll"), nullptr);
    list.Rescan(Root(), true, nullptr);
    EXPECT_EQ(list.FindByPath("sub\\lib.dll")->GetOption(OptInstallMode), InstallNormal);
}

TEST_F(RescanTest, AStoppedScanLeavesTheListExactlyAsItWas)
{
    struct Case {
        const char* name;
        int cancelAt;  // poll that cancels; 0 for none
        bool missingDir;
    };
    const Case cases[] = {
        {"cancelled at the first file", 1, false},
        {"cancelled at the last file", 3, false},
        {"unreadable directory", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFileList list = Edited();
        CancelAt host(c.cancelAt);
        std::string root = c.missingDir ? Root() + "nowhere/" : Root();
        EXPECT_ANY_THROW(list.Rescan(root, true, &host));
        EXPECT_EQ(list, Edited());
    }
}

namespace {

// A version scanned from "C:\src\" with three files.
CData ScannedVersion()
{
    CData version;
    version.m_strSourceDir = "C:\\src\\";
    version.m_strTitle = "Product";
    for (const char* path : {"app.exe", "readme.txt", "bin\\tool.exe"}) {
        version.m_files.push_back(CFileItem(path));
    }
    return version;
}

}  // namespace

TEST(WizardChoices, IconShortcutViewAndRunFiles)
{
    CData version = ScannedVersion();
    version.m_strWizIconFile = "c:\\SRC\\app.exe";
    version.m_strWizIconName = "My App";
    version.m_bWizShortcut = 1;
    version.m_strWizViewFile = "C:\\src\\readme.txt";
    version.m_strWizRunFile = "C:\\src\\bin\\tool.exe";
    std::vector<int> changed = version.ApplyWizardChoices();
    EXPECT_EQ(changed, (std::vector<int>{0, 1, 2}));

    const CFileItem& app = version.m_files[0];
    EXPECT_EQ(app.m_strMenuFolder, "Product");
    EXPECT_EQ(app.m_strMenuName, "My App");
    EXPECT_EQ(app.m_strShortcutName, "My App");
    EXPECT_EQ(version.m_files[1].GetOption(OptEndPage), EndPageView);
    EXPECT_EQ(version.m_files[2].GetOption(OptEndPage), EndPageRun);
    EXPECT_EQ(version.m_texts[5][2],
              "Click the following button if you want to see the latest "
              "information concerning #title :");
    EXPECT_EQ(version.m_texts[5][3],
              "Select the following option if you want #title to be "
              "launched after exiting this install program :");
    // The chosen names are left relative to the source directory.
    EXPECT_EQ(version.m_strWizIconFile, "app.exe");
    EXPECT_EQ(version.m_strWizRunFile, "bin\\tool.exe");
}

TEST(WizardChoices, ChoicesThatDoNotApplyChangeNothing)
{
    struct Case {
        const char* name;
        const char* iconFile;
        const char* iconName;
        const char* viewFile;
    };
    const Case cases[] = {
        {"icon without a name", "C:\\src\\app.exe", "", ""},
        {"icon outside the source directory", "D:\\other\\app.exe", "App", ""},
        {"icon not among the files", "C:\\src\\missing.exe", "App", ""},
        {"view file outside the source directory", "", "", "D:\\readme.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CData version = ScannedVersion();
        version.m_strWizIconFile = c.iconFile;
        version.m_strWizIconName = c.iconName;
        version.m_strWizViewFile = c.viewFile;
        EXPECT_TRUE(version.ApplyWizardChoices().empty());
        EXPECT_EQ(version.m_files, ScannedVersion().m_files);
        EXPECT_EQ(version.m_texts, ScannedVersion().m_texts);
    }
}

TEST(WizardChoices, NoShortcutLeavesTheShortcutName)
{
    CData version = ScannedVersion();
    version.m_strWizIconFile = "C:\\src\\app.exe";
    version.m_strWizIconName = "App";
    version.ApplyWizardChoices();
    EXPECT_EQ(version.m_files[0].m_strMenuName, "App");
    EXPECT_EQ(version.m_files[0].m_strShortcutName, "");
}
