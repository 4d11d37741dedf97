#include "core/stream/CFile.h"

#include <gtest/gtest.h>

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
