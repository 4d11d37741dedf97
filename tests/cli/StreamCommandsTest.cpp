#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sys/stat.h>
#include <thread>

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

// SIGTERM (a CI timeout) or SIGHUP (a closed terminal) while pack writes: exit 3 with one line,
// the temporary file gone and the earlier output as it was, as in a build.
TEST(StreamCommands, StopSignalsKeepTheEarlierOutputAndLeaveNoTemporaryFile)
{
    TempDir dir;
    WriteFileText(dir / "big.txt", Sample(64 << 20, 3));
    for (int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        WriteFileText(dir / "out.vz", "earlier");
        auto entries = [&] {
            size_t count = 0;
            for (const auto& item : std::filesystem::directory_iterator(dir.Path())) {
                (void)item;
                ++count;
            }
            return count;
        };
        const size_t before = entries();
        const pid_t pid =
            StartVelkanc({"pack", (dir / "big.txt").string(), (dir / "out.vz").string()}, {},
                         (dir.Path().string() + ".err"));
        ASSERT_GT(pid, 0);
        // The temporary file beside the output exists once packing has begun.
        for (int i = 0; i < 2000 && entries() == before; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_GT(entries(), before) << "pack made no temporary file";
        kill(pid, signal);
        EXPECT_EQ(WaitForExit(pid), 3);
        EXPECT_EQ(ReadFileText(dir.Path().string() + ".err"),
                  "velkanc: cancelled; no temporary file left\n");
        EXPECT_EQ(entries(), before);
        EXPECT_EQ(ReadFileText(dir / "out.vz"), "earlier");
    }
    std::filesystem::remove(dir.Path().string() + ".err");
}

// Every command that writes a file treats its output as build does: a link is written through
// and stays a link, a missing folder is made, a FIFO is written into and stays a FIFO.
TEST(StreamCommands, EveryWriterWritesThroughLinksIntoFifosAndMakesFolders)
{
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir / "src");
    WriteFileText(dir / "src" / "a.txt", "a");
    WriteFileText(dir / "in.txt", Sample(5000, 4));
    ASSERT_EQ(
        RunVelkanc({"new", "--source", (dir / "src").string(), "-o", (dir / "p.vkp").string()})
            .exitCode,
        0);
    ASSERT_EQ(RunVelkanc({"pack", (dir / "in.txt").string(), (dir / "in.vz").string()}).exitCode,
              0);
    const struct {
        const char* name;
        std::function<std::vector<std::string>(const std::string&)> args;
    } writers[] = {
        {"pack",
         [&](const std::string& out) {
             return std::vector<std::string>{"pack", (dir / "in.txt").string(), out};
         }},
        {"unpack",
         [&](const std::string& out) {
             return std::vector<std::string>{"unpack", (dir / "in.vz").string(), out};
         }},
        {"convert",
         [&](const std::string& out) {
             return std::vector<std::string>{"convert", (dir / "p.vkp").string(), "-o", out};
         }},
        {"texts export",
         [&](const std::string& out) {
             return std::vector<std::string>{"texts", "export", (dir / "p.vkp").string(), out};
         }},
    };
    int n = 0;
    for (const auto& writer : writers) {
        SCOPED_TRACE(writer.name);
        const std::string stem = "w" + std::to_string(++n);
        // convert chooses the form by the name: every output of this writer ends alike.
        auto named = [&](const std::string& what) {
            return (dir / (stem + what + ".json")).string();
        };
        ASSERT_EQ(RunVelkanc(writer.args(named("plain"))).exitCode, 0);
        const std::string expected = ReadFileText(named("plain"));

        WriteFileText(named("target"), "old");
        fs::create_symlink(named("target"), named("link"));
        CliResult linked = RunVelkanc(writer.args(named("link")));
        EXPECT_EQ(linked.exitCode, 0) << linked.err;
        EXPECT_TRUE(fs::is_symlink(named("link")));
        EXPECT_TRUE(ReadFileText(named("target")) == expected);

        const std::string deeper = (dir / (stem + "new") / "deeper" / "out.json").string();
        CliResult made = RunVelkanc(writer.args(deeper));
        EXPECT_EQ(made.exitCode, 0) << made.err;
        EXPECT_TRUE(ReadFileText(deeper) == expected);

        ASSERT_EQ(mkfifo(named("fifo").c_str(), 0600), 0);
        std::string fromFifo;
        std::thread reader([&] {
            std::ifstream in(named("fifo"), std::ios::binary);
            fromFifo.assign(std::istreambuf_iterator<char>(in), {});
        });
        CliResult streamed = RunVelkanc(writer.args(named("fifo")));
        reader.join();
        EXPECT_EQ(streamed.exitCode, 0) << streamed.err;
        EXPECT_TRUE(fromFifo == expected);
        EXPECT_TRUE(fs::is_fifo(named("fifo")));
    }
}

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
