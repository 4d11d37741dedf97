// The opt-in global search: its deltas decode with the one decoder every reader uses, on a
// table of pairs that includes moves the window cannot see and inputs that load one key with
// many positions; and it finds those moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "DeltaTestSupport.h"

namespace velkan::testing {
namespace {

struct GlobalCase {
    const char* name;
    std::function<Bytes()> ref;
    std::function<Bytes(const Bytes&)> make;  // the new file from the reference
    // At most this many delta bytes per 1000 new bytes with global search; 0: no bound.
    size_t maxPerMille;
    // The window search needs at least this many times the global delta's size; 0: no check.
    size_t windowFactor;
};

Bytes Repeat(const Bytes& unit, size_t n)
{
    Bytes out;
    while (out.size() < n) out.insert(out.end(), unit.begin(), unit.end());
    out.resize(n);
    return out;
}

// The reference cut into blocks of blockSize, put back in a shuffled order.
Bytes Shuffled(const Bytes& ref, size_t blockSize, uint32_t seed)
{
    std::vector<size_t> order(ref.size() / blockSize);
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    Bytes out;
    for (size_t i : order) {
        out.insert(out.end(), ref.begin() + static_cast<long>(i * blockSize),
                   ref.begin() + static_cast<long>((i + 1) * blockSize));
    }
    return out;
}

const GlobalCase kCases[] = {
    // A block from the start moved to the end: 3-byte and escape position codes.
    {"FarMoveToTheEnd", [] { return RandomBytes(4000000, 1); },
     [](const Bytes& r) {
         return Concat({Slice(r, 1000000, 3000000), Slice(r, 0, 1000000)});
     },
     2, 50},
    {"FarMoveToTheStart", [] { return RandomBytes(3000000, 2); },
     [](const Bytes& r) {
         return Concat({Slice(r, 2500000, 500000), Slice(r, 0, 2500000)});
     },
     2, 50},
    {"ShuffledBlocks", [] { return RandomBytes(2000000, 3); },
     [](const Bytes& r) { return Shuffled(r, 65536, 4); }, 2, 50},
    // Moves with changed bytes and insertions between them.
    {"ShuffledAndEdited", [] { return RandomBytes(1000000, 5, 'a', 'z'); },
     [](const Bytes& r) {
         Bytes out = Shuffled(r, 40000, 6);
         std::mt19937 rng(7);
         for (size_t at = 100; at < out.size(); at += 997 + rng() % 5000) out[at] ^= 0x40;
         Bytes ins = RandomBytes(300, 8, 128, 255);
         out.insert(out.begin() + 500000, ins.begin(), ins.end());
         return out;
     },
     60, 5},
    // One byte throughout: every indexed position shares one key.
    {"OneByteRun", [] { return Bytes(1000000, 'x'); },
     [](const Bytes& r) {
         return Concat({Slice(r, 0, 300000), RandomBytes(50, 9, 128, 255), Slice(r, 0, 900000)});
     },
     2, 0},
    // A period shorter than the stride and one longer than the key.
    {"PeriodThree",
     [] {
         return Repeat({'a', 'b', 'c'}, 600000);
     },
     [](const Bytes& r) {
         return Concat({Slice(r, 1, 300000), Bytes{'z'}, Slice(r, 2, 400000)});
     },
     2, 0},
    {"PeriodThousand", [] { return Repeat(RandomBytes(1000, 10), 800000); },
     [](const Bytes& r) {
         return Concat({Slice(r, 777, 500000), RandomBytes(20, 11, 128, 255), Slice(r, 5, 200000)});
     },
     2, 0},
    // Text-like edits that stay in place: global must not lose the window's copies.
    {"EditedInPlace", [] { return RandomBytes(600000, 12, 'a', 'f'); },
     [](const Bytes& r) {
         Bytes out = r;
         std::mt19937 rng(13);
         for (size_t at = 0; at < out.size(); at += 1 + rng() % 3000) out[at] = 'q';
         out.erase(out.begin() + 200000, out.begin() + 203000);
         return out;
     },
     0, 0},
    // Edges: references shorter than the key, an empty new file, a new file shorter than a key.
    {"EmptyReference", [] { return Bytes(); }, [](const Bytes&) { return RandomBytes(5000, 14); },
     0, 0},
    {"ReferenceShorterThanKey", [] { return Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g'}; },
     [](const Bytes& r) {
         return Concat({r, r, r, RandomBytes(100, 15)});
     },
     0, 0},
    {"EmptyNewFile", [] { return RandomBytes(100000, 16); }, [](const Bytes&) { return Bytes(); },
     0, 0},
    {"NewShorterThanKey", [] { return RandomBytes(100000, 17); },
     [](const Bytes& r) { return Slice(r, 90000, 7); }, 0, 0},
};

class GlobalSearch : public DeltaFixture, public ::testing::WithParamInterface<GlobalCase> {
protected:
    Bytes EncodeWith(const Bytes& newBytes, const Bytes& refBytes, DeltaSearch search)
    {
        const std::string n = Write("new.bin", newBytes);
        const std::string r = Write("ref.bin", refBytes);
        CMemorySink sink;
        const uint64_t written = EncodeDelta(sink, n, r, nullptr, 0, 10000, ScratchDir(), search);
        EXPECT_EQ(written, sink.Bytes().size());
        return sink.Take();
    }
};

TEST_P(GlobalSearch, DecodesWithTheDecoderAndFindsMoves)
{
    const GlobalCase& c = GetParam();
    const Bytes ref = c.ref();
    const Bytes newBytes = c.make(ref);
    const Bytes global = EncodeWith(newBytes, ref, DeltaSearch::Global);
    EXPECT_EQ(Decode(global, ref), newBytes);
    const Bytes window = EncodeWith(newBytes, ref, DeltaSearch::Window);
    // The default stays the delta EncodeDelta gives without being asked.
    EXPECT_EQ(window, Encode(newBytes, ref));
    if (c.maxPerMille) {
        EXPECT_LE(global.size() * 1000, newBytes.size() * c.maxPerMille) << global.size();
    }
    if (c.windowFactor) {
        EXPECT_GE(window.size(), global.size() * c.windowFactor) << window.size();
    }
    EXPECT_EQ(ScratchFileCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Delta, GlobalSearch, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GlobalCase>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
}  // namespace velkan::testing
