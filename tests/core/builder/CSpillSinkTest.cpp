// An entry's data waiting to be placed: kept in memory up to the limit, then in a temporary
// file; either way it comes out whole, in order, and the temporary file goes.

#include "core/builder/CSpillSink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/stream/CMemorySink.h"
#include "tests/core/builder/BuildTestSupport.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

TEST(CSpillSink, GivesBackEveryByteInOrderAndLeavesNoFile)
{
    struct Row {
        size_t total;
        size_t piece;
    };
    const Row rows[] = {
        {0, 1},
        {1000, 7},
        {CSpillSink::kMemoryLimit, 65536},            // exactly the limit: stays in memory
        {CSpillSink::kMemoryLimit + 1, 4096},         // one byte over: moves to a file
        {CSpillSink::kMemoryLimit * 2 + 3, 1 << 20},  // pieces larger than what memory held
    };
    test::BuildScratch dir;
    std::mt19937 rng(5);
    for (const Row& row : rows) {
        std::vector<uint8_t> bytes(row.total);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
        {
            CSpillSink sink(dir.Path("tmp"));
            fs::create_directories(dir.Path("tmp"));
            for (size_t at = 0; at < bytes.size(); at += row.piece) {
                sink.Write(bytes.data() + at, std::min(row.piece, bytes.size() - at));
            }
            EXPECT_EQ(sink.GetPosition(), bytes.size());
            CMemorySink out;
            const uint8_t before = 0xAB;
            out.Write(&before, 1);  // appended after what the output holds
            sink.MoveTo(out);
            ASSERT_EQ(out.Bytes().size(), bytes.size() + 1) << row.total;
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), out.Bytes().begin() + 1))
                << row.total;
        }
        EXPECT_TRUE(fs::is_empty(dir.Path("tmp"))) << row.total;
    }
}

}  // namespace
