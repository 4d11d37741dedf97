#include "core/compress/CCompressor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "CStreamTrace.h"
#include "core/compress/CDecompressor.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"

using namespace velkan;
using velkan::test::CStreamTrace;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 gen(seed);
    Bytes v(n);
    for (auto& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

Bytes Text(size_t n, uint32_t seed)
{
    static const char* const words[] = {"install", "the",    "program", "files",  "version",
                                        "setup",   "wizard", "page",    "delta",  "of",
                                        "a",       "and",    "to",      "window", "registry"};
    std::mt19937 gen(seed);
    Bytes v;
    while (v.size() < n) {
        const char* w = words[gen() % 15];
        v.insert(v.end(), w, w + std::char_traits<char>::length(w));
        v.push_back(gen() % 9 == 0 ? '\n' : ' ');
    }
    v.resize(n);
    return v;
}

Bytes Pack(const Bytes& data)
{
    return CCompressor::Pack(data.data(), data.size());
}

// Stored blocks only: walks header byte, LEN, data.
struct StoredWalk {
    std::vector<uint8_t> headers;
    std::vector<size_t> lengths;
    size_t total = 0;
};
StoredWalk WalkStoredBlocks(const Bytes& s)
{
    StoredWalk w;
    size_t pos = 0;
    while (pos < s.size()) {
        if (pos + 3 > s.size()) throw std::runtime_error("truncated stored block");
        w.headers.push_back(s[pos]);
        size_t len = s[pos + 1] | (s[pos + 2] << 8);
        w.lengths.push_back(len);
        pos += 3 + len;
    }
    w.total = pos;
    return w;
}

// A sink that records the size of every write.
class CRecordingSink : public IByteSink {
public:
    void Write(const void* data, size_t size) override
    {
        writes.push_back(size);
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
    uint64_t GetPosition() const override { return bytes.size(); }
    std::vector<size_t> writes;
    Bytes bytes;
};

// A source that fails after handing out a number of bytes.
class CFailingSource : public IByteSource {
public:
    CFailingSource(const Bytes& data, size_t failAt) : m_data(data), m_failAt(failAt) {}
    size_t Read(void* buffer, size_t size) override
    {
        if (m_pos >= m_failAt) throw std::runtime_error("read failed");
        size_t n = std::min(size, std::min(m_data.size(), m_failAt) - m_pos);
        std::copy_n(m_data.begin() + static_cast<long>(m_pos), n, static_cast<uint8_t*>(buffer));
        m_pos += n;
        return n;
    }
    uint64_t GetPosition() const override { return m_pos; }

private:
    const Bytes& m_data;
    size_t m_failAt;
    size_t m_pos = 0;
};

}  // namespace

TEST(CCompressor, EmptyAndTinyInputsAreStoredLastBlocks)
{
    EXPECT_EQ(Pack({}), (Bytes{0x0F, 0x00, 0x00}));
    // Stored length + 2 equals the fixed-code estimate: the tie goes to stored.
    EXPECT_EQ(Pack({'a', 'b', 'c'}), (Bytes{0x0F, 0x03, 0x00, 0x61, 0x62, 0x63}));
}

TEST(CCompressor, RandomDataComesOutAsStoredBlocksWithoutComplement)
{
    Bytes data = RandomBytes(5000, 7);
    Bytes packed = Pack(data);
    StoredWalk w = WalkStoredBlocks(packed);
    ASSERT_EQ(w.headers, (std::vector<uint8_t>{0x0F}));
    EXPECT_EQ(w.lengths[0], 5000u);
    EXPECT_EQ(packed.size(), 5003u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), packed.begin() + 3));
}

TEST(CCompressor, SeventyThousandRandomBytesGiveNineStoredBlocks)
{
    Bytes data = RandomBytes(70000, 12345);
    Bytes packed = Pack(data);
    StoredWalk w = WalkStoredBlocks(packed);
    ASSERT_EQ(w.headers.size(), 9u);
    EXPECT_EQ(packed.size(), 70027u);
    EXPECT_EQ(w.total, packed.size());
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(w.headers[i], 0x07) << i;  // 4-bit header 7, not last, padded to the byte
        // 8,191 symbols, a few of them short matches: a little over 8,191 bytes.
        EXPECT_GE(w.lengths[i], 8191u) << i;
        EXPECT_LT(w.lengths[i], 8191u + 200) << i;
    }
    EXPECT_EQ(w.headers[8], 0x0F);
    size_t sum = 0;
    for (size_t len : w.lengths) sum += len;
    EXPECT_EQ(sum, data.size());
    EXPECT_EQ(CDecompressor::Unpack(packed.data(), packed.size(), data.size()), data);
}

TEST(CCompressor, ThreeByteMatchesFartherThan4096AreLiterals)
{
    // "QZX" twice with unmatchable bytes between: 4,097 apart it stays literal, 4,000 apart it
    // is a match of length 3. (The first one is not at position 0, which means "no candidate".)
    for (size_t gap : {size_t{3997}, size_t{4094}}) {
        Bytes data = {'-', 'Q', 'Z', 'X'};
        Bytes filler = RandomBytes(gap, 99);
        for (auto& b : filler) b = static_cast<uint8_t>(b & 0x3F);  // never 'Q' (0x51)
        data.insert(data.end(), filler.begin(), filler.end());
        data.insert(data.end(), {'Q', 'Z', 'X', 'Q'});
        // Make the stream coded (not stored) by adding a long compressible tail.
        Bytes tail(3000, 'Q');
        data.insert(data.end(), tail.begin(), tail.end());
        CStreamTrace t(Pack(data));
        ASSERT_EQ(t.output, data);
        const unsigned distance = static_cast<unsigned>(gap + 3);
        bool found = std::any_of(t.matches.begin(), t.matches.end(),
                                 [&](const auto& m) { return m.distance == distance; });
        EXPECT_EQ(found, distance <= 4096) << "distance " << distance;
    }
}

TEST(CCompressor, WindowSlidesAndDistancesStayWithin32506)
{
    // A random block repeated: at period 40,000 nothing may match across it; at period 20,000
    // matches run at exactly that distance through several slides. Only the chain's first
    // candidate may lie exactly 32,506 back, so that period finds almost nothing.
    for (size_t period : {size_t{40000}, size_t{20000}, size_t{32505}, size_t{32506}}) {
        Bytes unit = RandomBytes(period, static_cast<uint32_t>(period));
        Bytes data;
        for (int i = 0; i < 6; ++i) data.insert(data.end(), unit.begin(), unit.end());
        Bytes packed = Pack(data);
        CStreamTrace t(packed);
        ASSERT_EQ(t.output, data) << period;
        unsigned maxDist = 0;
        for (const auto& m : t.matches) maxDist = std::max(maxDist, m.distance);
        EXPECT_LE(maxDist, 32506u) << period;
        if (period < 32506) {
            EXPECT_LT(packed.size(), period + period / 10) << period;
        } else if (period == 32506) {
            EXPECT_GT(packed.size(), period + period / 2) << period;
        } else {
            EXPECT_GT(packed.size(), data.size()) << period;
        }
    }
}

TEST(CCompressor, OnlyTheLastBlockHeaderHasBit3)
{
    Bytes data = Text(300000, 3);
    Bytes mixed = RandomBytes(50000, 4);
    data.insert(data.begin() + 100000, mixed.begin(), mixed.end());
    CStreamTrace t(Pack(data));
    ASSERT_EQ(t.output, data);
    ASSERT_GT(t.blocks.size(), 3u);
    bool sawDynamic = false, sawStored = false;
    for (size_t i = 0; i < t.blocks.size(); ++i) {
        unsigned h = t.blocks[i].header;
        EXPECT_EQ((h & 8) != 0, i + 1 == t.blocks.size()) << i;
        EXPECT_TRUE((h & 7) == 5 || (h & 7) == 6 || (h & 7) == 7) << h;
        sawDynamic |= (h & 7) == 6;
        sawStored |= (h & 7) == 7;
        EXPECT_LE(t.blocks[i].symbols, 8191u);
    }
    EXPECT_TRUE(sawDynamic);
    EXPECT_TRUE(sawStored);
}

TEST(CCompressor, ShortCompressibleInputUsesFixedCodes)
{
    std::string s = "abcabcabcabcabcabcabcabcabcabc";
    CStreamTrace t(Pack(Bytes(s.begin(), s.end())));
    ASSERT_EQ(t.blocks.size(), 1u);
    EXPECT_EQ(t.blocks[0].header, 13u);
}

TEST(CCompressor, RoundTripsVariedData)
{
    struct Case {
        const char* name;
        Bytes data;
    };
    std::vector<Case> cases;
    cases.push_back({"one byte", {0x42}});
    cases.push_back({"two bytes", {0, 0}});
    cases.push_back({"zeros 1M", Bytes(1 << 20, 0)});
    cases.push_back({"run 258+1", Bytes(259, 'x')});
    cases.push_back({"text 200K", Text(200000, 1)});
    cases.push_back({"random 100K", RandomBytes(100000, 2)});
    for (size_t n :
         {32767, 32768, 32769, 65273, 65274, 65275, 65535, 65536, 65537, 65552, 98304, 131073}) {
        Bytes d = Text(n, static_cast<uint32_t>(n));
        for (size_t i = 0; i < n; i += 7919) d[i] = static_cast<uint8_t>(i);
        cases.push_back({"text at a window boundary", d});
    }
    {
        // Many short matches: well over 8,191 symbols per block's worth of input.
        Bytes d;
        std::mt19937 gen(5);
        while (d.size() < 400000) {
            d.push_back(static_cast<uint8_t>('a' + gen() % 4));
        }
        cases.push_back({"small alphabet", d});
    }
    {
        Bytes d;
        std::mt19937 gen(6);
        while (d.size() < 300000) {
            size_t len = gen() % 2000;
            switch (gen() % 4) {
            case 0: d.insert(d.end(), len, static_cast<uint8_t>(gen())); break;
            case 1: {
                Bytes r = RandomBytes(len, gen());
                d.insert(d.end(), r.begin(), r.end());
                break;
            }
            case 2: {
                Bytes t = Text(len, gen());
                d.insert(d.end(), t.begin(), t.end());
                break;
            }
            default:
                if (d.size() > len)
                    d.insert(d.end(), d.end() - static_cast<long>(len) - 1, d.end() - 1);
            }
        }
        cases.push_back({"mixed", d});
    }
    for (const Case& c : cases) {
        Bytes packed = Pack(c.data);
        EXPECT_EQ(CDecompressor::Unpack(packed.data(), packed.size(), c.data.size()), c.data)
            << c.name << " " << c.data.size();
        CStreamTrace t(packed);
        EXPECT_EQ(t.output, c.data) << c.name << " " << c.data.size();
        EXPECT_EQ(t.bytesUsed, packed.size()) << c.name;
    }
}

TEST(CCompressor, SkewedFrequenciesKeepCodesWithin15Bits)
{
    // Literal frequencies along the Fibonacci sequence would give a Huffman tree deeper than
    // 15; the length limit must rebalance it into a complete code (the decoder checks that).
    std::vector<unsigned> freq = {1, 1};
    while (freq.size() < 22) freq.push_back(freq[freq.size() - 1] + freq[freq.size() - 2]);
    Bytes data;
    std::mt19937 gen(8);
    for (size_t s = 0; s < freq.size(); ++s) {
        for (unsigned i = 0; i < std::min(freq[s], 3000u); ++i)
            data.push_back(static_cast<uint8_t>(s * 11));
    }
    std::shuffle(data.begin(), data.end(), gen);
    Bytes packed = Pack(data);
    CStreamTrace t(packed);
    EXPECT_EQ(t.output, data);
    EXPECT_LE(t.longestCode, 15u);
    EXPECT_EQ(CDecompressor::Unpack(packed.data(), packed.size()), data);
}

TEST(CCompressor, WritesFullBuffersAndStartsAtTheSourcePosition)
{
    Bytes data = Text(500000, 9);
    Bytes prefix = RandomBytes(1000, 10);
    Bytes all = prefix;
    all.insert(all.end(), data.begin(), data.end());

    CMemorySource source(all.data(), all.size());
    Bytes skip(prefix.size());
    source.Read(skip.data(), skip.size());
    CRecordingSink sink;
    std::vector<uint32_t> progress;
    CCompressor c;
    c.Reset();
    c.SetProgressProc(
        [&](uint32_t consumed, uint32_t user) {
            EXPECT_EQ(user, 77u);
            progress.push_back(consumed);
        },
        77);
    EXPECT_NE(c.CompressFile(sink, source, all.size()), 0);

    EXPECT_EQ(sink.bytes, Pack(data));
    ASSERT_FALSE(sink.writes.empty());
    for (size_t i = 0; i + 1 < sink.writes.size(); ++i) EXPECT_EQ(sink.writes[i], 4096u);
    EXPECT_LE(sink.writes.back(), 4096u);

    // Not after the first read; consumed counts from where the run started.
    ASSERT_FALSE(progress.empty());
    EXPECT_GT(progress.front(), 32768u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), data.size());

    // Reset forgets the callback; the object packs the same way again.
    c.Reset();
    CMemorySink again;
    c.CompressMemory(again, data.data(), static_cast<uint32_t>(data.size()));
    EXPECT_EQ(again.Bytes(), sink.bytes);
    EXPECT_EQ(progress.back(), data.size());
}

TEST(CCompressor, ShortReadsGiveTheSameStream)
{
    // A source that hands out at most a given number of bytes per read.
    class CTrickleSource : public IByteSource {
    public:
        CTrickleSource(const Bytes& d, size_t piece) : m_d(d), m_piece(piece) {}
        size_t Read(void* buffer, size_t size) override
        {
            size_t n = std::min({size, m_piece, m_d.size() - m_pos});
            std::copy_n(m_d.begin() + static_cast<long>(m_pos), n, static_cast<uint8_t*>(buffer));
            m_pos += n;
            return n;
        }
        uint64_t GetPosition() const override { return m_pos; }

    private:
        const Bytes& m_d;
        size_t m_piece;
        size_t m_pos = 0;
    };
    // Long repeats with small changes: matches of up to 258 bytes end right at the lookahead's
    // edge when the source trickles in one byte at a time, so the search indexes must not depend
    // on bytes not read yet.
    Bytes edited;
    std::mt19937 gen(12);
    while (edited.size() < 150000) {
        Bytes line = Text(40 + gen() % 400, 13);
        line[gen() % line.size()] = static_cast<uint8_t>('A' + gen() % 26);
        edited.insert(edited.end(), line.begin(), line.end());
    }
    for (const Bytes& data : {Text(200000, 11), edited}) {
        for (size_t piece : {size_t{1}, size_t{7}, size_t{1000}}) {
            CTrickleSource source(data, piece);
            CMemorySink sink;
            CCompressor c;
            c.CompressFile(sink, source, 0);
            EXPECT_EQ(sink.Bytes(), Pack(data)) << data.size() << " bytes in pieces of " << piece;
        }
    }
}

TEST(CCompressor, SourceErrorPropagatesAfterFlushingTheBuffer)
{
    Bytes data = Text(300000, 12);
    CFailingSource source(data, 200000);
    CRecordingSink sink;
    CCompressor c;
    EXPECT_THROW(c.CompressFile(sink, source, 0), std::runtime_error);
    // What was packed before the failure reached the sink, the last piece short of 4,096.
    EXPECT_FALSE(sink.bytes.empty());
    // The object stays usable.
    CMemorySink ok;
    c.CompressMemory(ok, data.data(), 1000);
    EXPECT_EQ(CDecompressor::Unpack(ok.Bytes().data(), ok.Bytes().size()),
              Bytes(data.begin(), data.begin() + 1000));
}
