// Shared helpers of the delta tests: a scratch directory, files made of chosen bytes, and
// running the encoder and the decoder over them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/delta/CDeltaDecoder.h"
#include "core/delta/CDeltaEncoder.h"
#include "core/delta/CMemoryDeltaReference.h"
#include "core/stream/CMemorySink.h"

namespace velkan::testing {

using Bytes = std::vector<uint8_t>;

// Bytes from the low half of the alphabet (reference material) or the high half (literals that
// can never share a two-byte key with the reference).
inline Bytes RandomBytes(size_t n, uint32_t seed, uint8_t low = 0, uint8_t high = 127)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(low, high);
    Bytes out(n);
    for (auto& b : out) b = static_cast<uint8_t>(dist(rng));
    return out;
}

inline Bytes Slice(const Bytes& from, size_t at, size_t n)
{
    return Bytes(from.begin() + static_cast<long>(at), from.begin() + static_cast<long>(at + n));
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

class DeltaFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        m_dir = std::filesystem::temp_directory_path() / ("velkan-delta-test-" + name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir / "scratch");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        std::string path = (m_dir / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::string ScratchDir() const { return (m_dir / "scratch").string(); }
    size_t ScratchFileCount() const
    {
        size_t n = 0;
        for (auto it = std::filesystem::directory_iterator(m_dir / "scratch");
             it != std::filesystem::directory_iterator(); ++it) {
            ++n;
        }
        return n;
    }

    // The framed delta of newBytes against refBytes, as the build stores it.
    Bytes Encode(const Bytes& newBytes, const Bytes& refBytes)
    {
        std::string n = Write("new.bin", newBytes);
        std::string r = Write("ref.bin", refBytes);
        CMemorySink sink;
        uint64_t written = EncodeDelta(sink, n, r, nullptr, 0, 10000, ScratchDir());
        EXPECT_EQ(written, sink.Bytes().size());
        return sink.Take();
    }

    static Bytes Decode(const Bytes& delta, const Bytes& refBytes)
    {
        CMemoryDeltaReference ref(refBytes.data(), refBytes.size());
        CMemorySink out;
        CDeltaDecoder::Apply(delta.data(), delta.size(), ref, out);
        return out.Take();
    }

    static Bytes StreamBytes(CDeltaStream& stream)
    {
        auto source = stream.OpenForReading();
        Bytes out(static_cast<size_t>(stream.GetLength()));
        size_t got = out.empty() ? 0 : source->Read(out.data(), out.size());
        EXPECT_EQ(got, out.size());
        return out;
    }

    std::filesystem::path m_dir;
};

}  // namespace velkan::testing
