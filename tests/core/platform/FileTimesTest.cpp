#include "core/platform/FileTimes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <utime.h>

using namespace velkan;

TEST(FileTimes, UnixTimesConvertToFileTime)
{
    EXPECT_EQ(UnixTimeToFileTime(0, 0), 116444736000000000ULL);
    EXPECT_EQ(UnixTimeToFileTime(1, 500), 116444736000000000ULL + 10000000ULL + 5);
    EXPECT_EQ(UnixTimeToFileTime(-11644473600LL, 0), 0u);  // 1601-01-01
    EXPECT_EQ(UnixTimeToFileTime(-20000000000LL, 0), 0u);  // before 1601: clamped
}

TEST(FileTimes, ReadsAccessAndWriteTimes)
{
    auto path = (std::filesystem::temp_directory_path() / "velkan_times_test.txt").string();
    std::ofstream(path) << "x";
    struct utimbuf times {
        1000000000, 1200000000
    };
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    auto t = ReadFileTimes(path);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->lastAccess, UnixTimeToFileTime(1000000000, 0));
    EXPECT_EQ(t->lastWrite, UnixTimeToFileTime(1200000000, 0));
    EXPECT_NE(t->creation, 0u);
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadFileTimes(path).has_value());
}
