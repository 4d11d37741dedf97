// The encoder's command and literal sub-streams for chosen inputs, byte for byte, and a
// comparison with a plain transcription of the algorithm on larger, edited inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "DeltaTestSupport.h"
#include "core/delta/CDeltaException.h"
#include "core/stream/CFileException.h"

namespace velkan::testing {
namespace {

// A new file described as pieces: literal bytes (drawn from the high half of the alphabet, so
// they never match the reference) or a range of the reference.
struct Piece {
    size_t literals = 0;
    size_t from = 0;
    size_t length = 0;
};
Piece Lit(size_t n)
{
    return {n, 0, 0};
}
Piece Ref(size_t from, size_t length)
{
    return {0, from, length};
}

struct VectorCase {
    const char* name;
    size_t refLength;
    std::vector<Piece> pieces;
    Bytes commands;
};

class EncoderVectors : public DeltaFixture, public ::testing::WithParamInterface<VectorCase> {};

TEST_P(EncoderVectors, GivesTheseSubStreams)
{
    const VectorCase& c = GetParam();
    const Bytes ref = RandomBytes(c.refLength, 7);
    Bytes newBytes;
    Bytes literals;
    uint32_t seed = 100;
    for (const Piece& p : c.pieces) {
        Bytes part =
            p.literals ? RandomBytes(p.literals, seed++, 128, 255) : Slice(ref, p.from, p.length);
        if (p.literals) literals.insert(literals.end(), part.begin(), part.end());
        newBytes.insert(newBytes.end(), part.begin(), part.end());
    }
    // A new file shorter than 7 bytes is all literal even where it equals the reference.
    if (newBytes.size() < 7) literals = newBytes;

    CDeltaEncoder encoder;
    encoder.BuildStreams(Write("new.bin", newBytes), Write("ref.bin", ref));
    EXPECT_EQ(StreamBytes(encoder.Commands()), c.commands);
    EXPECT_EQ(StreamBytes(encoder.Literals()), literals);

    // And the whole delta rebuilds the new file.
    EXPECT_EQ(Decode(Encode(newBytes, ref), ref), newBytes);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Delta, EncoderVectors,
    ::testing::Values(
        VectorCase{"EmptyNewFile", 1000, {}, {}},
        VectorCase{"OneByte", 1000, {Ref(0, 1)}, {0x80}},
        VectorCase{"SixBytesEqualToTheReference", 1000, {Ref(0, 6)}, {0x85}},
        // 32 literals are flushed when the 33rd arrives; the rest at the end.
        VectorCase{"FortyLiterals", 1000, {Lit(40)}, {0x9F, 0x87}},
        // Seven bytes left: a copy may run to the very end of the file.
        VectorCase{"SevenBytesEqual", 1000, {Ref(0, 7)}, {0x06, 0x80}},
        VectorCase{"IdenticalFile", 100, {Ref(0, 100)}, {0x63, 0x80}},
        VectorCase{"Length128", 128, {Ref(0, 128)}, {0x7F, 0x80}},
        VectorCase{"Length129", 129, {Ref(0, 129)}, {0x00, 0x00, 0x00, 0x80}},
        VectorCase{"Length200", 200, {Ref(0, 200)}, {0x00, 0x47, 0x00, 0x80}},
        // A copy is at most 16383 bytes; the next one starts where it ended: D = 0.
        VectorCase{"TwoCopiesBackToBack", 20000, {Ref(0, 20000)},
                   {0x00, 0x7E, 0x3F, 0x80, 0x00, 0xA0, 0x0D, 0x80}},
        // 1 to 3 pending literals and a copy shorter than 34 share one command byte.
        VectorCase{"TwoLiteralsAndCopy", 1000, {Lit(2), Ref(0, 20), Lit(10)}, {0xD2, 0x80, 0x89}},
        VectorCase{"ThreeLiteralsAndCopyOf33", 1000, {Lit(3), Ref(0, 33), Lit(7)}, {0xFF, 0x80, 0x86}},
        VectorCase{"OneLiteralAndCopyOf34", 1000, {Lit(1), Ref(0, 34), Lit(7)},
                   {0x80, 0x21, 0x80, 0x86}},
        VectorCase{"FourLiteralsAndShortCopy", 1000, {Lit(4), Ref(0, 20), Lit(7)},
                   {0x83, 0x13, 0x80, 0x86}},
        // Forward 100 (two-byte code of 68), then back 200 (two-byte code of -168).
        VectorCase{"ForwardThenBack", 1000, {Ref(100, 100), Ref(0, 50), Lit(7)},
                   {0x63, 0x00, 0x44, 0x31, 0x7F, 0x58, 0x86}},
        // Back 10: one-byte code 0x80 | (-10 & 0x3F).
        VectorCase{"ShortStepBack", 1000, {Ref(0, 100), Ref(90, 60), Lit(7)},
                   {0x63, 0x80, 0x3B, 0xB6, 0x86}}),
    [](const ::testing::TestParamInfo<VectorCase>& p) { return std::string(p.param.name); });
// clang-format on

// Copies far into a long reference: the new file is k unmatched bytes and then 100 bytes of
// the reference at S, with lengths chosen so that the proportional position at k is near S.
struct FarCase {
    uint32_t distance;
    Bytes code;
};

class EncoderPositionCodes : public DeltaFixture, public ::testing::WithParamInterface<FarCase> {};

TEST_P(EncoderPositionCodes, CodesTheDistance)
{
    const FarCase& c = GetParam();
    const size_t s = c.distance;
    const size_t m = s + 200 + s / 10;
    const size_t k = (100 * s + (m - s) - 1) / (m - s);
    const Bytes ref = RandomBytes(m, 11);
    const Bytes lits = RandomBytes(k, 12, 128, 255);
    const Bytes newBytes = Concat({lits, Slice(ref, s, 100)});

    Bytes expected(static_cast<size_t>((k - 1) / 32), 0x9F);
    expected.push_back(static_cast<uint8_t>(0x7F + (k - 32 * ((k - 1) / 32))));
    expected.push_back(0x63);
    expected.insert(expected.end(), c.code.begin(), c.code.end());

    CDeltaEncoder encoder;
    encoder.BuildStreams(Write("new.bin", newBytes), Write("ref.bin", ref));
    EXPECT_EQ(StreamBytes(encoder.Commands()), expected);
    EXPECT_EQ(StreamBytes(encoder.Literals()), lits);
    EXPECT_EQ(Decode(Encode(newBytes, ref), ref), newBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Delta, EncoderPositionCodes,
    ::testing::Values(FarCase{31, {0x9F}},                   // one byte, largest
                      FarCase{32, {0x00, 0x00}},             // two bytes from here
                      FarCase{16415, {0x3F, 0xFF}},          // two bytes, largest
                      FarCase{16416, {0xC0, 0x00, 0x00}},    // three bytes from here
                      FarCase{1064991, {0xCF, 0xFF, 0xFF}},  // just below the escape value
                      FarCase{1064992, {0xD0, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00}},  // escape
                      FarCase{1064993, {0xD0, 0x00, 0x01}},
                      FarCase{2113567, {0xDF, 0xFF, 0xFF}},  // three bytes, largest
                      FarCase{2113568, {0xD0, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00}}),
    [](const ::testing::TestParamInfo<FarCase>& p) {
        return "Distance" + std::to_string(p.param.distance);
    });

TEST_F(DeltaFixture, EmptyNewFileGivesTwoEmptySubStreams)
{
    EXPECT_EQ(Encode({}, RandomBytes(500, 1)), (Bytes{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Encode({}, {}), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST_F(DeltaFixture, ShortFilesAreFramedStored)
{
    // Neither sub-stream gains from packing: flags 0, u16 length, the bytes.
    const Bytes newBytes = {'a', 'b', 'c'};
    EXPECT_EQ(Encode(newBytes, Bytes{'a', 'b', 'c'}),
              (Bytes{0x00, 0x01, 0x00, 0x82, 0x00, 0x03, 0x00, 'a', 'b', 'c'}));
}

TEST_F(DeltaFixture, EmptyOrOneByteReferenceGivesOnlyLiterals)
{
    for (const Bytes& ref : {Bytes{}, Bytes{'x'}, Bytes{'x', 'x'}}) {
        const Bytes newBytes(50, 'x');
        CDeltaEncoder encoder;
        encoder.BuildStreams(Write("new.bin", newBytes), Write("ref.bin", ref));
        EXPECT_EQ(StreamBytes(encoder.Literals()), newBytes) << ref.size();
        EXPECT_EQ(Decode(Encode(newBytes, ref), ref), newBytes);
    }
}

TEST_F(DeltaFixture, MissingInputIsAFileError)
{
    std::string present = Write("present.bin", {1, 2, 3});
    CMemorySink sink;
    EXPECT_THROW(
        EncodeDelta(sink, (m_dir / "absent").string(), present, nullptr, 0, 0, ScratchDir()),
        CFileException);
    EXPECT_THROW(
        EncodeDelta(sink, present, (m_dir / "absent").string(), nullptr, 0, 0, ScratchDir()),
        CFileException);
    EXPECT_EQ(sink.Bytes().size(), 0u);
}

// ---- A plain transcription of the algorithm ------------------------------------------------
//
// Whole files in memory, the index rebuilt from scratch on every move, the buffer bounds
// computed directly. The encoder keeps a sliding buffer and updates its index incrementally;
// both must give the same bytes.
class PlainEncoder {
public:
    PlainEncoder(const Bytes& newBytes, const Bytes& ref) : m_new(newBytes), m_ref(ref) {}

    void Run()
    {
        const int64_t n = static_cast<int64_t>(m_new.size());
        Centre(0);
        int64_t cur = 0;
        while (cur < n) {
            int64_t maxLength = std::min<int64_t>(n - cur, 16383);
            int64_t length = 0, source = 0;
            if (Find(cur, maxLength, length, source)) {
                int64_t d = source - m_anchor;
                size_t pending = m_pending.size();
                if (pending >= 1 && pending <= 3 && length < 34) {
                    m_commands.push_back(static_cast<uint8_t>(((pending + 4) << 5) | (length - 2)));
                    Flush(false);
                } else {
                    Flush(true);
                    if (length < 129) {
                        m_commands.push_back(static_cast<uint8_t>(length - 1));
                    } else {
                        m_commands.insert(m_commands.end(),
                                          {0, static_cast<uint8_t>((length - 129) & 0xFF),
                                           static_cast<uint8_t>((length - 129) >> 8)});
                    }
                }
                Position(d);
                m_anchor = source + length;
                cur += length;
            } else {
                if (m_pending.size() == 32) Flush(true);
                m_pending.push_back(m_new[static_cast<size_t>(cur)]);
                cur += 1;
            }
            if (cur < n) Centre(cur * static_cast<int64_t>(m_ref.size()) / n);
        }
        Flush(true);
    }

    Bytes m_commands, m_literals;

private:
    void Flush(bool withCommand)
    {
        if (m_pending.empty()) return;
        if (withCommand) m_commands.push_back(static_cast<uint8_t>(0x7F + m_pending.size()));
        m_literals.insert(m_literals.end(), m_pending.begin(), m_pending.end());
        m_pending.clear();
    }
    void Position(int64_t d)
    {
        if (d >= -32 && d < 32) {
            m_commands.push_back(static_cast<uint8_t>(0x80 | (d & 0x3F)));
            return;
        }
        int64_t d1 = d > 0 ? d - 32 : d + 32;
        if (d1 >= -16384 && d1 < 16384) {
            m_commands.insert(m_commands.end(), {static_cast<uint8_t>((d1 & 0x7FFF) >> 8),
                                                 static_cast<uint8_t>(d1 & 0xFF)});
            return;
        }
        int64_t d2 = d1 > 0 ? d1 - 16384 : d1 + 16384;
        if (std::abs(d2) < 2097152 && d2 != 1048576) {
            int64_t v = (d2 & 0x3FFFFF) | 0xC00000;
            m_commands.insert(m_commands.end(),
                              {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                               static_cast<uint8_t>(v)});
            return;
        }
        uint32_t v = static_cast<uint32_t>(d2);
        m_commands.insert(m_commands.end(),
                          {0xD0, 0, 0, static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                           static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    }
    void Centre(int64_t t)
    {
        const int64_t w = 32768;
        if (t < m_lastTarget + w / 8) return;
        m_lastTarget = t;
        int64_t start = std::max<int64_t>(0, t - w / 2);
        int64_t end = start + w;
        int64_t e = (static_cast<int64_t>(m_ref.size()) - 1) & ~int64_t(1);
        if (end > e) {
            end = e;
            if (start > 0) start = std::max<int64_t>(0, e - w);
        }
        if (m_built && start == m_start) return;
        m_built = true;
        m_start = start;
        m_lists.clear();
        for (int64_t p = start; p < end; ++p) {
            m_lists[m_ref[static_cast<size_t>(p)] | (m_ref[static_cast<size_t>(p) + 1] << 8)]
                .push_back(p);
        }
    }
    int64_t Cost(int64_t length, int64_t d) const
    {
        size_t n = m_pending.size();
        int64_t c = (n >= 1 && n < 4 && length < 34) ? 1 : (n > 0 ? 1 : 0) + (length < 129 ? 1 : 3);
        if (d >= -32 && d < 32) return c + 1;
        int64_t d1 = d > 0 ? d - 32 : d + 32;
        return c + ((d1 >= -16384 && d1 < 16384) ? 4 : 7);
    }
    bool Find(int64_t cur, int64_t maxLength, int64_t& length, int64_t& source) const
    {
        if (maxLength < 7) return false;
        auto it = m_lists.find(m_new[static_cast<size_t>(cur)] |
                               (m_new[static_cast<size_t>(cur) + 1] << 8));
        if (it == m_lists.end()) return false;
        const int64_t loadedEnd =
            m_start +
            std::min<int64_t>(32768 + 65536, static_cast<int64_t>(m_ref.size()) - m_start);
        int64_t bestScore = 0, bestLength = 0, bestSource = 0;
        for (int64_t p : it->second) {
            int64_t available = std::min(loadedEnd - p, maxLength);
            if (available <= bestLength) break;
            if (m_ref[static_cast<size_t>(p + bestLength)] !=
                m_new[static_cast<size_t>(cur + bestLength)])
                continue;
            int64_t l = 0;
            while (l < available &&
                   m_ref[static_cast<size_t>(p + l)] == m_new[static_cast<size_t>(cur + l)])
                ++l;
            if (l >= 2 && l - Cost(l, p - m_anchor) > bestScore) {
                bestScore = l - Cost(l, p - m_anchor);
                bestLength = l;
                bestSource = p;
            }
            if (l >= maxLength) break;
        }
        if (bestScore <= 0) return false;
        length = bestLength;
        source = bestSource;
        return true;
    }

    const Bytes& m_new;
    const Bytes& m_ref;
    std::map<uint32_t, std::vector<int64_t>> m_lists;
    bool m_built = false;
    int64_t m_start = 0;
    int64_t m_lastTarget = -4096;
    int64_t m_anchor = 0;
    Bytes m_pending;
};

// Edits of a reference: text-like bytes from a small alphabet (long key lists), with blocks
// inserted, deleted and moved.
Bytes Edited(const Bytes& ref, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    size_t at = 0;
    while (at < ref.size()) {
        size_t run = std::min<size_t>(ref.size() - at, 500 + rng() % 20000);
        out.insert(out.end(), ref.begin() + static_cast<long>(at),
                   ref.begin() + static_cast<long>(at + run));
        at += run;
        switch (rng() % 4) {
        case 0: {  // insertion
            Bytes ins = RandomBytes(1 + rng() % 300, static_cast<uint32_t>(rng()), 'a', 'h');
            out.insert(out.end(), ins.begin(), ins.end());
            break;
        }
        case 1:  // deletion
            at += std::min<size_t>(ref.size() - at, rng() % 3000);
            break;
        case 2: {  // a block from somewhere near
            size_t from = rng() % ref.size();
            size_t len = std::min<size_t>(ref.size() - from, rng() % 2000);
            out.insert(out.end(), ref.begin() + static_cast<long>(from),
                       ref.begin() + static_cast<long>(from + len));
            break;
        }
        default: break;
        }
    }
    return out;
}

struct PlainCase {
    const char* name;
    size_t refLength;
    uint8_t high;  // alphabet 'a'..high; small alphabets give long candidate lists
    int shape;     // 0 edited copy, 1 new much shorter, 2 new much longer, 3 far jumps
};

class EncoderAgainstPlain : public DeltaFixture, public ::testing::WithParamInterface<PlainCase> {};

TEST_P(EncoderAgainstPlain, SameSubStreams)
{
    const PlainCase& c = GetParam();
    const Bytes ref = RandomBytes(c.refLength, 21, 'a', c.high);
    Bytes newBytes;
    switch (c.shape) {
    case 0: newBytes = Edited(ref, 22); break;
    case 1:
        newBytes = Concat({Slice(ref, 1000, 3000), Slice(ref, ref.size() / 2, 5000),
                           RandomBytes(100, 3, 'a', c.high)});
        break;
    case 2: newBytes = Concat({Edited(ref, 23), Edited(ref, 24), Edited(ref, 25)}); break;
    default:
        // Ten-byte pieces of the reference near the proportional places of a 100-byte file:
        // every step moves the window further than the buffer holds, so it is refilled.
        for (size_t cur = 0; cur < 100; cur += 10) {
            Bytes piece = Slice(ref, cur * ref.size() / 100 + 1000, 10);
            newBytes.insert(newBytes.end(), piece.begin(), piece.end());
        }
        break;
    }
    PlainEncoder plain(newBytes, ref);
    plain.Run();
    if (c.shape == 3) {
        EXPECT_EQ(plain.m_literals.size(), 0u);
    }
    CDeltaEncoder encoder;
    encoder.BuildStreams(Write("new.bin", newBytes), Write("ref.bin", ref));
    EXPECT_EQ(StreamBytes(encoder.Commands()), plain.m_commands);
    EXPECT_EQ(StreamBytes(encoder.Literals()), plain.m_literals);
    EXPECT_EQ(Decode(Encode(newBytes, ref), ref), newBytes);
}

INSTANTIATE_TEST_SUITE_P(Delta, EncoderAgainstPlain,
                         ::testing::Values(PlainCase{"EditedText", 400000, 'z', 0},
                                           PlainCase{"EditedFourLetters", 300000, 'd', 0},
                                           PlainCase{"EditedTwoLetters", 150000, 'b', 0},
                                           PlainCase{"NewMuchShorter", 2000000, 'z', 1},
                                           PlainCase{"NewMuchLonger", 100000, 'p', 2},
                                           PlainCase{"WindowJumpsPastTheBuffer", 12000000, 'z', 3}),
                         [](const ::testing::TestParamInfo<PlainCase>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
}  // namespace velkan::testing
