#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "core/model/CDataArray.h"
#include "core/model/CUserAbort.h"
#include "core/model/IScanHost.h"
#include "core/stream/CFileException.h"

using namespace velkan;
namespace fs = std::filesystem;

TEST(FileItem, UsageCountDefaultFollowsTheExtension)
{
    struct Case {
        const char* path;
        int usage;
    } cases[] = {{"LIB.DLL", 1}, {"x.Ocx", 1}, {"sub\\a.dll", 1}, {"a.dll.bak", 0}, {"dll", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CFileItem(c.path).GetOption(OptUsageCount), c.usage) << c.path;
}

TEST(FileItem, OptionsOutsideTheSixAreIgnored)
{
    CFileItem item("a.txt");
    item.SetOption(6, 9);
    item.SetOption(-1, 9);
    EXPECT_EQ(item.GetOption(6), 0);
    EXPECT_EQ(item.GetOption(-1), 0);
    EXPECT_EQ(item.m_nOptions, (std::array<int32_t, 6>{0, 0, 0, 1, 0, 0}));
}

TEST(FileItem, FlagsText)
{
    struct Case {
        std::array<int32_t, 6> options;
        bool icon, shortcut;
        const char* text;
    } cases[] = {
        {{0, 0, 0, 1, 0, 0}, false, false, "........"},
        {{2, 0, 1, 1, 0, 0}, true, false, "i..su..."},
        {{0, 0, 1, 1, 0, 0}, false, false, "........"},  // usage count shows only outside install dir
        {{1, 1, 0, 0, 1, 1}, false, true, ".svw.xve"},
        {{3, 2, 1, 2, 2, 0}, true, true, "isrfuNo."},
        {{0, 0, 0, 3, 0, 0}, false, false, ".....d.."},
    };
    for (const Case& c : cases) {
        CFileItem item("f");
        item.m_nOptions = c.options;
        if (c.icon) item.m_strMenuName = "Icon";
        if (c.shortcut) item.m_strShortcutName = "Short";
        EXPECT_EQ(item.FlagsText(), c.text);
    }
}

TEST(RegInfo, DisplayKeyNamesTheRoot)
{
    struct Case {
        int root;
        const char* text;
    } cases[] = {
        {0, "HKEY_CLASSES_ROOT\\K"}, {1, "HKEY_CURRENT_USER\\K"}, {2, "HKEY_LOCAL_MACHINE\\K"},
        {3, "HKEY_USERS\\K"},        {7, "HKEY_CLASSES_ROOT\\K"}, {-1, "HKEY_CLASSES_ROOT\\K"},
    };
    for (const Case& c : cases) {
        CRegInfo r;
        r.m_nRootKey = c.root;
        r.m_strKey = "K";
        EXPECT_EQ(r.DisplayKey(), c.text);
    }
}

TEST(FileList, PathsDifferingOnlyInCaseAreOneFile)
{
    CFileList list;
    EXPECT_EQ(list.AddUnique(CFileItem("Setup.EXE")), 0);
    EXPECT_EQ(list.AddUnique(CFileItem("setup.exe")), -1);
    EXPECT_EQ(list.AddUnique(CFileItem("\xC9T\xC9.txt")), 1);  // ÉTÉ / été
    EXPECT_EQ(list.AddUnique(CFileItem("\xE9t\xE9.TXT")), -1);
    ASSERT_NE(list.FindByPath("SETUP.exe"), nullptr);
    EXPECT_EQ(list.FindByPath("SETUP.exe")->m_strPath, "Setup.EXE");
}

TEST(Data, CopyDropsDuplicatePathsAndKeepsTransientFields)
{
    CData a;
    a.m_files.push_back(CFileItem("a.txt"));
    a.m_files.push_back(CFileItem("A.TXT"));
    a.m_files.push_back(CFileItem("b.txt"));
    a.m_bAutoBuild = 1;
    a.m_strWizIconName = "Icon";
    CData b;
    b.CopyFrom(a);
    EXPECT_EQ(b.m_files.size(), 2u);
    EXPECT_EQ(b.m_bAutoBuild, 1);
    EXPECT_EQ(b.m_strWizIconName, "Icon");

    CDataArray p;
    p.m_versions.push_back(a);
    p.m_nCurrent = 3;
    CDataArray q;
    q.CopyFrom(p);
    EXPECT_EQ(q.m_versions[0].m_files.size(), 2u);
    EXPECT_EQ(q.GetCurrent(), nullptr);
}

namespace {

// Records the status lines and cancels when asked to look for the Nth time.
class FakeScanHost : public IScanHost {
public:
    explicit FakeScanHost(int cancelAt = -1) : m_cancelAt(cancelAt) {}
    void ShowStatus(const std::string& text) override { lines.push_back(text); }
    bool IsCancelRequested() override { return ++m_polls == m_cancelAt; }
    std::vector<std::string> lines;

private:
    int m_cancelAt;
    int m_polls = 0;
};

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root =
            fs::temp_directory_path() /
            ("velkan_scan_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        for (const char* f : {"b.txt", "A.dll", "sub/c.txt", "sub/deeper/d.ocx", "z.txt"}) {
            fs::create_directories((m_root / f).parent_path());
            std::ofstream(m_root / f) << f;
        }
    }
    void TearDown() override { fs::remove_all(m_root); }
    std::string Root() const { return m_root.string() + "/"; }

    fs::path m_root;
};

}  // namespace

TEST_F(ScanTest, ScansDepthFirstInNameOrderWithBackslashes)
{
    CFileList list;
    FakeScanHost host;
    list.ScanDirectory(Root(), Root(), true, &host);
    std::vector<std::string> paths;
    for (const auto& f : list) paths.push_back(f.m_strPath);
    EXPECT_EQ(paths, (std::vector<std::string>{"A.dll", "b.txt", "sub\\c.txt", "sub\\deeper\\d.ocx",
                                               "z.txt"}));
    EXPECT_EQ(list.FindByPath("a.dll")->GetOption(OptUsageCount), OptionOn);
    ASSERT_EQ(host.lines.size(), 5u);
    EXPECT_EQ(host.lines[0], "Press ESC to cancel : A.dll");

    CFileList flat;
    flat.ScanDirectory(Root(), Root(), false, nullptr);
    EXPECT_EQ(flat.size(), 3u);
}

TEST_F(ScanTest, RescanAddsOnlyNewPathsAndKeepsOptions)
{
    CFileList list;
    CFileItem kept("B.TXT");
    kept.m_strMenuName = "Readme";
    list.push_back(kept);
    list.ScanDirectory(Root(), Root(), true, nullptr);
    EXPECT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0], kept);
}

TEST_F(ScanTest, CancelEmptiesTheWholeList)
{
    CFileList list;
    list.push_back(CFileItem("old.txt"));
    FakeScanHost host(3);
    EXPECT_THROW(list.ScanDirectory(Root(), Root(), true, &host), CUserAbort);
    EXPECT_TRUE(list.empty());
}

// A hostile source tree: what the scan skips with a note, and what stops it.
TEST_F(ScanTest, OnlyRegularFilesInsideTheTreeAreListed)
{
    fs::path outside = m_root.string() + "_outside";
    fs::create_directories(outside);
    std::ofstream(outside / "secret.txt") << "secret";
    ASSERT_EQ(mkfifo((m_root / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", m_root / "zero");
    fs::create_symlink(m_root / "gone.txt", m_root / "dangling");
    fs::create_symlink(outside / "secret.txt", m_root / "leak.txt");
    fs::create_symlink(m_root / "b.txt", m_root / "inside.txt");

    CFileList list;
    std::vector<std::string> notes = list.ScanDirectory(Root(), Root(), true, nullptr);
    std::vector<std::string> paths;
    for (const auto& f : list) paths.push_back(f.m_strPath);
    EXPECT_EQ(paths, (std::vector<std::string>{"A.dll", "b.txt", "inside.txt", "sub\\c.txt",
                                               "sub\\deeper\\d.ocx", "z.txt"}));
    ASSERT_EQ(notes.size(), 4u);
    for (const char* name : {"dangling", "fifo", "leak.txt", "zero"}) {
        bool named = false;
        for (const auto& note : notes) named = named || note.find(Root() + name + ":") == 0;
        EXPECT_TRUE(named) << name;
    }

    CFileList followed;
    followed.ScanDirectory(Root(), Root(), true, nullptr, true);
    EXPECT_NE(followed.FindByPath("leak.txt"), nullptr);
    fs::remove_all(outside);

    for (const char* name : {"back\\slash.txt", "aux", "CON.txt", "trail.", "q?.txt", "com1.log"}) {
        fs::path bad = m_root / "sub" / name;
        std::ofstream(bad) << "x";
        CFileList stopped;
        try {
            stopped.ScanDirectory(Root(), Root(), true, nullptr);
            ADD_FAILURE() << name << ": scanned";
        } catch (const CFileException& e) {
            EXPECT_NE(std::string(e.what()).find(bad.string()), std::string::npos) << e.what();
        }
        fs::remove(bad);
    }
}
