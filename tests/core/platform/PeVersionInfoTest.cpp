#include "core/platform/PeVersionInfo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

using namespace velkan;

namespace {

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

#ifdef VELKAN_PE_TEST_DIR

TEST(PeVersionInfo, ReadsTheFixedWordsAndTheFirstTranslation)
{
    std::string path = std::string(VELKAN_PE_TEST_DIR) + "/versioned.dll";
    PeVersionInfo info = ReadPeVersionInfo(path);
    EXPECT_TRUE(info.hasFixedInfo);
    EXPECT_EQ(info.fileVersionMS, 0x00010002u);
    EXPECT_EQ(info.fileVersionLS, 0x00030004u);
    EXPECT_EQ(info.productVersionMS, 0x00050006u);
    EXPECT_EQ(info.productVersionLS, 0x00070008u);
    EXPECT_TRUE(info.hasTranslation);
    EXPECT_EQ(info.translation, (1252u << 16) | 0x0409u);

    auto image = ReadAll(path);
    PeVersionInfo fromMemory = ReadPeVersionInfo(image.data(), image.size());
    EXPECT_EQ(fromMemory.fileVersionLS, info.fileVersionLS);
    EXPECT_EQ(fromMemory.translation, info.translation);
}

TEST(PeVersionInfo, FileWithoutResourcesHasNoVersion)
{
    PeVersionInfo info = ReadPeVersionInfo(std::string(VELKAN_PE_TEST_DIR) + "/plain.dll");
    EXPECT_FALSE(info.hasFixedInfo);
    EXPECT_FALSE(info.hasTranslation);
}

TEST(PeVersionInfo, DamagedFilesGiveNoVersionAndNoCrash)
{
    auto image = ReadAll(std::string(VELKAN_PE_TEST_DIR) + "/versioned.dll");
    ASSERT_GT(image.size(), 512u);
    // Every truncation.
    for (size_t n = 0; n < image.size(); n += 7) {
        PeVersionInfo info = ReadPeVersionInfo(image.data(), n);
        if (info.hasFixedInfo) {
            EXPECT_EQ(info.fileVersionMS, 0x00010002u);
        }
    }
    // Random corruption of bytes.
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        auto copy = image;
        for (int k = 0; k < 4; ++k) copy[rng() % copy.size()] = static_cast<unsigned char>(rng());
        ReadPeVersionInfo(copy.data(), copy.size());
    }
}

#endif

TEST(PeVersionInfo, NonPeInputGivesNoVersion)
{
    const std::vector<std::vector<unsigned char>> cases = {{},
                                                           {'M'},
                                                           {'M', 'Z'},
                                                           std::vector<unsigned char>(64, 0),
                                                           std::vector<unsigned char>(4096, 0xFF)};
    for (const auto& c : cases) {
        PeVersionInfo info = ReadPeVersionInfo(c.data(), c.size());
        EXPECT_FALSE(info.hasFixedInfo);
        EXPECT_FALSE(info.hasTranslation);
    }
    EXPECT_FALSE(ReadPeVersionInfo(std::string("/nonexistent/file.dll")).hasFixedInfo);
}
