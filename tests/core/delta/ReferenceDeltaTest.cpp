// The delta encoder against a plain second encoder written from the same steps (CReferenceDelta):
// both must give the same bytes for every pair of files. Where they differ, the failure names the
// first differing command of the command sub-stream and shows both sides around it.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tests/core/delta/CReferenceDelta.h"
#include "tests/core/delta/DeltaTestSupport.h"

namespace velkan::testing {
namespace {

struct Pair {
    Bytes newFile;
    Bytes reference;
};

struct PairCase {
    const char* name;
    std::function<Pair()> make;
};

void PrintTo(const PairCase& c, std::ostream* os)
{
    *os << c.name;
}

const PairCase& CaseNamed(const std::vector<PairCase>& cases, const std::string& name)
{
    for (const PairCase& c : cases) {
        if (name == c.name) return c;
    }
    throw std::invalid_argument("no pair case " + name);
}

// Readable pseudo-text: lines of words from a small vocabulary.
Bytes Text(size_t n, uint32_t seed)
{
    static const char* const words[] = {
        "the", "install", "program", "copies", "files",    "into",   "directory", "version", "of",
        "a",   "product", "and",     "writes", "registry", "values", "shortcut",  "menu",    "to"};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) {
        s += words[rng() % std::size(words)];
        s += (rng() % 9 == 0) ? "\r\n" : " ";
    }
    s.resize(n);
    return Bytes(s.begin(), s.end());
}

// The text with every k-th word-sized piece rewritten.
Bytes EditText(const Bytes& text, size_t every, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    for (size_t i = 0; i < text.size();) {
        if (i > 0 && i % every == 0) {
            Bytes repl = Text(3 + rng() % 20, seed + static_cast<uint32_t>(i));
            out.insert(out.end(), repl.begin(), repl.end());
            i += rng() % 15;
        } else {
            out.push_back(text[i++]);
        }
    }
    return out;
}

Bytes Repeat(const Bytes& unit, size_t n)
{
    Bytes out(n);
    for (size_t i = 0; i < n; ++i) out[i] = unit[i % unit.size()];
    return out;
}

// Reference positions a literal run of the high alphabet never matches.
Bytes Literals(size_t n, uint32_t seed)
{
    return RandomBytes(n, seed, 128, 255);
}

std::vector<PairCase> Cases()
{
    const Bytes r100 = RandomBytes(100000, 11);
    // clang-format off
    return {
        {"EmptyBoth", [] { return Pair{{}, {}}; }},
        {"EmptyNew", [] { return Pair{{}, RandomBytes(500, 1)}; }},
        {"ShortNewOfSix", [] { return Pair{Bytes{1, 2, 3, 4, 5, 6}, Bytes{1, 2, 3, 4, 5, 6, 7}}; }},
        {"SevenEqualBytes", [] { return Pair{Bytes{1, 2, 3, 4, 5, 6, 7}, Bytes{1, 2, 3, 4, 5, 6, 7}}; }},
        {"EmptyReference", [] { return Pair{RandomBytes(300, 2), {}}; }},
        {"OneByteReference", [] { return Pair{Bytes(50, 7), Bytes{7}}; }},
        {"TwoByteReference", [] { return Pair{Bytes(50, 7), Bytes{7, 7}}; }},
        {"ThreeByteReference", [] { return Pair{Bytes(50, 7), Bytes{7, 7, 7}}; }},
        {"FourByteReference", [] { return Pair{Bytes(50, 7), Bytes{7, 7, 7, 7}}; }},
        {"IdenticalSmall", [] { Bytes b = RandomBytes(1000, 3); return Pair{b, b}; }},
        {"IdenticalOddLength", [] { Bytes b = RandomBytes(40001, 4); return Pair{b, b}; }},
        {"Identical200K", [] { Bytes b = RandomBytes(200000, 5); return Pair{b, b}; }},
        {"InsertionMiddle", [r100] {
             return Pair{Concat({Slice(r100, 0, 50000), Literals(500, 6), Slice(r100, 50000, 50000)}), r100};
         }},
        {"ManySmallInsertions", [r100] {
             Bytes out;
             for (size_t i = 0; i < r100.size(); i += 997) {
                 out.insert(out.end(), r100.begin() + static_cast<long>(i),
                            r100.begin() + static_cast<long>(std::min(i + 997, r100.size())));
                 Bytes lit = Literals(1 + i % 41, static_cast<uint32_t>(i));
                 out.insert(out.end(), lit.begin(), lit.end());
             }
             return Pair{out, r100};
         }},
        {"DeletionMiddle", [r100] {
             return Pair{Concat({Slice(r100, 0, 40000), Slice(r100, 43000, 57000)}), r100};
         }},
        {"LargeDeletion", [r100] {
             return Pair{Concat({Slice(r100, 0, 20000), Slice(r100, 80000, 20000)}), r100};
         }},
        {"MovedBlocks", [r100] {
             return Pair{Concat({Slice(r100, 30000, 20000), Slice(r100, 0, 30000), Slice(r100, 50000, 50000)}), r100};
         }},
        {"SwappedNearbyBlocks", [r100] {
             return Pair{Concat({Slice(r100, 0, 10000), Slice(r100, 10500, 300), Slice(r100, 10000, 500),
                                 Slice(r100, 10800, 89200)}), r100};
         }},
        {"LiteralRunsOfEveryLength", [r100] {
             Bytes out;
             size_t at = 0;
             for (size_t n = 1; n <= 70; ++n) {
                 Bytes lit = Literals(n, static_cast<uint32_t>(n));
                 out.insert(out.end(), lit.begin(), lit.end());
                 out.insert(out.end(), r100.begin() + static_cast<long>(at), r100.begin() + static_cast<long>(at + 20 + n * 3));
                 at += 20 + n * 3 + n;
             }
             return Pair{out, Slice(r100, 0, at + 100)};
         }},
        {"CopyLengthsAroundCodeLimits", [r100] {
             Bytes out;
             size_t at = 0;
             for (size_t len : {7u, 8u, 33u, 34u, 35u, 128u, 129u, 130u, 200u, 16383u, 16384u, 20000u}) {
                 Bytes lit = Literals(2, static_cast<uint32_t>(len));
                 out.insert(out.end(), lit.begin(), lit.end());
                 out.insert(out.end(), r100.begin() + static_cast<long>(at), r100.begin() + static_cast<long>(at + len));
                 at += len;
             }
             return Pair{out, r100};
         }},
        {"UnrelatedRandomSameAlphabet", [] { return Pair{RandomBytes(60000, 8, 0, 15), RandomBytes(60000, 9, 0, 15)}; }},
        {"UnrelatedRandomFullAlphabet", [] { return Pair{RandomBytes(80000, 10, 0, 255), RandomBytes(70000, 12, 0, 255)}; }},
        {"WideLiteralStreamPacked", [] { return Pair{RandomBytes(300000, 13, 0, 15), RandomBytes(20000, 14, 128, 255)}; }},
        {"TextEdits", [] { Bytes t = Text(120000, 15); return Pair{EditText(t, 700, 16), t}; }},
        {"TextDenseEdits", [] { Bytes t = Text(50000, 17); return Pair{EditText(t, 60, 18), t}; }},
        {"ZerosShorterNew", [] { return Pair{Bytes(90000, 0), Bytes(100000, 0)}; }},
        {"ZerosLongerNew", [] { return Pair{Bytes(100000, 0), Bytes(90000, 0)}; }},
        {"PeriodicWithEdits", [] {
             Bytes ref = Repeat({1, 2, 3}, 80000);
             Bytes n = Repeat({1, 2, 3}, 80000);
             for (size_t i = 500; i < n.size(); i += 1311) n[i] = 9;
             return Pair{n, ref};
         }},
        {"PeriodicShiftedPhase", [] { return Pair{Repeat({5, 6, 7, 8, 9}, 50000), Repeat({6, 7, 8, 9, 5}, 51234)}; }},
        {"FewDistinctBytes", [] { return Pair{RandomBytes(70000, 19, 0, 2), RandomBytes(70000, 20, 0, 2)}; }},
        {"NewMuchShorter", [] {
             Bytes ref = RandomBytes(600000, 21);
             Bytes n;
             for (size_t i = 0; i < 30; ++i) {
                 Bytes piece = Slice(ref, i * 20000, 700);
                 n.insert(n.end(), piece.begin(), piece.end());
             }
             return Pair{n, ref};
         }},
        {"NewMuchShorterTinyFile", [] {
             Bytes ref = RandomBytes(300000, 22);
             return Pair{Slice(ref, 100, 40), ref};
         }},
        {"NewMuchLonger", [] {
             Bytes ref = RandomBytes(9000, 23);
             Bytes n;
             for (int i = 0; i < 30; ++i) {
                 n.insert(n.end(), ref.begin(), ref.end());
                 Bytes lit = Literals(77, static_cast<uint32_t>(i));
                 n.insert(n.end(), lit.begin(), lit.end());
             }
             return Pair{n, ref};
         }},
        {"ThreeBytePositionCodes", [] {
             Bytes ref = RandomBytes(200000, 24);
             return Pair{Concat({Slice(ref, 0, 1000), Literals(40000, 25), Slice(ref, 41000, 159000)}), ref};
         }},
        {"ThreeByteNegativeDistance", [] {
             // New twice as long as the reference: the window stays at the start while the
             // anchor runs far ahead of the second copy's source.
             Bytes ref = RandomBytes(40000, 28);
             return Pair{Concat({Slice(ref, 0, 30000), Slice(ref, 10, 1000), Literals(49000, 29)}), ref};
         }},
        {"WindowJumpsFurtherThanTheBuffer", [] {
             // Each 60-byte piece moves the proportional place by 100000 reference bytes, more
             // than the buffer holds, and its source lies at the new place.
             Bytes ref = RandomBytes(1000000, 30);
             Bytes n;
             for (size_t i = 0; i < 10; ++i) {
                 Bytes piece = Slice(ref, 100000 * i + 7 * i, 60);
                 n.insert(n.end(), piece.begin(), piece.end());
             }
             return Pair{n, ref};
         }},
        {"LimitReachingCandidateWithLowerGain", [] {
             // At the tail (limit 10) a near candidate gives 9 bytes cheaply and a later, farther
             // one all 10 bytes at a higher cost.
             Bytes ref = RandomBytes(2000, 31);
             const Bytes tail = RandomBytes(10, 32);
             for (size_t i = 0; i < 9; ++i) ref[1000 + i] = tail[i];
             ref[1009] = static_cast<uint8_t>(tail[9] ^ 1);
             for (size_t i = 0; i < 10; ++i) ref[1100 + i] = tail[i];
             return Pair{Concat({Slice(ref, 0, 995), Literals(1, 33), tail}), ref};
         }},
        // The search visits only positions near the anchor and positions sharing six bytes with
        // the new data; these pairs stress it where the two kinds meet and where one key has
        // thousands of positions.
        {"ShortNearCopiesBetweenChangedBytes", [r100] {
             // Every 4th to 7th byte changed: copies of 3 to 6 bytes at the anchor, with 1 to 3
             // pending literals, the lengths where only the near positions can win.
             Bytes n = r100;
             for (size_t i = 3, k = 0; i < n.size(); i += 4 + (k++ % 4)) n[i] ^= 0x5A;
             return Pair{n, r100};
         }},
        {"RunsOfOneByteAmongNoise", [] {
             // Zero runs of 1 to 40 and of up to 5000 bytes in both files, at other places and
             // with other lengths in the new one: thousands of positions under the keys 00 00
             // and six zeros, each search in a run passing over most of them.
             auto make = [](uint32_t seed) {
                 std::mt19937 rng(seed);
                 Bytes out;
                 while (out.size() < 150000) {
                     Bytes noise = RandomBytes(1 + rng() % 64, rng());
                     out.insert(out.end(), noise.begin(), noise.end());
                     out.insert(out.end(), 1 + rng() % (rng() % 3 == 0 ? 5000 : 40), 0);
                 }
                 return out;
             };
             return Pair{make(40), make(41)};
         }},
        {"MostlyOneByteSparseOthers", [] {
             // 'a' with a rare other byte: the keys "aa" and "aaaaaa" hold nearly every position of
             // the window, the matches end on the rare bytes at every length.
             auto make = [](uint32_t seed) {
                 std::mt19937 rng(seed);
                 Bytes out(120000, 'a');
                 for (uint8_t& b : out) {
                     if (rng() % 23 == 0) b = static_cast<uint8_t>('b' + rng() % 3);
                 }
                 return out;
             };
             return Pair{make(42), make(43)};
         }},
        {"PeriodsAroundTheLongKey", [] {
             // Periods of 2, 5, 6, 7 and 13 bytes with scattered edits: copies whose best source
             // lies a whole number of periods away, the same six bytes under many positions.
             Bytes ref;
             Bytes n;
             std::mt19937 rng(44);
             for (size_t period : {2u, 5u, 6u, 7u, 13u}) {
                 Bytes unit = RandomBytes(period, static_cast<uint32_t>(period));
                 Bytes r = Repeat(unit, 30000 + period * 11);
                 Bytes e = Repeat(unit, 30000 + period * 17);
                 for (size_t i = rng() % 300; i < e.size(); i += 1 + rng() % 600) e[i] = static_cast<uint8_t>(rng());
                 ref.insert(ref.end(), r.begin(), r.end());
                 n.insert(n.end(), e.begin(), e.end());
             }
             return Pair{n, ref};
         }},
        {"ManyEqualLinesOfText", [] {
             // Indented source text: runs of spaces and repeated lines, as in unminified scripts.
             auto make = [](uint32_t seed) {
                 std::mt19937 rng(seed);
                 std::string s;
                 while (s.size() < 150000) {
                     s.append(4 * (1 + rng() % 6), ' ');
                     s += (rng() % 3 == 0) ? "return undefined;\n" : (rng() % 2 ? "}\n" : "x = x + 1;\n");
                 }
                 return Bytes(s.begin(), s.end());
             };
             return Pair{make(45), make(46)};
         }},
        // D'' = 1048576 would read as the seven-byte escape.
        {"EscapeValueTakesSevenBytes", [] {
             Bytes ref = RandomBytes(1100000, 26);
             const size_t gap = 1064992;
             return Pair{Concat({Slice(ref, 0, 100), Literals(gap, 27), Slice(ref, 100 + gap, 1100000 - 100 - gap)}), ref};
         }},
        // From 3,500,000 bytes on, the sub-streams go through temporary files; the 3.1 MB literal
        // stream is packed through one too, and the distance needs the 32-bit seven-byte code.
        {"LargeInputsThroughTemporaryFiles", [] {
             Bytes ref = RandomBytes(3600000, 34);
             const size_t gap = 3100000;
             return Pair{Concat({Slice(ref, 0, 100), Literals(gap, 35), Slice(ref, 100 + gap, 3600000 - 100 - gap)}), ref};
         }},
    };
    // clang-format on
}

// The command sub-stream split into commands, each with its byte offset, for the failure text.
std::vector<std::pair<size_t, std::string>> Commands(const Bytes& c)
{
    std::vector<std::pair<size_t, std::string>> out;
    size_t i = 0;
    auto hex = [](std::ostringstream& s, uint8_t b) {
        static const char* const digits = "0123456789ABCDEF";
        s << digits[b >> 4] << digits[b & 15] << ' ';
    };
    while (i < c.size()) {
        std::ostringstream s;
        size_t start = i;
        uint8_t b = c[i];
        size_t len = 1;
        if (b == 0x00) len = 3;
        bool hasPosition = !(b >= 0x80 && b <= 0x9F);
        if (hasPosition && start + len < c.size()) {
            uint8_t p = c[start + len];
            if (p >= 0x80 && p <= 0xBF)
                len += 1;
            else if (p < 0x80)
                len += 2;
            else if (p == 0xD0 && start + len + 2 < c.size() && c[start + len + 1] == 0 &&
                     c[start + len + 2] == 0)
                len += 7;
            else
                len += 3;
        }
        for (size_t k = start; k < std::min(start + len, c.size()); ++k) hex(s, c[k]);
        out.emplace_back(start, s.str());
        i = start + len;
    }
    return out;
}

std::string FirstDifference(const char* what, const Bytes& ours, const Bytes& plain)
{
    auto a = Commands(ours);
    auto b = Commands(plain);
    size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k]) ++k;
    std::ostringstream s;
    s << what << ": first differing command #" << k << " (ours " << a.size() << " commands / "
      << ours.size() << " bytes, plain " << b.size() << " / " << plain.size() << ")\n";
    for (size_t j = (k > 3 ? k - 3 : 0); j < k + 4; ++j) {
        s << "  #" << j << "  ours: " << (j < a.size() ? a[j].second : "-")
          << "  plain: " << (j < b.size() ? b[j].second : "-") << '\n';
    }
    return s.str();
}

size_t FirstByteDifference(const Bytes& a, const Bytes& b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

class ReferenceDeltaTest : public DeltaFixture, public ::testing::WithParamInterface<PairCase> {
protected:
    // Compares the framed output, and on a difference the raw sub-streams, which say where.
    void Compare(const Pair& pair)
    {
        CReferenceDelta::Result plain = CReferenceDelta::Encode(pair.newFile, pair.reference);
        // The plain encoder's output must itself rebuild the new file.
        ASSERT_EQ(Decode(plain.framed, pair.reference), pair.newFile);

        Bytes ours = Encode(pair.newFile, pair.reference);
        if (ours == plain.framed) return;

        CDeltaEncoder encoder;
        encoder.SetTempDirectory(ScratchDir());
        encoder.BuildStreams(Write("new.bin", pair.newFile), Write("ref.bin", pair.reference));
        Bytes commands = StreamBytes(encoder.Commands());
        Bytes literals = StreamBytes(encoder.Literals());
        ADD_FAILURE() << "framed deltas differ at byte " << FirstByteDifference(ours, plain.framed)
                      << " (ours " << ours.size() << " bytes, plain " << plain.framed.size() << ")";
        if (commands != plain.commands)
            ADD_FAILURE() << FirstDifference("commands", commands, plain.commands);
        if (literals != plain.literals) {
            ADD_FAILURE() << "literals differ at byte "
                          << FirstByteDifference(literals, plain.literals);
        }
    }
};

TEST_P(ReferenceDeltaTest, SameBytesAsThePlainEncoder)
{
    Compare(GetParam().make());
}

INSTANTIATE_TEST_SUITE_P(Pairs, ReferenceDeltaTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<PairCase>& param) {
                             return std::string(param.param.name);
                         });

// Where the steps leave room, the plain encoder takes one reading; these pairs give other bytes
// under the other reading, so the agreement above settles which one the encoder follows.
class ReferenceDeltaChecks : public DeltaFixture {};

TEST_F(ReferenceDeltaChecks, RulesOutTheOtherReadings)
{
    struct Row {
        const char* pair;
        const char* reading;
        void (*change)(CReferenceDelta::Readings&);
    };
    const Row rows[] = {
        {"LimitReachingCandidateWithLowerGain",
         "a candidate reaching the limit is taken whatever its gain",
         [](CReferenceDelta::Readings& r) { r.limitCandidateCompared = false; }},
        {"TextEdits", "the best length is the longest length measured",
         [](CReferenceDelta::Readings& r) { r.bestLengthOfBest = false; }},
        {"MovedBlocks", "the target is recorded only when the window moves",
         [](CReferenceDelta::Readings& r) { r.targetAlwaysRecorded = false; }},
    };
    const std::vector<PairCase> cases = Cases();
    for (const Row& row : rows) {
        Pair pair = CaseNamed(cases, row.pair).make();
        CReferenceDelta::Readings other;
        row.change(other);
        Bytes ours = Encode(pair.newFile, pair.reference);
        EXPECT_EQ(ours, CReferenceDelta::Encode(pair.newFile, pair.reference).framed) << row.pair;
        EXPECT_NE(ours, CReferenceDelta::Encode(pair.newFile, pair.reference, other).framed)
            << row.pair << ": " << row.reading;
    }
}

// A copy may take the file's last bytes: the limit is the bytes left, so seven equal bytes are
// one copy with no literals (the tail is literal only when fewer than 7 bytes remain at a search).
TEST_F(ReferenceDeltaChecks, CopiesUpToTheEnd)
{
    const Bytes seven{1, 2, 3, 4, 5, 6, 7};
    CReferenceDelta::Result plain = CReferenceDelta::Encode(seven, seven);
    EXPECT_EQ(plain.commands, (Bytes{0x06, 0x80}));
    EXPECT_TRUE(plain.literals.empty());
    EXPECT_EQ(Encode(seven, seven), (Bytes{0x00, 0x02, 0x00, 0x06, 0x80, 0x00, 0x00, 0x00}));
}

// The position codes of the plain encoder at each boundary, as the delta format reads them.
TEST(ReferenceDeltaPositionCode, Boundaries)
{
    struct Row {
        int64_t d;
        Bytes code;
    };
    const Row rows[] = {
        {0, {0x80}},
        {-32, {0xA0}},
        {31, {0x9F}},
        {32, {0x00, 0x00}},
        {-33, {0x7F, 0xFF}},
        {16415, {0x3F, 0xFF}},
        {-16416, {0x40, 0x00}},
        {16416, {0xC0, 0x00, 0x00}},
        {-16417, {0xFF, 0xFF, 0xFF}},
        {16416 + 1048575, {0xCF, 0xFF, 0xFF}},
        {16416 + 1048576, {0xD0, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00}},
        {16416 + 1048577, {0xD0, 0x00, 0x01}},
        {16416 + 2097151, {0xDF, 0xFF, 0xFF}},
        {16416 + 2097152, {0xD0, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00}},
        {-16417 - 2097150, {0xE0, 0x00, 0x01}},
        {-16417 - 2097151, {0xD0, 0x00, 0x00, 0xFF, 0xE0, 0x00, 0x00}},
    };
    for (const Row& row : rows) {
        Bytes out;
        CReferenceDelta::PositionCode(row.d, out);
        EXPECT_EQ(out, row.code) << "D = " << row.d;
    }
}

}  // namespace
}  // namespace velkan::testing
