#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "core/delta/CDeltaTempFile.h"

using namespace velkan;
namespace fs = std::filesystem;

TEST(DeltaTempFile, PrivateToTheUserAndGoneAfterwards)
{
    fs::path base = fs::temp_directory_path() / ("vktemp-test-" + std::to_string(getpid()));
    fs::create_directories(base);
    std::string path, dir;
    {
        CDeltaTempFile a(base.string());
        CDeltaTempFile b(base.string());
        path = a.Path();
        dir = fs::path(path).parent_path().string();
        EXPECT_NE(a.Path(), b.Path());
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        ASSERT_EQ(stat(dir.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_EQ(fs::path(dir).parent_path(), base);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(dir));
    EXPECT_TRUE(fs::is_empty(base));
    fs::remove_all(base);
}
