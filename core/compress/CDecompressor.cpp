// The decoder of the packed stream.
//
// Bits are read through a 64-bit buffer refilled a word at a time while the input buffer holds at
// least eight bytes, so one refill covers a whole length/distance pair. Huffman codes decode
// through a 1,024-entry table indexed by the next ten bits; the rare longer codes fall back to a
// canonical walk. Output goes to a window that keeps the last 32 KiB as history below a 64 KiB
// chunk; when the chunk is full it is written to the sink and the history moved down.
//
// Validity rules (each an error): header values other than 5, 6, 7, 13, 14, 15; more than 286
// literal/length or 30 distance lengths; a code that is over-subscribed or incomplete (the
// encoder always builds complete codes with at least two symbols); a repeat with no previous
// length, or one that runs past its sequence; no end-of-block code; the literal/length symbols
// 286 and 287 and the distance symbols 30 and 31 of the fixed code; a distance reaching before
// the first output byte; non-zero padding bits; input ending inside the stream; output longer or
// shorter than the expected size.
#include "core/compress/CDecompressor.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <string>

#include "core/compress/PackFormat.h"
#include "core/stream/LittleEndian.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"
#include "core/stream/JoinText.h"

namespace velkan {

using namespace pack;

namespace {

constexpr size_t kInBufSize = 16384;
constexpr size_t kChunkSize = 65536;
constexpr size_t kWindowSize = kHistorySize + kChunkSize;
constexpr size_t kWindowSlack = 512;  // a match may start just below the flush mark and overrun

constexpr unsigned kRootBits = 10;
constexpr unsigned kRootSize = 1u << kRootBits;

// A canonical Huffman code: a root table for codes of up to ten bits (entry = symbol << 4 |
// length; 0 marks the prefix of a longer code) and the counts and symbols for a canonical walk.
struct CHuffman {
    uint16_t table[kRootSize];
    uint16_t count[kMaxCodeBits + 1];
    uint16_t symbols[kFixedLitLenCodes];
};

}  // namespace

struct CDecompressor::CState {
    IByteSource* m_source = nullptr;
    IByteSink* m_sink = nullptr;

    // Input.
    uint8_t m_inBuf[kInBufSize];
    const uint8_t* m_inPos = m_inBuf;
    const uint8_t* m_inEnd = m_inBuf;
    uint64_t m_nBytesLoaded = 0;  // read from the source so far
    uint64_t m_nInputLeft = 0;    // bytes the source may still give
    uint64_t m_bitBuf = 0;
    unsigned m_nBitCount = 0;  // valid bits in m_bitBuf; bits above may hold the next bytes

    // Output.
    uint8_t m_window[kWindowSize + kWindowSlack];
    size_t m_nOutPos = 0;
    size_t m_nFlushedPos = 0;
    uint64_t m_nFlushedTotal = 0;  // bytes already written to the sink
    uint64_t m_nOutLeft = 0;       // bytes the expected size still allows

    CHuffman m_litLen;
    CHuffman m_dist;
    CHuffman m_codeLen;

    // Bytes of the stream consumed so far (whole bytes; a partial byte counts as consumed).
    uint64_t Position() const
    {
        return m_nBytesLoaded - static_cast<uint64_t>(m_inEnd - m_inPos) - m_nBitCount / 8;
    }
    [[noreturn]] void Fail(const std::string& what) const { throw CDecodeError(what, Position()); }

    bool ReadInput()
    {
        if (m_nInputLeft == 0) return false;
        size_t want = static_cast<size_t>(std::min<uint64_t>(kInBufSize, m_nInputLeft));
        size_t n = m_source->Read(m_inBuf, want);
        if (n == 0) return false;
        n = std::min(n, want);
        m_nInputLeft -= n;
        m_nBytesLoaded += n;
        m_inPos = m_inBuf;
        m_inEnd = m_inBuf + n;
        return true;
    }
    // Brings the bit buffer to at least 56 valid bits, or as many as the input still has.
    void FillBits()
    {
        if (m_inEnd - m_inPos >= 8) {
            m_bitBuf |= LoadLE64(m_inPos) << m_nBitCount;
            m_inPos += (63 - m_nBitCount) >> 3;
            m_nBitCount |= 56;
            return;
        }
        while (m_nBitCount <= 56) {
            if (m_inPos == m_inEnd && !ReadInput()) return;
            m_bitBuf |= static_cast<uint64_t>(*m_inPos++) << m_nBitCount;
            m_nBitCount += 8;
        }
    }
    void Consume(unsigned n)
    {
        if (n > m_nBitCount) Fail("the stream ends early");
        m_bitBuf >>= n;
        m_nBitCount -= n;
    }
    // Reads n bits (at most 32); the caller has filled the buffer.
    unsigned TakeBits(unsigned n)
    {
        unsigned v = static_cast<unsigned>(m_bitBuf & ((uint64_t{1} << n) - 1));
        Consume(n);
        return v;
    }
    unsigned GetBits(unsigned n)
    {
        if (m_nBitCount < n) FillBits();
        return TakeBits(n);
    }
    unsigned DecodeSlow(const CHuffman& h)
    {
        int code = 0;
        int first = 0;
        int index = 0;
        for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
            code |= static_cast<int>((m_bitBuf >> (len - 1)) & 1);
            int count = h.count[len];
            if (code - first < count) {
                Consume(len);
                return h.symbols[index + code - first];
            }
            index += count;
            first += count;
            first <<= 1;
            code <<= 1;
        }
        Fail("invalid Huffman code");
    }
    // Decodes one symbol; the caller has filled the buffer with at least 15 bits if available.
    unsigned Decode(const CHuffman& h)
    {
        unsigned e = h.table[m_bitBuf & (kRootSize - 1)];
        if (e & 15) {
            Consume(e & 15);
            return e >> 4;
        }
        return DecodeSlow(h);
    }

    void BuildCode(CHuffman& h, const uint8_t* lengths, unsigned n, const char* name);
    void BuildFixedCodes();
    void ReadDynamicCodes();
    void ReadStoredBlock();
    void DecodeBlockData(bool fixed);

    void FlushWindow();
    void Run(std::optional<uint64_t> expectedSize);
};

void CDecompressor::CState::BuildCode(CHuffman& h, const uint8_t* lengths, unsigned n,
                                      const char* name)
{
    std::memset(h.count, 0, sizeof(h.count));
    for (unsigned s = 0; s < n; ++s) h.count[lengths[s]]++;
    h.count[0] = 0;
    int left = 1;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        left <<= 1;
        left -= h.count[len];
        if (left < 0) Fail(JoinText({"over-subscribed ", name, " code"}));
    }
    if (left > 0) Fail(JoinText({"incomplete ", name, " code"}));

    uint16_t offsets[kMaxCodeBits + 2];
    offsets[1] = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        offsets[len + 1] = static_cast<uint16_t>(offsets[len] + h.count[len]);
    }
    for (unsigned s = 0; s < n; ++s) {
        if (lengths[s]) h.symbols[offsets[lengths[s]]++] = static_cast<uint16_t>(s);
    }

    // Root table: canonical codes in symbol order per length, entered bit-reversed.
    std::memset(h.table, 0, sizeof(h.table));
    unsigned nextCode[kMaxCodeBits + 1];
    unsigned code = 0;
    nextCode[0] = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + (len > 1 ? h.count[len - 1] : 0)) << 1;
        nextCode[len] = code;
    }
    for (unsigned s = 0; s < n; ++s) {
        unsigned len = lengths[s];
        if (len == 0) continue;
        unsigned c = nextCode[len]++;
        if (len > kRootBits) continue;
        unsigned rev = 0;
        for (unsigned i = 0; i < len; ++i) rev |= ((c >> i) & 1) << (len - 1 - i);
        uint16_t entry = static_cast<uint16_t>((s << 4) | len);
        for (unsigned i = rev; i < kRootSize; i += 1u << len) h.table[i] = entry;
    }
}

void CDecompressor::CState::BuildFixedCodes()
{
    uint8_t lengths[kFixedLitLenCodes];
    unsigned n = 0;
    while (n <= 143) lengths[n++] = 8;
    while (n <= 255) lengths[n++] = 9;
    while (n <= 279) lengths[n++] = 7;
    while (n <= 287) lengths[n++] = 8;
    BuildCode(m_litLen, lengths, kFixedLitLenCodes, "fixed literal/length");
    // 32 five-bit codes make a complete code; the symbols 30 and 31 are rejected when they occur.
    uint8_t distLengths[32];
    std::memset(distLengths, 5, sizeof(distLengths));
    BuildCode(m_dist, distLengths, 32, "fixed distance");
}

// Reads a dynamic block's code description and builds its two codes.
void CDecompressor::CState::ReadDynamicCodes()
{
    FillBits();
    unsigned nlen = TakeBits(5) + 257;
    unsigned ndist = TakeBits(5) + 1;
    unsigned ncode = TakeBits(4) + 4;
    if (nlen > kLitLenCodes) Fail("too many literal/length code lengths");
    if (ndist > kDistCodes) Fail("too many distance code lengths");

    uint8_t codeLengths[kCodeLengthCodes] = {};
    for (unsigned i = 0; i < ncode; ++i)
        codeLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(GetBits(3));
    BuildCode(m_codeLen, codeLengths, kCodeLengthCodes, "code-length");

    // The two sequences are run-length coded each on its own.
    uint8_t lengths[kLitLenCodes + kDistCodes];
    auto readSequence = [&](uint8_t* out, unsigned count) {
        unsigned i = 0;
        while (i < count) {
            FillBits();
            unsigned sym = Decode(m_codeLen);
            if (sym < 16) {
                out[i++] = static_cast<uint8_t>(sym);
                continue;
            }
            unsigned repeat;
            uint8_t value = 0;
            if (sym == 16) {
                if (i == 0) Fail("code-length repeat with no previous length");
                value = out[i - 1];
                repeat = 3 + TakeBits(2);
            } else if (sym == 17) {
                repeat = 3 + TakeBits(3);
            } else {
                repeat = 11 + TakeBits(7);
            }
            if (repeat > count - i) Fail("code-length repeat runs past the end of its sequence");
            std::memset(out + i, value, repeat);
            i += repeat;
        }
    };
    readSequence(lengths, nlen);
    readSequence(lengths + nlen, ndist);
    if (lengths[kEndBlock] == 0) Fail("no end-of-block code");
    BuildCode(m_litLen, lengths, nlen, "literal/length");
    BuildCode(m_dist, lengths + nlen, ndist, "distance");
}

void CDecompressor::CState::ReadStoredBlock()
{
    // Skip to the byte boundary; the padding must be zero.
    unsigned pad = m_nBitCount & 7;
    if (pad && (m_bitBuf & ((1u << pad) - 1)) != 0) Fail("non-zero padding before a stored block");
    Consume(pad);
    unsigned len = GetBits(16);
    if (len > m_nOutLeft) Fail("the stream holds more data than expected");
    m_nOutLeft -= len;

    // First the whole bytes still in the bit buffer, then straight from the input.
    while (len > 0 && m_nBitCount >= 8) {
        if (m_nOutPos >= kWindowSize) FlushWindow();
        m_window[m_nOutPos++] = static_cast<uint8_t>(m_bitBuf);
        m_bitBuf >>= 8;
        m_nBitCount -= 8;
        --len;
    }
    if (len == 0) return;
    m_bitBuf = 0;  // any bits above the count are the next input bytes, copied below
    m_nBitCount = 0;
    while (len > 0) {
        if (m_inPos == m_inEnd && !ReadInput()) Fail("the stream ends early");
        if (m_nOutPos >= kWindowSize) FlushWindow();
        size_t n = std::min<size_t>(
            {len, static_cast<size_t>(m_inEnd - m_inPos), kWindowSize - m_nOutPos});
        std::memcpy(m_window + m_nOutPos, m_inPos, n);
        m_nOutPos += n;
        m_inPos += n;
        len -= static_cast<unsigned>(n);
    }
}

// Writes the finished chunk and keeps the last 32 KiB as history.
void CDecompressor::CState::FlushWindow()
{
    m_sink->Write(m_window + m_nFlushedPos, m_nOutPos - m_nFlushedPos);
    m_nFlushedTotal += m_nOutPos - m_nFlushedPos;
    std::memmove(m_window, m_window + m_nOutPos - kHistorySize, kHistorySize);
    m_nOutPos = kHistorySize;
    m_nFlushedPos = kHistorySize;
}

void CDecompressor::CState::DecodeBlockData(bool fixed)
{
    uint8_t* const window = m_window;
    for (;;) {
        if (m_nOutPos >= kWindowSize) FlushWindow();
        FillBits();
        unsigned sym = Decode(m_litLen);
        if (sym < 256) {
            if (m_nOutLeft == 0) Fail("the stream holds more data than expected");
            m_nOutLeft--;
            window[m_nOutPos++] = static_cast<uint8_t>(sym);
            continue;
        }
        if (sym == kEndBlock) return;
        sym -= kLiterals + 1;
        if (sym >= kLengthCodes) Fail(JoinText({"invalid length symbol ", sym + 257}));
        // After a 15-bit code at most 5 + 15 + 13 more bits are needed; 56 were filled.
        unsigned len = kLengthBase[sym] + TakeBits(kLengthExtraBits[sym]);
        unsigned dsym = Decode(m_dist);
        if (fixed && dsym >= kDistCodes) Fail(JoinText({"invalid distance symbol ", dsym}));
        unsigned dist = kDistBase[dsym] + TakeBits(kDistExtraBits[dsym]);
        if (dist > m_nOutPos)
            Fail(JoinText({"distance ", dist, " reaches before the start of the data"}));
        if (len > m_nOutLeft) Fail("the stream holds more data than expected");
        m_nOutLeft -= len;

        uint8_t* out = window + m_nOutPos;
        const uint8_t* from = out - dist;
        if (dist >= 8) {
            // Eight bytes per step; may write up to 7 bytes past the match into the slack.
            for (unsigned i = 0; i < len; i += 8) std::memcpy(out + i, from + i, 8);
        } else {
            for (unsigned i = 0; i < len; ++i) out[i] = from[i];
        }
        m_nOutPos += len;
    }
}

void CDecompressor::CState::Run(std::optional<uint64_t> expectedSize)
{
    m_nOutLeft = expectedSize ? *expectedSize : UINT64_MAX;
    bool last = false;
    while (!last) {
        unsigned header = GetBits(kHeaderBits);
        last = (header & kLastBlockFlag) != 0;
        switch (header & ~kLastBlockFlag) {
        case kStoredBlock: ReadStoredBlock(); break;
        case kFixedBlock:
            BuildFixedCodes();
            DecodeBlockData(true);
            break;
        case kDynamicBlock:
            ReadDynamicCodes();
            DecodeBlockData(false);
            break;
        default: Fail(JoinText({"invalid block header ", header}));
        }
    }
    unsigned pad = m_nBitCount & 7;
    if (pad && (m_bitBuf & ((1u << pad) - 1)) != 0) Fail("non-zero padding after the last block");
    Consume(pad);
    m_sink->Write(m_window + m_nFlushedPos, m_nOutPos - m_nFlushedPos);
    m_nFlushedTotal += m_nOutPos - m_nFlushedPos;
    m_nFlushedPos = m_nOutPos;
    if (expectedSize && m_nOutLeft != 0) {
        Fail(JoinText({"the stream holds ", m_nFlushedTotal, " bytes, expected ", *expectedSize}));
    }
}

CDecompressor::CDecompressor() = default;
CDecompressor::~CDecompressor() = default;

uint64_t CDecompressor::Decode(IByteSink& sink, IByteSource& source,
                               std::optional<uint64_t> expectedSize,
                               std::optional<uint64_t> inputLimit)
{
    m_nInputUsed = 0;
    m_nOutputSize = 0;
    // One state (about 115 KB) serves every stream this decoder decodes: a fresh allocation per
    // file costs more than decoding a small file.
    if (m_state) {
        m_state->~CState();
        new (m_state.get()) CState;
    } else {
        m_state = std::make_unique<CState>();
    }
    CState* state = m_state.get();
    state->m_source = &source;
    state->m_sink = &sink;
    state->m_nInputLeft = inputLimit ? *inputLimit : UINT64_MAX;
    state->Run(expectedSize);
    m_nInputUsed = state->Position();
    m_nOutputSize = state->m_nFlushedTotal;
    return m_nOutputSize;
}

std::vector<uint8_t> CDecompressor::Unpack(const void* data, size_t size,
                                           std::optional<uint64_t> expectedSize)
{
    CMemorySink sink;
    CMemorySource source(data, size);
    CDecompressor decoder;
    decoder.Decode(sink, source, expectedSize, size);
    if (decoder.GetInputUsed() != size) {
        throw CDecodeError(JoinText({"the stream ends before the end of its block (",
                                     size - decoder.GetInputUsed(), " bytes follow it)"}),
                           decoder.GetInputUsed());
    }
    return sink.Take();
}

}  // namespace velkan
