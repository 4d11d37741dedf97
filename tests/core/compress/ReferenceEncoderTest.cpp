// CCompressor against CReferenceEncoder, byte for byte. The reference is a slow, plain rendering
// of the encoder's rules; CCompressor is the tuned one that ships. Their streams must be equal for
// every input, since the installers only read what the rules produce. Each case also decodes the
// stream with CDecompressor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CReferenceEncoder.h"
#include "core/compress/CCompressor.h"
#include "core/compress/CDecompressor.h"
#include "core/stream/CMemorySink.h"

using namespace velkan;
using velkan::test::CReferenceEncoder;

namespace {

using Bytes = std::vector<uint8_t>;

// ---- Inputs --------------------------------------------------------------------------------

Bytes Random(size_t n, uint32_t seed)
{
    std::mt19937 gen(seed);
    Bytes v(n);
    for (auto& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

Bytes Zeros(size_t n)
{
    return Bytes(n, 0);
}

// Words drawn with a skewed (Zipf-like) choice, with punctuation and line breaks.
Bytes EnglishLike(size_t n, uint32_t seed)
{
    static const char* const words[] = {
        "the",     "of",      "and",     "to",      "a",        "in",     "is",       "that",
        "for",     "it",      "as",      "was",     "with",     "be",     "by",       "on",
        "not",     "he",      "this",    "are",     "or",       "his",    "from",     "at",
        "which",   "but",     "have",    "an",      "had",      "they",   "you",      "were",
        "install", "program", "version", "window",  "registry", "folder", "shortcut", "uninstall",
        "package", "delta",   "wizard",  "license", "product",  "target", "compress", "option"};
    constexpr size_t count = sizeof(words) / sizeof(words[0]);
    std::mt19937 gen(seed);
    std::vector<double> weights(count);
    for (size_t i = 0; i < count; ++i) weights[i] = 1.0 / static_cast<double>(i + 1);
    std::discrete_distribution<size_t> pick(weights.begin(), weights.end());
    Bytes v;
    bool capital = true;
    while (v.size() < n) {
        std::string w = words[pick(gen)];
        if (capital) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        capital = false;
        v.insert(v.end(), w.begin(), w.end());
        unsigned r = gen() % 20;
        if (r == 0) {
            v.push_back('.');
            v.push_back(gen() % 3 == 0 ? '\n' : ' ');
            capital = true;
        } else if (r == 1) {
            v.push_back(',');
            v.push_back(' ');
        } else {
            v.push_back(' ');
        }
    }
    v.resize(n);
    return v;
}

Bytes Periodic(size_t period, size_t total, uint32_t seed)
{
    Bytes unit = Random(period, seed);
    Bytes v(total);
    for (size_t i = 0; i < total; ++i) v[i] = unit[i % period];
    return v;
}

// A period of random bytes repeated, with a few bytes changed in every copy, so that matches of
// all lengths up to the period occur.
Bytes PeriodicNoisy(size_t period, size_t total, uint32_t seed)
{
    Bytes v = Periodic(period, total, seed);
    std::mt19937 gen(seed + 1);
    for (size_t i = period; i < total; i += 1 + gen() % 997) v[i] = static_cast<uint8_t>(gen());
    return v;
}

Bytes SmallAlphabet(size_t n, unsigned letters, uint32_t seed)
{
    std::mt19937 gen(seed);
    Bytes v(n);
    for (auto& b : v) b = static_cast<uint8_t>('a' + gen() % letters);
    return v;
}

// Stretches of random bytes, text, zeros and repeats, one after the other.
Bytes Mixed(size_t n, uint32_t seed)
{
    std::mt19937 gen(seed);
    Bytes v;
    while (v.size() < n) {
        size_t len = 1 + gen() % 9000;
        Bytes part;
        switch (gen() % 5) {
        case 0: part = Random(len, gen()); break;
        case 1: part = EnglishLike(len, gen()); break;
        case 2: part = Zeros(len % 700); break;
        case 3:
            if (v.size() > 10) {
                size_t from = gen() % v.size();
                size_t l = std::min<size_t>(len, v.size() - from);
                part.assign(v.begin() + static_cast<long>(from),
                            v.begin() + static_cast<long>(from + l));
            }
            break;
        default: part = SmallAlphabet(len, 3 + gen() % 20, gen()); break;
        }
        v.insert(v.end(), part.begin(), part.end());
    }
    v.resize(n);
    return v;
}

// A few dozen 20-byte words separated by two random bytes: most symbols are literals, yet each
// one stands for several input bytes, which is what ends a block at the 4,096-symbol check.
Bytes WordsWithNoise(size_t n, uint32_t seed)
{
    std::mt19937 gen(seed);
    std::vector<Bytes> vocabulary;
    for (int i = 0; i < 40; ++i) vocabulary.push_back(Random(20, gen()));
    Bytes v;
    while (v.size() < n) {
        const Bytes& w = vocabulary[gen() % vocabulary.size()];
        v.insert(v.end(), w.begin(), w.end());
        v.push_back(static_cast<uint8_t>(gen()));
        v.push_back(static_cast<uint8_t>(gen()));
    }
    v.resize(n);
    return v;
}

// Byte frequencies that follow the Fibonacci numbers, in random order. The many short matches
// this makes flatten the tree (FibonacciSymbols is the input that reaches the 15-bit cut), but the
// skew still gives long codes and many tied frequencies.
Bytes Fibonacci(unsigned symbols, uint32_t seed)
{
    Bytes v;
    uint32_t a = 1, b = 1;
    for (unsigned s = 0; s < symbols; ++s) {
        v.insert(v.end(), a, static_cast<uint8_t>(s * 11 + 3));
        uint32_t c = a + b;
        a = b;
        b = c;
    }
    std::mt19937 gen(seed);
    std::shuffle(v.begin(), v.end(), gen);
    return v;
}

// Many different literal frequencies in one block and matches of many lengths, so that the code
// lengths of the code-length code spread widely.
Bytes SpreadFrequencies(size_t n, uint32_t seed)
{
    std::mt19937 gen(seed);
    std::vector<double> weights(256);
    for (size_t i = 0; i < 256; ++i) weights[i] = std::pow(0.93, static_cast<double>(i));
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    Bytes v;
    while (v.size() < n) {
        if (v.size() > 300 && gen() % 4 == 0) {
            size_t len = 3 + gen() % 60;
            size_t from = v.size() - 1 - gen() % std::min<size_t>(v.size() - 1, 20000);
            for (size_t i = 0; i < len; ++i) v.push_back(v[from + i]);
        } else {
            v.push_back(static_cast<uint8_t>(pick(gen)));
        }
    }
    v.resize(n);
    return v;
}

// Symbols laid out so that every block holds literal/length frequencies close to the Fibonacci
// numbers: 10 rare literals and 8 match lengths (4 to 11) that carry the large counts. Matches
// copy from 32 KiB of random bytes or from earlier copies, at distances no match can exceed, so
// the encoder finds about the intended symbols. Such a tree is deeper than 15 bits.
Bytes FibonacciSymbols(uint32_t seed)
{
    constexpr int levels = 18;
    std::mt19937 gen(seed);
    Bytes v = Random(32768, seed);
    std::vector<int> symbols;  // negative: literal number, else a match length
    uint32_t a = 1, b = 1;
    for (int i = 0; i < levels; ++i) {
        int symbol = i < levels - 8 ? -1 - i : 4 + (i - (levels - 8));
        symbols.insert(symbols.end(), a, symbol);
        uint32_t c = a + b;
        a = b;
        b = c;
    }
    // Spread each symbol evenly over the period, so that any stretch of 8,191 symbols (one block)
    // holds about the same proportions.
    std::vector<std::pair<double, int>> placed;
    const double period = static_cast<double>(symbols.size());
    for (int i = 0; i < levels; ++i) {
        int symbol = i < levels - 8 ? -1 - i : 4 + (i - (levels - 8));
        auto count = static_cast<double>(std::count(symbols.begin(), symbols.end(), symbol));
        for (double k = 0; k < count; ++k)
            placed.push_back({(k + 0.5 + 0.37 * i) * period / count, symbol});
    }
    std::sort(placed.begin(), placed.end());
    for (int round = 0; round < 3; ++round) {
        for (const auto& p : placed) {
            if (p.second < 0) {
                v.push_back(static_cast<uint8_t>(0x80 + 7 * (-1 - p.second)));
                continue;
            }
            size_t distance = 33 + gen() % 32400;
            size_t from = v.size() - distance;
            for (int i = 0; i < p.second; ++i) v.push_back(v[from + static_cast<size_t>(i)]);
        }
    }
    return v;
}

// 65,274 + 20 bytes of 16 letters, where the last 20 repeat 20 other bytes found at 32,768 and
// no position in between shares their hash. The run reaches 65,274 after the source has ended:
// the window slides there, so the position 32,768 (distance exactly 32,506) drops out of the
// hash chains and the repeat is not matched. Without that slide the repeat would be one match.
Bytes RepeatAtTheLastSlide()
{
    constexpr size_t from = 32768, to = 65274, tail = 20;
    Bytes v = Random(to + tail, 77);
    for (auto& b : v) b = static_cast<uint8_t>('a' + b % 16);
    for (size_t i = 0; i < tail; ++i) v[from + i] = static_cast<uint8_t>(0xC0 + v[from + i] % 64);
    for (size_t i = 0; i < tail; ++i) v[to + i] = v[from + i];
    auto hash = [&](size_t p) { return ((v[p] << 10) ^ (v[p + 1] << 5) ^ v[p + 2]) & 0x1FFFu; };
    bool clean = false;
    for (uint8_t fix = 1; !clean; ++fix) {
        clean = true;
        for (size_t p = from + 1; p < to; ++p) {
            if (hash(p) == hash(from) && p + 2 < to && p + 2 > from + tail) {
                v[p + 2] = static_cast<uint8_t>(v[p + 2] + fix);
                clean = false;
            }
        }
    }
    return v;
}

Bytes ReadFile(const std::string& path, size_t cap)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    Bytes v((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (v.size() > cap) v.resize(cap);
    return v;
}

// Source files of this repository, one after the other.
Bytes SourceCode(size_t cap)
{
    static const char* const files[] = {
        "core/compress/CDecompressor.cpp", "core/compress/PackFormat.h", "core/stream/CFile.cpp",
        "tests/core/compress/CCompressorTest.cpp", "tests/core/compress/CReferenceEncoder.cpp"};
    Bytes v;
    for (const char* f : files) {
        Bytes b = ReadFile(std::string(VELKAN_SOURCE_DIR) + "/" + f, cap);
        v.insert(v.end(), b.begin(), b.end());
    }
    if (v.empty()) v = EnglishLike(cap, 99);  // no checkout at hand: text still exercises the paths
    if (v.size() > cap) v.resize(cap);
    return v;
}

// A real executable when there is one, else something shaped like machine code: runs of opcodes
// and small integers among random bytes.
Bytes Binary(size_t cap)
{
    Bytes v = ReadFile("/usr/bin/ls", cap);
    if (v.size() >= 4096) return v;
    std::mt19937 gen(5);
    v.clear();
    while (v.size() < cap) {
        unsigned r = gen() % 4;
        if (r == 0) {
            uint32_t x = gen() % 4096;
            for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
        } else if (r == 1) {
            v.push_back(0x48);
            v.push_back(0x8B);
            v.push_back(static_cast<uint8_t>(0x40 + gen() % 8));
        } else {
            v.push_back(static_cast<uint8_t>(gen()));
        }
    }
    v.resize(cap);
    return v;
}

Bytes Text(const char* s)
{
    return Bytes(s, s + std::char_traits<char>::length(s));
}

// ---- The comparison -------------------------------------------------------------------------

struct Case {
    std::string name;
    std::function<Bytes()> make;
};

Bytes PackWithCCompressor(const Bytes& data)
{
    CMemorySink sink;
    CCompressor compressor;
    compressor.Reset();
    compressor.CompressMemory(sink, data.data(), static_cast<uint32_t>(data.size()));
    return Bytes(sink.Bytes().begin(), sink.Bytes().end());
}

std::string Hex(const Bytes& b, size_t from, size_t count)
{
    std::string s;
    char buf[4];
    for (size_t i = from; i < std::min(b.size(), from + count); ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", b[i]);
        s += buf;
    }
    return s;
}

// Empty when equal; otherwise where and how the streams part.
std::string Difference(const Bytes& ours, const Bytes& reference)
{
    if (ours == reference) return {};
    size_t i = 0;
    while (i < ours.size() && i < reference.size() && ours[i] == reference[i]) ++i;
    std::ostringstream os;
    os << "streams differ at byte " << i << " (CCompressor " << ours.size() << " bytes, reference "
       << reference.size() << " bytes)\n  CCompressor: " << Hex(ours, i, 16)
       << "\n  reference:   " << Hex(reference, i, 16);
    return os.str();
}

std::string Describe(const CReferenceEncoder::CStats& s)
{
    std::ostringstream os;
    os << "stored " << s.storedBlocks << ", fixed " << s.fixedBlocks << ", dynamic "
       << s.dynamicBlocks << "; ended by limit " << s.endedBySymbolLimit << ", by estimate "
       << s.endedByEstimate << "; overflows lit " << s.literalOverflows << " dist "
       << s.distanceOverflows << " cl " << s.codeLengthOverflows << "; slides " << s.slides
       << " (after end " << s.slidesAfterEnd << "); literals " << s.literals << ", matches "
       << s.matches << ", farthest " << s.longestDistance << ", most symbols in a block "
       << s.maxBlockSymbols;
    return os.str();
}

std::vector<Case> Cases()
{
    std::vector<Case> c = {
        {"Empty", [] { return Bytes{}; }},
        {"OneByte", [] { return Bytes{0x41}; }},
        {"TwoBytes",
         [] {
             return Bytes{0x00, 0xFF};
         }},
        {"ThreeBytes", [] { return Text("abc"); }},
        {"ThreeEqualBytes", [] { return Text("aaa"); }},
        {"FourEqualBytes", [] { return Text("aaaa"); }},
        {"ShortRepeat", [] { return Text("abcabcabcabcabcabc"); }},
        {"Sentence",
         [] { return Text("The quick brown fox jumps over the lazy dog. The quick brown fox."); }},
        {"EnglishLike2K", [] { return EnglishLike(2000, 1); }},
        {"EnglishLike40K", [] { return EnglishLike(40000, 2); }},
        {"EnglishLike200K", [] { return EnglishLike(200000, 3); }},
        {"SourceCode", [] { return SourceCode(150000); }},
        {"Zeros1K", [] { return Zeros(1000); }},
        {"Zeros300K", [] { return Zeros(300000); }},
        {"Random1K", [] { return Random(1000, 4); }},
        {"Random70000", [] { return Random(70000, 5); }},
        {"Random140K", [] { return Random(140000, 6); }},
        {"Mixed150K", [] { return Mixed(150000, 7); }},
        {"Mixed300K", [] { return Mixed(300000, 8); }},
        {"SmallAlphabet4", [] { return SmallAlphabet(60000, 4, 9); }},
        {"SmallAlphabet20", [] { return SmallAlphabet(80000, 20, 10); }},
        {"WordsWithNoise", [] { return WordsWithNoise(120000, 11); }},
        {"Fibonacci18", [] { return Fibonacci(18, 12); }},
        {"Fibonacci20", [] { return Fibonacci(20, 13); }},
        {"FibonacciSymbols1", [] { return FibonacciSymbols(1); }},
        {"FibonacciSymbols2", [] { return FibonacciSymbols(2); }},
        {"RepeatAtTheLastSlide", [] { return RepeatAtTheLastSlide(); }},
        {"SpreadFrequencies", [] { return SpreadFrequencies(100000, 14); }},
        {"Binary", [] { return Binary(160000); }},
    };
    // Repeats just inside and just outside the reach of a 3-byte match, of the window, and of
    // the slide point.
    for (size_t period : {4095u, 4096u, 4097u, 32505u, 32506u, 32507u, 32508u, 65274u}) {
        c.push_back({"Periodic" + std::to_string(period), [period] {
                         return Periodic(period, period * 2 + 3000,
                                         100 + static_cast<uint32_t>(period));
                     }});
        c.push_back({"PeriodicNoisy" + std::to_string(period), [period] {
                         return PeriodicNoisy(period, period * 2 + 3000,
                                              200 + static_cast<uint32_t>(period));
                     }});
    }
    // Sizes around the first read, the slide point, the working size, the allocated window.
    for (size_t size : {32767u, 32768u, 32769u, 65273u, 65274u, 65275u, 65535u, 65536u, 65537u,
                        65551u, 65552u, 65553u, 131072u}) {
        c.push_back({"TextSize" + std::to_string(size),
                     [size] { return EnglishLike(size, 300 + static_cast<uint32_t>(size)); }});
        c.push_back({"RandomSize" + std::to_string(size),
                     [size] { return Random(size, 400 + static_cast<uint32_t>(size)); }});
        c.push_back({"MixedSize" + std::to_string(size),
                     [size] { return Mixed(size, 500 + static_cast<uint32_t>(size)); }});
    }
    return c;
}

class ReferenceEncoderTest : public testing::TestWithParam<Case> {};

TEST_P(ReferenceEncoderTest, CCompressorGivesTheReferenceStream)
{
    const Bytes data = GetParam().make();
    CReferenceEncoder reference;
    const Bytes expected = reference.Encode(data.data(), data.size());
    const Bytes ours = PackWithCCompressor(data);
    SCOPED_TRACE(Describe(reference.GetStats()));

    EXPECT_EQ(Difference(ours, expected), "");
    EXPECT_LE(reference.GetStats().longestDistance, 32506u);
    EXPECT_EQ(CDecompressor::Unpack(ours.data(), ours.size(), data.size()), data);
    EXPECT_EQ(CDecompressor::Unpack(expected.data(), expected.size(), data.size()), data);
}

INSTANTIATE_TEST_SUITE_P(Inputs, ReferenceEncoderTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Case>& param) {
                             return param.param.name;
                         });

// The table is only worth something if its inputs reach every rule: all three block kinds, both
// ways a block ends early, the cut to 15 and to 7 bits, window slides (also after the source has
// ended), the farthest distance and full blocks.
TEST(ReferenceEncoder, TheInputsReachEveryRule)
{
    CReferenceEncoder::CStats sum;
    for (const Case& c : Cases()) {
        const Bytes data = c.make();
        CReferenceEncoder reference;
        reference.Encode(data.data(), data.size());
        const auto& s = reference.GetStats();
        sum.storedBlocks += s.storedBlocks;
        sum.fixedBlocks += s.fixedBlocks;
        sum.dynamicBlocks += s.dynamicBlocks;
        sum.endedBySymbolLimit += s.endedBySymbolLimit;
        sum.endedByEstimate += s.endedByEstimate;
        sum.literalOverflows += s.literalOverflows;
        sum.codeLengthOverflows += s.codeLengthOverflows;
        sum.slides += s.slides;
        sum.slidesAfterEnd += s.slidesAfterEnd;
        sum.longestDistance = std::max(sum.longestDistance, s.longestDistance);
        sum.maxBlockSymbols = std::max(sum.maxBlockSymbols, s.maxBlockSymbols);
    }
    SCOPED_TRACE(Describe(sum));
    EXPECT_GT(sum.storedBlocks, 0u);
    EXPECT_GT(sum.fixedBlocks, 0u);
    EXPECT_GT(sum.dynamicBlocks, 0u);
    EXPECT_GT(sum.endedBySymbolLimit, 0u);
    EXPECT_GT(sum.endedByEstimate, 0u);
    EXPECT_GT(sum.literalOverflows, 0u);
    EXPECT_GT(sum.codeLengthOverflows, 0u);
    EXPECT_GT(sum.slides, 0u);
    EXPECT_GT(sum.slidesAfterEnd, 0u);
    EXPECT_EQ(sum.longestDistance, 32506u);
    EXPECT_EQ(sum.maxBlockSymbols, 8191u);
}

// The refill runs its body at least once, so the window still slides at 65,274 after the source
// has ended. Refilling only while the source lasts would be another reading; this input tells
// the two apart, and CCompressor must follow the first.
TEST(ReferenceEncoder, TheWindowSlidesAfterTheSourceHasEnded)
{
    const Bytes data = RepeatAtTheLastSlide();
    CReferenceEncoder slides;
    CReferenceEncoder noSlide(false);
    const Bytes expected = slides.Encode(data.data(), data.size());
    const Bytes other = noSlide.Encode(data.data(), data.size());
    EXPECT_EQ(slides.GetStats().slidesAfterEnd, 1u);
    EXPECT_NE(expected, other);
    EXPECT_EQ(Difference(PackWithCCompressor(data), expected), "");
}

// The reference on its own gives the streams the format's examples state.
TEST(ReferenceEncoder, GivesTheKnownStreams)
{
    CReferenceEncoder reference;
    EXPECT_EQ(reference.Encode(nullptr, 0), (Bytes{0x0F, 0x00, 0x00}));
    const Bytes abc = Text("abc");
    EXPECT_EQ(reference.Encode(abc.data(), abc.size()),
              (Bytes{0x0F, 0x03, 0x00, 0x61, 0x62, 0x63}));

    // 70,000 random bytes: nine stored blocks, eight of them ended by the 8,191-symbol limit.
    const Bytes random = Random(70000, 5);
    const Bytes packed = reference.Encode(random.data(), random.size());
    EXPECT_EQ(packed.size(), 70027u);
    EXPECT_EQ(reference.GetStats().storedBlocks, 9u);
    EXPECT_EQ(reference.GetStats().endedBySymbolLimit, 8u);
    size_t pos = 0;
    std::vector<uint8_t> headers;
    while (pos + 3 <= packed.size()) {
        headers.push_back(packed[pos]);
        pos += 3 + (packed[pos + 1] | (packed[pos + 2] << 8));
    }
    EXPECT_EQ(pos, packed.size());
    EXPECT_EQ(headers, (std::vector<uint8_t>{7, 7, 7, 7, 7, 7, 7, 7, 15}));
}

}  // namespace
