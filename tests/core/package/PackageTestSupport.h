// Small fakes for the package tests: stubs carrying the slot markers, a pre-packed dialog block,
// little-endian readers of written bytes, and scratch files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/compress/CCompressor.h"
#include "core/package/PackageFormat.h"
#include "core/stream/CFile.h"
#include "tests/support/FakeRuntimeImages.h"

namespace velkan::test {

inline uint16_t U16At(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

inline uint32_t U32At(const std::vector<uint8_t>& b, size_t at)
{
    return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
           (static_cast<uint32_t>(b.at(at + 3)) << 24);
}

inline std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A scratch directory removed with the fixture.
class ScratchDir {
public:
    ScratchDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("velkan_pkg_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                  std::to_string(::getpid()));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir() { std::filesystem::remove_all(m_path); }
    std::string Path(const std::string& name) const { return (m_path / name).string(); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::string path = Path(name);
        CFile file(path, CFile::Mode::Create);
        file.Write(bytes.data(), bytes.size());
        file.Close();
        return path;
    }

private:
    std::filesystem::path m_path;
};

}  // namespace velkan::test
