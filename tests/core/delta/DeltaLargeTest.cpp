// Inputs past the sizes where the encoder moves its sub-streams and their packed forms into
// temporary files, round trips on realistic edits, progress and cancellation. The temporary
// files must be gone afterwards, also when the encoding was abandoned.
#include <gtest/gtest.h>

#include <stdexcept>

#include "DeltaTestSupport.h"

namespace velkan::testing {
namespace {

// Text-like material: words from a small vocabulary, so packing and matching both have work.
Bytes Text(size_t n, uint32_t seed)
{
    static const char* words[] = {
        "install ", "program ", "version ", "delta ", "window ", "file ",  "reference ", "copy ",
        "literal ", "\n",       "{ ",       "} ",     "return ", "const ", "0x7F, ",     "size_t "};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < n) {
        const char* w = words[rng() % 16];
        out.insert(out.end(), w, w + std::strlen(w));
    }
    out.resize(n);
    return out;
}

// Insertions, deletions and a moved block.
Bytes Revise(const Bytes& ref, uint32_t seed)
{
    const size_t n = ref.size();
    return Concat({Slice(ref, 0, n / 5), Text(3000, seed), Slice(ref, n / 5, n / 5),
                   Slice(ref, 3 * n / 5 + 40000, n / 10), Slice(ref, 2 * n / 5, n / 5 + 40000),
                   Slice(ref, 7 * n / 10 + 40000, n - 7 * n / 10 - 40000)});
}

TEST_F(DeltaFixture, RoundTripsOnEditedFiles)
{
    const Bytes ref = Text(300000, 1);
    const struct {
        const char* name;
        Bytes newBytes;
    } cases[] = {
        {"revised", Revise(ref, 2)},
        {"identical", ref},
        {"prefix only", Slice(ref, 0, 1000)},
        {"appended", Concat({ref, Text(50000, 3)})},
        {"unrelated", RandomBytes(70000, 4, 0, 255)},
        {"reference much longer", Concat({Slice(ref, 100, 2000), Slice(ref, 290000, 500)})},
    };
    for (const auto& c : cases) {
        const Bytes delta = Encode(c.newBytes, ref);
        EXPECT_EQ(Decode(delta, ref), c.newBytes) << c.name;
    }
    // A revision costs a small fraction of the file (the moved block, far from its
    // proportional place, is coded as literals).
    EXPECT_LT(Encode(Revise(ref, 2), ref).size(), ref.size() / 10);
}

TEST_F(DeltaFixture, LargeInputsUseTemporaryFilesAndLeaveNoneBehind)
{
    const Bytes ref = Text(3600000, 5);
    const Bytes newBytes = Revise(ref, 6);
    {
        CDeltaEncoder encoder;
        encoder.SetTempDirectory(ScratchDir());
        encoder.BuildStreams(Write("new.bin", newBytes), Write("ref.bin", ref));
        EXPECT_TRUE(encoder.Commands().IsFile());
        EXPECT_TRUE(encoder.Literals().IsFile());
        CMemorySink sink;
        encoder.WriteStreams(sink);
        EXPECT_EQ(Decode(sink.Bytes(), ref), newBytes);
    }
    EXPECT_EQ(ScratchFileCount(), 0u);

    // Just below the threshold on both sides: memory.
    CDeltaEncoder small;
    small.SetTempDirectory(ScratchDir());
    small.BuildStreams(Write("new.bin", Slice(newBytes, 0, 3499999)),
                       Write("ref.bin", Slice(ref, 0, 3499999)));
    EXPECT_FALSE(small.Commands().IsFile());
}

TEST_F(DeltaFixture, LongSubStreamIsPackedThroughATemporaryFile)
{
    // 3.2 MB with nothing to copy: a literal sub-stream above 3,000,000 bytes, which packs
    // (7 bits of information per byte) and so needs 4-byte lengths.
    const Bytes newBytes = RandomBytes(3200000, 8, 128, 255);
    const Bytes ref = RandomBytes(1000, 9);
    const Bytes delta = Encode(newBytes, ref);
    EXPECT_EQ(ScratchFileCount(), 0u);
    EXPECT_EQ(Decode(delta, ref), newBytes);
    // The literal sub-stream follows the command sub-stream (100,000 x 0x9F, packed small).
    ASSERT_EQ(delta[0], 0x03);
    const size_t commandPacked = delta[5] | (delta[6] << 8);
    const size_t at = 7 + commandPacked;
    EXPECT_EQ(delta[at], 0x07);
    EXPECT_EQ(delta[at + 1] | (delta[at + 2] << 8) | (delta[at + 3] << 16) |
                  (size_t(delta[at + 4]) << 24),
              3200000u);
}

class RecordingProgress : public IDeltaProgress {
public:
    uint32_t GetShownPosition() const override { return m_shown; }
    void ShowPosition(uint32_t position) override
    {
        m_positions.push_back(position);
        m_shown = position;
        if (m_cancelAfter && m_positions.size() >= m_cancelAfter)
            throw std::runtime_error("cancelled");
    }
    uint32_t m_shown = 0;
    size_t m_cancelAfter = 0;
    std::vector<uint32_t> m_positions;
};

TEST_F(DeltaFixture, ProgressStaysInItsRange)
{
    const Bytes ref = Text(400000, 10);
    const Bytes newBytes = Revise(ref, 11);
    RecordingProgress progress;
    progress.m_shown = 2000;
    CMemorySink sink;
    EncodeDelta(sink, Write("new.bin", newBytes), Write("ref.bin", ref), &progress, 2000, 3000,
                ScratchDir());
    ASSERT_FALSE(progress.m_positions.empty());
    EXPECT_TRUE(std::is_sorted(progress.m_positions.begin(), progress.m_positions.end()));
    EXPECT_GT(progress.m_positions.front(), 2000u);
    EXPECT_LE(progress.m_positions.back(), 3000u);
    EXPECT_GE(progress.m_positions.back(), 2990u);
    // Only changes are shown.
    EXPECT_EQ(std::adjacent_find(progress.m_positions.begin(), progress.m_positions.end()),
              progress.m_positions.end());
}

TEST_F(DeltaFixture, CancelLeavesNoTemporaryFiles)
{
    const Bytes ref = Text(3600000, 12);
    const Bytes newBytes = Revise(ref, 13);
    RecordingProgress progress;
    progress.m_cancelAfter = 50;
    CMemorySink sink;
    EXPECT_THROW(EncodeDelta(sink, Write("new.bin", newBytes), Write("ref.bin", ref), &progress, 0,
                             10000, ScratchDir()),
                 std::runtime_error);
    EXPECT_EQ(ScratchFileCount(), 0u);
}

}  // namespace
}  // namespace velkan::testing
