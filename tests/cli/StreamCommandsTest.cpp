#include <gtest/gtest.h>

#include <random>

#include "CliRunner.h"

namespace {

std::string Sample(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s;
    const char* words[] = {"install ", "program ", "version ", "delta ", "file ", "\r\n"};
    while (s.size() < n) s += words[rng() % 6];
    s.resize(n);
    return s;
}

}  // namespace

TEST(StreamCommands, PackUnpackRoundTripAndStrictEnd)
{
    TempDir dir;
    std::string text = Sample(200'000, 1);
    WriteFileText(dir / "in.txt", text);
    auto packed = RunVelkanc({"pack", (dir / "in.txt").string(), (dir / "in.vz").string()});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    std::string stream = ReadFileText(dir / "in.vz");
    EXPECT_LT(stream.size(), text.size() / 2);
    auto unpacked = RunVelkanc({"unpack", (dir / "in.vz").string(), (dir / "out.txt").string()});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
    EXPECT_EQ(ReadFileText(dir / "out.txt"), text);

    WriteFileText(dir / "empty", "");
    ASSERT_EQ(RunVelkanc({"pack", (dir / "empty").string(), (dir / "empty.vz").string()}).exitCode,
              0);
    EXPECT_EQ(ReadFileText(dir / "empty.vz"), std::string("\x0F\x00\x00", 3));

    struct Case {
        std::string stream;
        const char* why;
    } bad[] = {
        {stream + "x", "trailing byte"},
        {stream.substr(0, stream.size() / 2), "cut short"},
        {std::string("\x0C\x00\x00", 3), "header value 12"},
        {"", "empty input"},
    };
    for (const Case& c : bad) {
        WriteFileText(dir / "bad.vz", c.stream);
        auto r = RunVelkanc({"unpack", (dir / "bad.vz").string(), (dir / "bad.out").string()});
        EXPECT_EQ(r.exitCode, 1) << c.why;
        EXPECT_NE(r.err.find("bad.vz"), std::string::npos) << c.why << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "bad.out")) << c.why;
    }
}

TEST(StreamCommands, DeltaPatchRoundTripAndRefusals)
{
    TempDir dir;
    std::string oldText = Sample(300'000, 2);
    std::string newText = oldText.substr(0, 1000) + "inserted text" +
                          oldText.substr(5000, 200'000) + oldText.substr(1000, 4000);
    WriteFileText(dir / "old", oldText);
    WriteFileText(dir / "new", newText);
    auto d = RunVelkanc(
        {"delta", "-q", (dir / "old").string(), (dir / "new").string(), (dir / "d").string()});
    ASSERT_EQ(d.exitCode, 0) << d.err;
    EXPECT_LT(ReadFileText(dir / "d").size(), newText.size() / 10);
    auto p = RunVelkanc(
        {"patch", "-q", (dir / "old").string(), (dir / "d").string(), (dir / "out").string()});
    ASSERT_EQ(p.exitCode, 0) << p.err;
    EXPECT_EQ(ReadFileText(dir / "out"), newText);

    // The delta against another reference, and a damaged delta, are refused.
    WriteFileText(dir / "short", "tiny");
    auto wrongRef =
        RunVelkanc({"patch", (dir / "short").string(), (dir / "d").string(), (dir / "x").string()});
    EXPECT_EQ(wrongRef.exitCode, 1);
    std::string damaged = ReadFileText(dir / "d");
    damaged.resize(damaged.size() - 3);
    WriteFileText(dir / "d2", damaged);
    auto cut =
        RunVelkanc({"patch", (dir / "old").string(), (dir / "d2").string(), (dir / "x").string()});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.err.find("d2"), std::string::npos) << cut.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}
