#include "core/stream/CFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "core/stream/CFileException.h"

using namespace velkan;

TEST(CFile, WritesReadsAndReportsMissingFileByName)
{
    auto path = (std::filesystem::temp_directory_path() / "velkan_cfile_test.bin").string();
    {
        CFile f(path, CFile::Mode::Create);
        f.Write("hello", 5);
        EXPECT_EQ(f.GetPosition(), 5u);
        f.Close();
    }
    CFile r(path, CFile::Mode::Read);
    EXPECT_EQ(r.GetLength(), 5u);
    char buf[8] = {};
    EXPECT_THROW(r.ReadExact(buf, 6), CFileException);
    std::remove(path.c_str());

    try {
        CFile missing("/nonexistent/dir/x.vkp", CFile::Mode::Read);
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/x.vkp"), std::string::npos);
    }
}

// A reader that opened a FIFO would wait for a writer forever, and one that opened a device
// would read without end: both are refused at the open, at once.
TEST(CFile, ReadsOnlyRegularFiles)
{
    auto dir = std::filesystem::temp_directory_path() / "velkan_cfile_kinds";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* kind;
    } cases[] = {
        {fifo, "a FIFO"},
        {"/dev/zero", "a device"},
        {dir.string(), "a folder"},
    };
    for (const auto& c : cases) {
        try {
            CFile f(c.path, CFile::Mode::Read);
            ADD_FAILURE() << c.path;
        } catch (const CFileException& e) {
            EXPECT_NE(std::string(e.what()).find(c.kind), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
        }
    }
    std::filesystem::remove_all(dir);
}
