#include "core/model/FileListRescan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/model/FileOption.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

}  // namespace

// The list becomes what the folder holds: new files with default settings, gone files dropped,
// every known path (compared without regard to case) keeping its settings and spelling.
TEST(FileListRescan, KeepsTheSettingsOfKnownPaths)
{
    fs::path root = fs::temp_directory_path() / ("velkan_rescan_" + std::to_string(getpid()));
    fs::remove_all(root);
    Touch(root / "proj" / "app" / "SETUP.exe");
    Touch(root / "proj" / "app" / "sub" / "kept.dll");
    Touch(root / "proj" / "app" / "new.txt");

    CData version;
    version.m_strSourceDir = "app/";
    CFileItem setup("Setup.EXE");  // listed in another case
    setup.SetOption(OptDestination, DestSystem);
    setup.m_strMenuName = "Setup";
    version.m_files.push_back(setup);
    CFileItem kept("sub\\kept.dll");
    kept.SetOption(OptUsageCount, OptionOff);
    version.m_files.push_back(kept);
    version.m_files.push_back(CFileItem("gone.txt"));

    FileListChanges changes = RescanVersion(version, (root / "proj").string() + "/", nullptr);
    EXPECT_EQ(changes.added, std::vector<std::string>{"new.txt"});
    EXPECT_EQ(changes.gone, std::vector<std::string>{"gone.txt"});
    ASSERT_EQ(version.m_files.size(), 3u);
    const CFileItem* s = version.m_files.FindByPath("setup.exe");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->m_strPath, "Setup.EXE");
    EXPECT_EQ(s->GetOption(OptDestination), DestSystem);
    EXPECT_EQ(s->m_strMenuName, "Setup");
    EXPECT_EQ(version.m_files.FindByPath("SUB\\KEPT.DLL")->GetOption(OptUsageCount), OptionOff);
    EXPECT_EQ(version.m_files.FindByPath("new.txt")->GetOption(OptInstallMode), InstallNormal);

    // A folder that does not exist stops the scan and leaves the list as it was.
    CData missing = version;
    missing.m_strSourceDir = "nowhere/";
    EXPECT_ANY_THROW(RescanVersion(missing, (root / "proj").string() + "/", nullptr));
    EXPECT_EQ(missing.m_files, version.m_files);
    // No source folder: nothing is scanned and nothing changes.
    missing.m_strSourceDir.clear();
    EXPECT_TRUE(RescanVersion(missing, "/", nullptr).added.empty());
    EXPECT_EQ(missing.m_files, version.m_files);
    fs::remove_all(root);
}
