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

inline void PutMarker(std::vector<uint8_t>& image, size_t at, const package::MarkerTag& tag,
                      uint32_t slot)
{
    uint8_t bytes[10] = {0x77,
                         0x77,
                         tag[0],
                         tag[1],
                         tag[2],
                         tag[3],
                         static_cast<uint8_t>(slot),
                         static_cast<uint8_t>(slot >> 8),
                         static_cast<uint8_t>(slot >> 16),
                         static_cast<uint8_t>(slot >> 24)};
    for (int i = 0; i < 10; ++i) image.at(at + i) = bytes[i];
}

// A stand-in for the setup stub: "MZ", filler, the size marker and, when asked, the key marker.
inline std::vector<uint8_t> FakeStub(size_t size = 200, bool withKey = true,
                                     uint32_t keySlot = 0x12345678)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
    image[0] = 'M';
    image[1] = 'Z';
    PutMarker(image, 40, package::kSizeMarker, 0);
    if (withKey) PutMarker(image, 90, package::kKeyMarker, keySlot);
    return image;
}

// A dialog-template block in its resource form: u32 unpacked size, then the packed stream.
inline std::vector<uint8_t> FakeDialogBlock()
{
    std::vector<uint8_t> block(48 + 12 * 20);
    for (size_t i = 0; i < 12; ++i) block[i * 4] = static_cast<uint8_t>(48 + i * 20);
    std::vector<uint8_t> packed = CCompressor::Pack(block.data(), block.size());
    std::vector<uint8_t> body(4 + packed.size());
    body[0] = static_cast<uint8_t>(block.size());
    body[1] = static_cast<uint8_t>(block.size() >> 8);
    std::copy(packed.begin(), packed.end(), body.begin() + 4);
    return body;
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
