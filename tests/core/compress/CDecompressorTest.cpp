#include "core/compress/CDecompressor.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/compress/CCompressor.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"

using namespace velkan;

namespace {

using Bytes = std::vector<uint8_t>;

// Writes bits least significant first; Huffman codes most significant bit first.
class CBitWriter {
public:
    void Bits(unsigned value, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i) Bit((value >> i) & 1);
    }
    void Code(unsigned code, unsigned len)
    {
        for (unsigned i = len; i-- > 0;) Bit((code >> i) & 1);
    }
    Bytes Finish()
    {
        Bytes out = m_bytes;
        if (m_nBits % 8) out.push_back(m_cur);
        return out;
    }

private:
    void Bit(unsigned b)
    {
        m_cur = static_cast<uint8_t>(m_cur | (b << (m_nBits % 8)));
        if (++m_nBits % 8 == 0) {
            m_bytes.push_back(m_cur);
            m_cur = 0;
        }
    }
    Bytes m_bytes;
    uint8_t m_cur = 0;
    size_t m_nBits = 0;
};

// The fixed literal/length code.
void FixedSymbol(CBitWriter& w, unsigned s)
{
    if (s < 144)
        w.Code(0x30 + s, 8);
    else if (s < 256)
        w.Code(0x190 + s - 144, 9);
    else if (s < 280)
        w.Code(s - 256, 7);
    else
        w.Code(0xC0 + s - 280, 8);
}

// A code-length code giving the 16 symbols 0-12, 16, 17, 18 four bits each, in that order.
void ClSymbol(CBitWriter& w, unsigned s)
{
    w.Code(s <= 12 ? s : s - 3, 4);
}

// The parts of a small dynamic block that decodes to "aa": literal 'a' and end of block one bit
// each, distance codes 0 and 1 one bit each. Each hook may be replaced to break one part.
struct DynamicParts {
    unsigned hlit = 0;
    unsigned hdist = 1;
    std::function<void(CBitWriter&)> codeLengthCode = [](CBitWriter& w) {
        w.Bits(12, 4);  // 16 lengths sent: 18, 17, 16, 0 ... 12
        for (int i = 0; i < 16; ++i) w.Bits(4, 3);
    };
    std::function<void(CBitWriter&)> litLengths = [](CBitWriter& w) {
        ClSymbol(w, 18), w.Bits(97 - 11, 7);   // 0-96
        ClSymbol(w, 1);                        // 'a'
        ClSymbol(w, 18), w.Bits(138 - 11, 7);  // 98-235
        ClSymbol(w, 18), w.Bits(20 - 11, 7);   // 236-255
        ClSymbol(w, 1);                        // end of block
    };
    std::function<void(CBitWriter&)> distLengths = [](CBitWriter& w) {
        ClSymbol(w, 1);
        ClSymbol(w, 1);
    };
    std::function<void(CBitWriter&)> data = [](CBitWriter& w) {
        w.Code(0, 1);
        w.Code(0, 1);
        w.Code(1, 1);
    };
};

Bytes Dynamic(const DynamicParts& p)
{
    CBitWriter w;
    w.Bits(14, 4);
    w.Bits(p.hlit, 5);
    w.Bits(p.hdist, 5);
    p.codeLengthCode(w);
    p.litLengths(w);
    p.distLengths(w);
    p.data(w);
    return w.Finish();
}

Bytes Fixed(const std::function<void(CBitWriter&)>& body)
{
    CBitWriter w;
    w.Bits(13, 4);
    body(w);
    FixedSymbol(w, 256);
    return w.Finish();
}

std::string DecodeError(const Bytes& stream, std::optional<uint64_t> expected = std::nullopt)
{
    try {
        CDecompressor::Unpack(stream.data(), stream.size(), expected);
    } catch (const CDecodeError& e) {
        return e.what();
    }
    return "";
}

Bytes Text(size_t n)
{
    std::mt19937 gen(3);
    Bytes v;
    while (v.size() < n) {
        std::string w = "word" + std::to_string(gen() % 300) + (gen() % 7 ? " " : "\n");
        v.insert(v.end(), w.begin(), w.end());
    }
    v.resize(n);
    return v;
}

}  // namespace

TEST(CDecompressor, DecodesHandMadeBlocksOfEachKind)
{
    EXPECT_EQ(CDecompressor::Unpack(Bytes{0x0F, 0x00, 0x00}.data(), 3), Bytes{});
    Bytes abc = {0x0F, 0x03, 0x00, 'a', 'b', 'c'};
    EXPECT_EQ(CDecompressor::Unpack(abc.data(), abc.size()), (Bytes{'a', 'b', 'c'}));
    // Two stored blocks: the first not last (7), padded to the byte.
    Bytes two = {0x07, 0x01, 0x00, 'x', 0x0F, 0x01, 0x00, 'y'};
    EXPECT_EQ(CDecompressor::Unpack(two.data(), two.size()), (Bytes{'x', 'y'}));
    // Fixed codes: 'a' then a match of length 3 at distance 1.
    Bytes fixed = Fixed([](CBitWriter& w) {
        FixedSymbol(w, 'a');
        FixedSymbol(w, 257);
        w.Code(0, 5);
    });
    EXPECT_EQ(CDecompressor::Unpack(fixed.data(), fixed.size()), (Bytes{'a', 'a', 'a', 'a'}));
    // Dynamic codes with the code-length code lengths in the order 18, 17, 16, 0, 1, ...
    Bytes dyn = Dynamic({});
    EXPECT_EQ(CDecompressor::Unpack(dyn.data(), dyn.size()), (Bytes{'a', 'a'}));
}

TEST(CDecompressor, RejectsMalformedStreams)
{
    struct Case {
        const char* name;
        Bytes stream;
        const char* message;
    };
    auto parts = [](auto change) {
        DynamicParts p;
        change(p);
        return Dynamic(p);
    };
    std::vector<Case> cases = {
        {"empty input", {}, "ends early"},
        {"header 0", {0x00, 0x00, 0x00}, "invalid block header 0"},
        {"header 4 (RFC stored, last)", {0x04, 0x00, 0x00}, "invalid block header 4"},
        {"header 3", {0x03, 0x00}, "invalid block header 3"},
        {"header 12", {0x0C, 0x00}, "invalid block header 12"},
        {"stored length past the end", {0x0F, 0x05, 0x00, 'a'}, "ends early"},
        {"stored block cut in its length", {0x0F, 0x05}, "ends early"},
        {"no last block", {0x07, 0x00, 0x00}, "ends early"},
        {"padding before stored data", {0x1F, 0x00, 0x00}, "padding"},
        {"padding after the last block", {0x0D, 0x08}, "padding"},
        {"distance before the first byte",
         Fixed([](CBitWriter& w) { FixedSymbol(w, 257), w.Code(0, 5); }), "distance 1"},
        {"distance one past the output",
         Fixed([](CBitWriter& w) { FixedSymbol(w, 'a'), FixedSymbol(w, 257), w.Code(1, 5); }),
         "distance 2"},
        {"fixed length symbol 286",
         Fixed([](CBitWriter& w) { FixedSymbol(w, 'a'), FixedSymbol(w, 286), w.Code(0, 5); }),
         "length symbol 286"},
        {"fixed distance symbol 30",
         Fixed([](CBitWriter& w) { FixedSymbol(w, 'a'), FixedSymbol(w, 257), w.Code(30, 5); }),
         "distance symbol 30"},
        {"287 literal/length codes", parts([](DynamicParts& p) { p.hlit = 30; }),
         "too many literal/length"},
        {"31 distance codes", parts([](DynamicParts& p) { p.hdist = 30; }), "too many distance"},
        {"over-subscribed code-length code", parts([](DynamicParts& p) {
             p.codeLengthCode = [](CBitWriter& w) {
                 w.Bits(15, 4);
                 for (int i = 0; i < 19; ++i) w.Bits(4, 3);
             };
         }),
         "over-subscribed code-length code"},
        {"incomplete code-length code", parts([](DynamicParts& p) {
             p.codeLengthCode = [](CBitWriter& w) {
                 w.Bits(12, 4);
                 for (int i = 0; i < 15; ++i) w.Bits(4, 3);
                 w.Bits(0, 3);
             };
         }),
         "incomplete code-length code"},
        {"repeat with nothing before it", parts([](DynamicParts& p) {
             p.litLengths = [](CBitWriter& w) { ClSymbol(w, 16), w.Bits(0, 2); };
         }),
         "no previous length"},
        {"repeat carried into the distance lengths", parts([](DynamicParts& p) {
             p.distLengths = [](CBitWriter& w) { ClSymbol(w, 16), w.Bits(0, 2); };
         }),
         "no previous length"},
        {"zero run past the distance lengths", parts([](DynamicParts& p) {
             p.distLengths = [](CBitWriter& w) { ClSymbol(w, 18), w.Bits(0, 7); };
         }),
         "runs past the end"},
        {"zero run past the literal/length lengths", parts([](DynamicParts& p) {
             p.litLengths = [](CBitWriter& w) {
                 for (int i = 0; i < 2; ++i) ClSymbol(w, 18), w.Bits(127, 7);
             };
         }),
         "runs past the end"},
        {"incomplete literal/length code", parts([](DynamicParts& p) {
             p.litLengths = [](CBitWriter& w) {
                 ClSymbol(w, 18), w.Bits(97 - 11, 7);
                 ClSymbol(w, 1);
                 ClSymbol(w, 18), w.Bits(138 - 11, 7);
                 ClSymbol(w, 18), w.Bits(20 - 11, 7);
                 ClSymbol(w, 2);
             };
         }),
         "incomplete literal/length code"},
        {"over-subscribed literal/length code", parts([](DynamicParts& p) {
             p.litLengths = [](CBitWriter& w) {
                 ClSymbol(w, 18), w.Bits(97 - 11, 7);
                 ClSymbol(w, 1), ClSymbol(w, 1);
                 ClSymbol(w, 18), w.Bits(138 - 11, 7);
                 ClSymbol(w, 18), w.Bits(19 - 11, 7);
                 ClSymbol(w, 1);
             };
         }),
         "over-subscribed literal/length code"},
        {"no end-of-block code", parts([](DynamicParts& p) {
             p.litLengths = [](CBitWriter& w) {
                 ClSymbol(w, 18), w.Bits(97 - 11, 7);
                 ClSymbol(w, 1), ClSymbol(w, 1);
                 ClSymbol(w, 18), w.Bits(138 - 11, 7);
                 ClSymbol(w, 18), w.Bits(20 - 11, 7);
             };
         }),
         "no end-of-block code"},
        {"single distance code", parts([](DynamicParts& p) {
             p.distLengths = [](CBitWriter& w) { ClSymbol(w, 1), ClSymbol(w, 0); };
         }),
         "incomplete distance code"},
        {"data cut short",
         parts([](DynamicParts& p) { p.data = [](CBitWriter& w) { w.Code(0, 1); }; }),
         "ends early"},
    };
    for (const Case& c : cases) {
        std::string message = DecodeError(c.stream);
        EXPECT_NE(message.find(c.message), std::string::npos)
            << c.name << ": got \"" << message << "\"";
    }
}

TEST(CDecompressor, EveryTruncationOfAStreamFails)
{
    Bytes data = Text(150000);
    Bytes packed = CCompressor::Pack(data.data(), data.size());
    for (size_t cut = 0; cut < packed.size(); cut += 1 + cut / 50) {
        EXPECT_NE(DecodeError(Bytes(packed.begin(), packed.begin() + static_cast<long>(cut))), "")
            << cut;
    }
}

TEST(CDecompressor, ChecksTheExpectedSizeAndReportsTheStreamEnd)
{
    Bytes data = Text(100000);
    Bytes packed = CCompressor::Pack(data.data(), data.size());
    EXPECT_EQ(DecodeError(packed, data.size()), "");
    EXPECT_NE(DecodeError(packed, data.size() - 1).find("more data than expected"),
              std::string::npos);
    EXPECT_NE(DecodeError(packed, data.size() + 1).find("expected 100001"), std::string::npos);

    // Streaming from a larger source: the stream's end is reported, the rest left alone.
    Bytes withTail = packed;
    withTail.insert(withTail.end(), {1, 2, 3, 4, 5});
    CMemorySource source(withTail.data(), withTail.size());
    CMemorySink sink;
    CDecompressor decoder;
    EXPECT_EQ(decoder.Decode(sink, source), data.size());
    EXPECT_EQ(decoder.GetInputUsed(), packed.size());
    EXPECT_EQ(decoder.GetOutputSize(), data.size());
    EXPECT_EQ(sink.Bytes(), data);
    EXPECT_NE(DecodeError(withTail).find("5 bytes follow"), std::string::npos);

    // With an input limit the decoder reads no further than the limit.
    CMemorySource limited(withTail.data(), withTail.size());
    CMemorySink sink2;
    decoder.Decode(sink2, limited, std::nullopt, packed.size());
    EXPECT_EQ(limited.GetPosition(), packed.size());
    CMemorySource tooShort(withTail.data(), withTail.size());
    EXPECT_THROW(decoder.Decode(sink2, tooShort, std::nullopt, packed.size() - 1), CDecodeError);
}

TEST(CDecompressor, RandomCorruptionNeverCrashes)
{
    Bytes data = Text(60000);
    Bytes packed = CCompressor::Pack(data.data(), data.size());
    std::mt19937 gen(4);
    for (int i = 0; i < 300; ++i) {
        Bytes bad = packed;
        for (int k = 0; k < 3; ++k)
            bad[gen() % bad.size()] ^= static_cast<uint8_t>(1 << (gen() % 8));
        try {
            CDecompressor::Unpack(bad.data(), bad.size(), data.size());
        } catch (const CDecodeError&) {
        }
    }
}
