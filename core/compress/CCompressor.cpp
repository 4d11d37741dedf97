// The encoder of the packed stream.
//
// Matching: a 64 KiB window (two 32 KiB halves) holds the input; every position is hashed on its
// next three bytes into 13-bit hash chains. Matching is lazy: a match found at one position is
// only taken when the next position does not find a longer one. The window slides by 32 KiB when
// the current position reaches the upper half's usable end, so distances never exceed 32,506.
//
// Blocks: the symbols of a block are buffered (literals, lengths, distances and a flag bit per
// symbol) until the buffers fill or an estimate says the data compresses well enough to end the
// block early. Then the block is written stored, with the fixed codes or with dynamic Huffman
// codes, whichever the estimated sizes say is smallest (ties: stored, then fixed).
//
// Every step below is part of the format contract: the same input must give the same bytes as
// any other conforming encoder, so the rules are followed literally, including the odd ones
// (stale bytes beyond the lookahead take part in match searches, the block start goes negative
// after a slide, the estimate bookkeeping around filler symbols). Speed comes only from how a
// step is done (word-wide compares, no per-byte virtual calls), never from changing what it does.
#include "core/compress/CCompressor.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "core/compress/PackFormat.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"

namespace velkan {

using namespace pack;

namespace {

// Window and matching. The window is two 32 KiB halves plus 16 spare bytes, so a compare may read
// a word past the end of the deepest 258-byte match without leaving the buffer.
constexpr unsigned kWSize = 32768;
constexpr unsigned kWMask = kWSize - 1;
constexpr unsigned kWindowSize = 2 * kWSize;
constexpr unsigned kWindowAlloc = kWindowSize + 16;
constexpr unsigned kHashBits = 13;
constexpr unsigned kHashSize = 1u << kHashBits;
constexpr unsigned kHashMask = kHashSize - 1;
constexpr unsigned kHashShift = 5;  // three bytes fill the 13 bits: (13 + 3 - 1) / 3
// Keep one longest match and the next hash key ahead of the current position.
constexpr unsigned kMinLookahead = kMaxMatch + kMinMatch + 1;  // 262
constexpr unsigned kMaxDist = kWSize - kMinLookahead;          // 32,506
constexpr unsigned kTooFar = 4096;        // a 3-byte match farther back costs more than literals
constexpr unsigned kMaxChain = 4096;      // candidates examined per search
constexpr unsigned kGoodLength = 32;      // holding a match this long, search a quarter as far
constexpr unsigned kMaxLazy = kMaxMatch;  // do not search after a match this long
constexpr unsigned kNiceLength = kMaxMatch;
constexpr unsigned kFirstRead = 32768;
// A second, finer index over the same positions (see LongestMatch).
constexpr unsigned kFineHashBits = 16;
constexpr unsigned kFineHashSize = 1u << kFineHashBits;

// Output: gathered in a buffer written out 4,096 bytes at a time.
constexpr unsigned kOutBufSize = 4096;

// Symbol buffers of one block.
constexpr unsigned kLitBufSize = 8192;
constexpr unsigned kDistBufSize = 8192;

// Trees.
constexpr int kHeapSize = 2 * kLitLenCodes + 1;  // 573
constexpr int kRep3To6 = 16;
constexpr int kRepZero3To10 = 17;
constexpr int kRepZero11To138 = 18;

inline unsigned BitReverse(unsigned code, int len)
{
    unsigned res = 0;
    do {
        res |= code & 1;
        code >>= 1;
        res <<= 1;
    } while (--len > 0);
    return res >> 1;
}

inline uint64_t Load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline uint32_t Load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The first three bytes at p, as one number (p + 3 must be readable).
inline uint32_t Trigram(const uint8_t* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        return Load32(p) & 0xFFFFFFu;
    } else {
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16;
    }
}

inline unsigned FineHash(const uint8_t* p)
{
    return (Trigram(p) * 0x9E3779B1u) >> (32 - kFineHashBits);
}

// The narrow index: chains of positions whose first kNarrowKey bytes hash alike (see
// LongestMatch). p + 8 must be readable.
constexpr unsigned kNarrowKey = 7;
inline uint64_t NarrowKey(const uint8_t* p)
{
    uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        v = Load64(p) &
            (kNarrowKey >= 8 ? ~uint64_t(0) : (uint64_t(1) << (8 * (kNarrowKey % 8))) - 1);
    } else {
        for (unsigned i = 0; i < kNarrowKey; ++i) v |= uint64_t(p[i]) << (8 * i);
    }
    return v;
}
inline unsigned NarrowHash(const uint8_t* p)
{
    return static_cast<unsigned>((NarrowKey(p) * 0x9E3779B97F4A7C15ull) >> (64 - kFineHashBits));
}

inline uint16_t Load16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Count of equal leading bytes of a and b, at most 258. Reads up to 263 bytes of each.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b)
{
    unsigned len = 0;
    do {
        uint64_t diff = Load64(a + len) ^ Load64(b + len);
        if (diff) {
            if constexpr (std::endian::native == std::endian::little) {
                len += static_cast<unsigned>(std::countr_zero(diff)) >> 3;
            } else {
                len += static_cast<unsigned>(std::countl_zero(diff)) >> 3;
            }
            return std::min(len, static_cast<unsigned>(kMaxMatch));
        }
        len += 8;
    } while (len < static_cast<unsigned>(kMaxMatch));
    return kMaxMatch;
}

}  // namespace

// The whole state of one run, allocated zero-filled when the run starts.
struct CCompressor::CRun {
    // A tree node: frequency (later the code) and parent index (later the code length).
    struct CNode {
        uint16_t fc;
        uint16_t dl;
    };
    struct CTreeDesc {
        CNode* dynTree;
        const CNode* staticTree;  // null for the code-length tree
        const uint8_t* extraBits;
        int extraBase;
        int elems;
        int maxLength;
        int maxCode;
    };

    // Source, sink and progress.
    IByteSource* m_source = nullptr;
    IByteSink* m_sink = nullptr;
    uint64_t m_nStartPosition = 0;
    const CompressProgressProc* m_progressProc = nullptr;
    uint32_t m_nProgressUser = 0;

    // Output.
    uint8_t* m_outBuf = nullptr;  // owned by the caller of Run, allocated first
    unsigned m_nOutCount = 0;
    uint64_t m_bitBuf = 0;
    unsigned m_nBitCount = 0;

    // Matching state.
    uint8_t m_window[kWindowAlloc];
    uint16_t m_prev[kWSize];
    uint16_t m_head[kHashSize];
    // The finer index: chains of positions whose first three bytes hash alike in 15 bits, and
    // each position's rank in its 13-bit chain (m_seq), from a running count per 13-bit head.
    uint16_t m_prev2[kWSize];
    uint16_t m_head2[kFineHashSize];
    // The narrow index: the same for the first kNarrowKey bytes.
    uint16_t m_prev3[kWSize];
    uint16_t m_head3[kFineHashSize];
    uint32_t m_seq[kWSize];
    uint32_t m_hashCount[kHashSize];
    unsigned m_nHash = 0;
    unsigned m_nStrStart = 0;
    int m_nMatchStart = 0;  // goes negative when a stale start slides out
    unsigned m_nLookahead = 0;
    long long m_nBlockStart = 0;
    bool m_bEof = false;

    // Trees.
    CNode m_dynLtree[kHeapSize];
    CNode m_dynDtree[2 * kDistCodes + 1];
    CNode m_blTree[2 * kCodeLengthCodes + 1];
    CNode m_staticLtree[kFixedLitLenCodes];
    CNode m_staticDtree[kDistCodes];
    CTreeDesc m_lDesc{};
    CTreeDesc m_dDesc{};
    CTreeDesc m_blDesc{};
    uint16_t m_blCount[kMaxCodeBits + 1];
    int m_heap[kHeapSize];
    int m_nHeapLen = 0;
    int m_nHeapMax = 0;
    uint8_t m_depth[kHeapSize];

    // Derived tables.
    uint8_t m_lengthCode[256];
    int m_baseLength[kLengthCodes];
    uint8_t m_distCode[512];
    int m_baseDist[kDistCodes];

    // Symbol buffers of the current block.
    uint8_t m_lBuf[kLitBufSize];
    uint16_t m_dBuf[kDistBufSize];
    uint8_t m_flagBuf[kLitBufSize / 8];
    unsigned m_nLastLit = 0;
    unsigned m_nLastDist = 0;
    unsigned m_nLastFlags = 0;
    uint8_t m_flags = 0;
    uint8_t m_flagBit = 1;

    // Estimated bit lengths of the current block (header excluded).
    long long m_nOptLen = 0;
    long long m_nStaticLen = 0;

    void Run();

    // Output.
    void FlushOut()
    {
        if (m_nOutCount) {
            unsigned n = m_nOutCount;
            m_nOutCount = 0;
            m_sink->Write(m_outBuf, n);
        }
    }
    void PutByte(uint8_t b)
    {
        m_outBuf[m_nOutCount++] = b;
        if (m_nOutCount == kOutBufSize) FlushOut();
    }
    void PutShort(unsigned w)
    {
        PutByte(static_cast<uint8_t>(w));
        PutByte(static_cast<uint8_t>(w >> 8));
    }
    void PutWord32(uint32_t w)
    {
        if (m_nOutCount + 4 <= kOutBufSize) {
            uint8_t* p = m_outBuf + m_nOutCount;
            p[0] = static_cast<uint8_t>(w);
            p[1] = static_cast<uint8_t>(w >> 8);
            p[2] = static_cast<uint8_t>(w >> 16);
            p[3] = static_cast<uint8_t>(w >> 24);
            m_nOutCount += 4;
            if (m_nOutCount == kOutBufSize) FlushOut();
        } else {
            for (int i = 0; i < 4; ++i) PutByte(static_cast<uint8_t>(w >> (8 * i)));
        }
    }
    // Appends a value of length bits (at most 16), least significant bit first.
    void SendBits(unsigned value, unsigned length)
    {
        m_bitBuf |= static_cast<uint64_t>(value) << m_nBitCount;
        m_nBitCount += length;
        if (m_nBitCount >= 32) {
            PutWord32(static_cast<uint32_t>(m_bitBuf));
            m_bitBuf >>= 32;
            m_nBitCount -= 32;
        }
    }
    void SendCode(int symbol, const CNode* tree) { SendBits(tree[symbol].fc, tree[symbol].dl); }
    // Pads with zero bits to a byte boundary and moves the pending bits to the buffer.
    void Windup()
    {
        while (m_nBitCount > 0) {
            PutByte(static_cast<uint8_t>(m_bitBuf));
            m_bitBuf >>= 8;
            m_nBitCount = m_nBitCount > 8 ? m_nBitCount - 8 : 0;
        }
        m_bitBuf = 0;
    }

    // Matching.
    size_t ReadSource(uint8_t* buffer, unsigned size) { return m_source->Read(buffer, size); }
    unsigned InsertString(unsigned s)
    {
        m_nHash = ((m_nHash << kHashShift) ^ m_window[s + kMinMatch - 1]) & kHashMask;
        unsigned head = m_head[m_nHash];
        m_prev[s & kWMask] = static_cast<uint16_t>(head);
        m_head[m_nHash] = static_cast<uint16_t>(s);
        m_seq[s & kWMask] = ++m_hashCount[m_nHash];
        unsigned fine = FineHash(m_window + s);
        m_prev2[s & kWMask] = m_head2[fine];
        m_head2[fine] = static_cast<uint16_t>(s);
        unsigned narrow = NarrowHash(m_window + s);
        m_prev3[s & kWMask] = m_head3[narrow];
        m_head3[narrow] = static_cast<uint16_t>(s);
        return head;
    }
    unsigned LongestMatch(unsigned curMatch, unsigned prevLength);
    void FillWindow();
    void Refill()
    {
        do {
            FillWindow();
        } while (m_nLookahead < kMinLookahead && !m_bEof);
    }
    void Deflate();

    // Blocks and trees.
    void InitTables();
    void InitBlock();
    inline bool CheckBlockEnd();
    inline bool TallyLiteral(unsigned c);
    inline bool TallyMatch(unsigned dist, unsigned lc);
    void EmitBlock(bool eof)
    {
        const uint8_t* buf = m_nBlockStart >= 0 ? m_window + m_nBlockStart : nullptr;
        FlushBlock(buf, static_cast<long long>(m_nStrStart) - m_nBlockStart, eof);
    }
    void FlushBlock(const uint8_t* buf, long long storedLen, bool eof);
    void PqDownHeap(const CNode* tree, int k);
    bool Smaller(const CNode* tree, int n, int m) const
    {
        return tree[n].fc < tree[m].fc || (tree[n].fc == tree[m].fc && m_depth[n] <= m_depth[m]);
    }
    void BuildTree(CTreeDesc& desc);
    void GenBitLengths(CTreeDesc& desc);
    void GenCodes(CNode* tree, int maxCode);
    void ScanTree(const CNode* tree, int maxCode);
    void SendTree(const CNode* tree, int maxCode);
    int BuildBlTree();
    void SendAllTrees(int lcodes, int dcodes, int blcodes);
    void CompressBlock(const CNode* ltree, const CNode* dtree);
};

// ---- Start of a run -----------------------------------------------------------------------------

void CCompressor::CRun::InitTables()
{
    // Length code per (length - 3): 2^extra entries per code; length 258 gets its own code 28.
    int length = 0;
    int code;
    for (code = 0; code < kLengthCodes - 1; ++code) {
        m_baseLength[code] = length;
        for (int n = 0; n < (1 << kLengthExtraBits[code]); ++n) {
            m_lengthCode[length++] = static_cast<uint8_t>(code);
        }
    }
    m_lengthCode[length - 1] = static_cast<uint8_t>(code);

    // Distance code per (distance - 1): the first 256 entries directly, the rest by
    // (distance - 1) / 128.
    int dist = 0;
    for (code = 0; code < 16; ++code) {
        m_baseDist[code] = dist;
        for (int n = 0; n < (1 << kDistExtraBits[code]); ++n) {
            m_distCode[dist++] = static_cast<uint8_t>(code);
        }
    }
    dist >>= 7;
    for (; code < kDistCodes; ++code) {
        m_baseDist[code] = dist << 7;
        for (int n = 0; n < (1 << (kDistExtraBits[code] - 7)); ++n) {
            m_distCode[256 + dist++] = static_cast<uint8_t>(code);
        }
    }

    // The fixed codes.
    for (int bits = 0; bits <= kMaxCodeBits; ++bits) m_blCount[bits] = 0;
    int n = 0;
    while (n <= 143) m_staticLtree[n++].dl = 8, m_blCount[8]++;
    while (n <= 255) m_staticLtree[n++].dl = 9, m_blCount[9]++;
    while (n <= 279) m_staticLtree[n++].dl = 7, m_blCount[7]++;
    while (n <= 287) m_staticLtree[n++].dl = 8, m_blCount[8]++;
    GenCodes(m_staticLtree, kFixedLitLenCodes - 1);
    for (n = 0; n < kDistCodes; ++n) {
        m_staticDtree[n].dl = 5;
        m_staticDtree[n].fc = static_cast<uint16_t>(BitReverse(static_cast<unsigned>(n), 5));
    }

    m_lDesc = {
        m_dynLtree, m_staticLtree, kLengthExtraBits, kLiterals + 1, kLitLenCodes, kMaxCodeBits, 0};
    m_dDesc = {m_dynDtree, m_staticDtree, kDistExtraBits, 0, kDistCodes, kMaxCodeBits, 0};
    m_blDesc = {m_blTree,           nullptr, kCodeLengthExtraBits, 0, kCodeLengthCodes,
                kMaxCodeLengthBits, 0};
    InitBlock();
}

void CCompressor::CRun::InitBlock()
{
    for (int n = 0; n < kLitLenCodes; ++n) m_dynLtree[n].fc = 0;
    for (int n = 0; n < kDistCodes; ++n) m_dynDtree[n].fc = 0;
    for (int n = 0; n < kCodeLengthCodes; ++n) m_blTree[n].fc = 0;
    m_dynLtree[kEndBlock].fc = 1;
    m_nOptLen = m_nStaticLen = 0;
    m_nLastLit = m_nLastDist = m_nLastFlags = 0;
    m_flags = 0;
    m_flagBit = 1;
}

void CCompressor::CRun::Run()
{
    InitTables();
    // The window, chains and heads arrive zero-filled with the run state.
    m_nStrStart = 0;
    m_nBlockStart = 0;

    size_t n = ReadSource(m_window, kFirstRead);
    if (n == 0 || n == static_cast<size_t>(-1)) {
        m_bEof = true;
        m_nLookahead = 0;
    } else {
        m_bEof = false;
        m_nLookahead = static_cast<unsigned>(n);
        if (m_nLookahead < kMinLookahead) Refill();
        m_nHash = 0;
        for (int j = 0; j < kMinMatch - 1; ++j) {
            m_nHash = ((m_nHash << kHashShift) ^ m_window[j]) & kHashMask;
        }
    }
    Deflate();
    FlushOut();
}

// ---- Recording symbols --------------------------------------------------------------------------

inline bool CCompressor::CRun::TallyLiteral(unsigned c)
{
    m_lBuf[m_nLastLit++] = static_cast<uint8_t>(c);
    m_dynLtree[c].fc++;
    m_flagBit = static_cast<uint8_t>(m_flagBit << 1);
    return CheckBlockEnd();
}

// dist is the distance minus 1, lc the length minus 3.
inline bool CCompressor::CRun::TallyMatch(unsigned dist, unsigned lc)
{
    m_lBuf[m_nLastLit++] = static_cast<uint8_t>(lc);
    m_dynLtree[m_lengthCode[lc] + kLiterals + 1].fc++;
    m_dynDtree[dist < 256 ? m_distCode[dist] : m_distCode[256 + (dist >> 7)]].fc++;
    m_dBuf[m_nLastDist++] = static_cast<uint16_t>(dist);
    m_flags |= m_flagBit;
    m_flagBit = static_cast<uint8_t>(m_flagBit << 1);
    return CheckBlockEnd();
}

// Stores a full flag byte, and says whether the block must end: the buffers are full, or (checked
// every 4,096 symbols) the block is mostly literals yet already compresses to under half.
inline bool CCompressor::CRun::CheckBlockEnd()
{
    if ((m_nLastLit & 7) == 0) {
        m_flagBuf[m_nLastFlags++] = m_flags;
        m_flags = 0;
        m_flagBit = 1;
    }
    if ((m_nLastLit & 0xFFF) == 0) {
        unsigned long long outLength = static_cast<unsigned long long>(m_nLastLit) * 8;
        unsigned long long inLength =
            static_cast<unsigned long long>(static_cast<long long>(m_nStrStart) - m_nBlockStart);
        for (int dcode = 0; dcode < kDistCodes; ++dcode) {
            outLength +=
                static_cast<unsigned long long>(m_dynDtree[dcode].fc) * (5 + kDistExtraBits[dcode]);
        }
        outLength >>= 3;
        if (m_nLastDist < m_nLastLit / 2 && outLength < inLength / 2) return true;
    }
    return m_nLastLit == kLitBufSize - 1 || m_nLastDist == kDistBufSize;
}

// ---- Matching -----------------------------------------------------------------------------------

// One refill step: slides the window down by 32 KiB when the current position has reached the
// upper half's usable end, then reads as much as fits behind the lookahead.
void CCompressor::CRun::FillWindow()
{
    unsigned more = kWindowSize - m_nLookahead - m_nStrStart;
    if (m_nStrStart >= kWSize + kMaxDist) {
        std::memcpy(m_window, m_window + kWSize, kWSize);
        m_nMatchStart -= static_cast<int>(kWSize);
        m_nStrStart -= kWSize;
        m_nBlockStart -= kWSize;
        for (unsigned i = 0; i < kHashSize; ++i) {
            unsigned m = m_head[i];
            m_head[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
        }
        for (unsigned i = 0; i < kWSize; ++i) {
            unsigned m = m_prev[i];
            m_prev[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
        }
        for (unsigned i = 0; i < kFineHashSize; ++i) {
            unsigned m = m_head2[i];
            m_head2[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
        }
        for (unsigned i = 0; i < kWSize; ++i) {
            unsigned m = m_prev2[i];
            m_prev2[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
        }
        for (unsigned i = 0; i < kFineHashSize; ++i) {
            unsigned m = m_head3[i];
            m_head3[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
        }
        for (unsigned i = 0; i < kWSize; ++i) {
            unsigned m = m_prev3[i];
            m_prev3[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
        }
        more += kWSize;
    }
    if (!m_bEof) {
        size_t n = ReadSource(m_window + m_nStrStart + m_nLookahead, more);
        if (n == 0 || n == static_cast<size_t>(-1)) {
            m_bEof = true;
        } else {
            m_nLookahead += static_cast<unsigned>(n);
        }
        if (m_progressProc && *m_progressProc) {
            (*m_progressProc)(static_cast<uint32_t>(m_source->GetPosition() - m_nStartPosition),
                              m_nProgressUser);
        }
    }
}

// Finds the longest match for the current position longer than prevLength; sets the match start
// when one is found and returns the best length (prevLength when none is longer).
//
// The rule: walk the 13-bit hash chain from its head curMatch, newest first, examining at most
// 4,096 candidates (1,024 when prevLength is 32 or more), the head down to 32,506 bytes back and
// the others less than that; a candidate is taken when it matches longer than the best so far;
// stop at 258.
//
// The walk is done on the finer 15-bit chain instead, which skips the many 13-bit neighbours that
// cannot match. That gives the same result: a candidate can only match 3 bytes or more (the best
// is at least 2 here) if its first three bytes equal the current ones, and those positions are
// exactly the ones of the 13-bit chain that agree on the first two bytes (equal first two bytes
// and equal 13-bit hash force an equal third byte). Such a candidate sits in the same 13-bit
// chain, so its place in that walk is the difference of the two positions' ranks; the walk ends
// where the 13-bit one would have stopped counting. Ranks only grow along the walk, so they are
// checked exactly where it matters (before a candidate is taken) and otherwise every 64
// candidates, to end the walk soon after the count is used up.
//
// Once the best length reaches kNarrowKey, only candidates sharing that many bytes can still be
// taken, so the walk goes on along the narrow chain, from the candidate just taken (or from the
// start, when the lazy match is already that long). That is exact while the current position
// has kNarrowKey bytes of input ahead: then every candidate's first bytes are input bytes too,
// hashed as they are now when the candidate was indexed.
unsigned CCompressor::CRun::LongestMatch(unsigned curMatch, unsigned prevLength)
{
    const unsigned chainLength = prevLength >= kGoodLength ? kMaxChain / 4 : kMaxChain;
    const uint8_t* const window = m_window;
    const uint8_t* const scan = window + m_nStrStart;
    const unsigned limit = m_nStrStart > kMaxDist ? m_nStrStart - kMaxDist : 0;
    const uint32_t rankHere = m_seq[m_nStrStart & kWMask];
    const uint32_t trigram = Trigram(scan);
    unsigned bestLen = prevLength;
    uint16_t scanEnd = Load16(scan + bestLen - 1);

    const bool canNarrow = m_nLookahead >= kNarrowKey;
    const uint64_t narrowKey = canNarrow ? NarrowKey(scan) : 0;
    bool narrow = canNarrow && bestLen >= kNarrowKey;
    const uint16_t* chain = narrow ? m_prev3 : m_prev2;
    unsigned sinceRankCheck = 0;
    for (unsigned cand = chain[m_nStrStart & kWMask];; cand = chain[cand & kWMask]) {
        // The head may lie exactly at the limit, the others must lie above it.
        if (cand <= limit && !(cand == curMatch && cand != 0)) break;
        const uint8_t* match = window + cand;
        if (narrow) {
            if (NarrowKey(match) != narrowKey) continue;  // another key under the same hash
        } else if (Trigram(match) != trigram) {
            continue;  // another 13-bit chain, or none
        }
        if (++sinceRankCheck == 64) {
            sinceRankCheck = 0;
            if (rankHere - m_seq[cand & kWMask] > chainLength) break;
        }
        if (Load16(match + bestLen - 1) != scanEnd) continue;
        unsigned len = MatchLength(scan, match);
        if (len > bestLen) {
            if (rankHere - m_seq[cand & kWMask] > chainLength) break;
            m_nMatchStart = static_cast<int>(cand);
            bestLen = len;
            if (len >= kNiceLength) break;
            scanEnd = Load16(scan + bestLen - 1);
            if (!narrow && canNarrow && bestLen >= kNarrowKey) {
                narrow = true;
                chain = m_prev3;
            }
        }
    }
    return bestLen;
}

// The lazy-matching main loop.
void CCompressor::CRun::Deflate()
{
    unsigned prevMatch;
    bool matchAvailable = false;
    unsigned matchLength = kMinMatch - 1;
    unsigned prevLength;

    while (m_nLookahead != 0) {
        unsigned hashHead = InsertString(m_nStrStart);
        prevLength = matchLength;
        prevMatch = static_cast<unsigned>(m_nMatchStart);
        matchLength = kMinMatch - 1;

        if (hashHead != 0 && prevLength < kMaxLazy && m_nStrStart - hashHead <= kMaxDist) {
            matchLength = LongestMatch(hashHead, prevLength);
            if (matchLength > m_nLookahead) matchLength = m_nLookahead;
            if (matchLength == kMinMatch &&
                static_cast<long long>(m_nStrStart) - m_nMatchStart > kTooFar) {
                matchLength--;
            }
        }

        if (prevLength >= kMinMatch && matchLength <= prevLength) {
            bool flush = TallyMatch(m_nStrStart - 1 - prevMatch - 1, prevLength - kMinMatch);
            m_nLookahead -= prevLength - 1;
            prevLength -= 2;
            do {
                m_nStrStart++;
                InsertString(m_nStrStart);
            } while (--prevLength != 0);
            matchAvailable = false;
            matchLength = kMinMatch - 1;
            m_nStrStart++;
            if (flush) {
                EmitBlock(false);
                m_nBlockStart = m_nStrStart;
            }
        } else if (matchAvailable) {
            if (TallyLiteral(m_window[m_nStrStart - 1])) {
                EmitBlock(false);
                m_nBlockStart = m_nStrStart;
            }
            m_nStrStart++;
            m_nLookahead--;
        } else {
            matchAvailable = true;
            m_nStrStart++;
            m_nLookahead--;
        }
        // Also once the source has ended, so that the window still slides.
        if (m_nLookahead < kMinLookahead) Refill();
    }
    if (matchAvailable) TallyLiteral(m_window[m_nStrStart - 1]);
    EmitBlock(true);
}

// ---- Trees --------------------------------------------------------------------------------------

void CCompressor::CRun::PqDownHeap(const CNode* tree, int k)
{
    int v = m_heap[k];
    int j = k << 1;
    while (j <= m_nHeapLen) {
        if (j < m_nHeapLen && Smaller(tree, m_heap[j + 1], m_heap[j])) j++;
        if (Smaller(tree, v, m_heap[j])) break;
        m_heap[k] = m_heap[j];
        k = j;
        j <<= 1;
    }
    m_heap[k] = v;
}

// Code lengths from the finished tree, limited to the tree's maximum; adds the block's cost in
// bits with these lengths (and with the fixed ones) to the estimates.
void CCompressor::CRun::GenBitLengths(CTreeDesc& desc)
{
    CNode* tree = desc.dynTree;
    const int maxCode = desc.maxCode;
    const int maxLength = desc.maxLength;
    int overflow = 0;

    for (int bits = 0; bits <= kMaxCodeBits; ++bits) m_blCount[bits] = 0;
    tree[m_heap[m_nHeapMax]].dl = 0;  // the root

    int h;
    for (h = m_nHeapMax + 1; h < kHeapSize; ++h) {
        int n = m_heap[h];
        int bits = tree[tree[n].dl].dl + 1;
        if (bits > maxLength) bits = maxLength, overflow++;
        tree[n].dl = static_cast<uint16_t>(bits);
        if (n > maxCode) continue;  // an inner node
        m_blCount[bits]++;
        int xbits = n >= desc.extraBase ? desc.extraBits[n - desc.extraBase] : 0;
        long long f = tree[n].fc;
        m_nOptLen += f * (bits + xbits);
        if (desc.staticTree) m_nStaticLen += f * (desc.staticTree[n].dl + xbits);
    }
    if (overflow == 0) return;

    // Move codes from the longest length below the limit down until the code fits again.
    do {
        int bits = maxLength - 1;
        while (m_blCount[bits] == 0) bits--;
        m_blCount[bits]--;
        m_blCount[bits + 1] += 2;
        m_blCount[maxLength]--;
        overflow -= 2;
    } while (overflow > 0);

    // Hand the lengths out again, the least frequent leaves taking the longest.
    for (int bits = maxLength; bits != 0; bits--) {
        int n = m_blCount[bits];
        while (n != 0) {
            int m = m_heap[--h];
            if (m > maxCode) continue;
            if (tree[m].dl != static_cast<unsigned>(bits)) {
                m_nOptLen += (static_cast<long long>(bits) - tree[m].dl) * tree[m].fc;
                tree[m].dl = static_cast<uint16_t>(bits);
            }
            n--;
        }
    }
}

// Canonical codes from the lengths counted in m_blCount, stored bit-reversed.
void CCompressor::CRun::GenCodes(CNode* tree, int maxCode)
{
    uint16_t nextCode[kMaxCodeBits + 1];
    unsigned code = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        code = (code + m_blCount[bits - 1]) << 1;
        nextCode[bits] = static_cast<uint16_t>(code);
    }
    for (int n = 0; n <= maxCode; ++n) {
        int len = tree[n].dl;
        if (len == 0) continue;
        tree[n].fc = static_cast<uint16_t>(BitReverse(nextCode[len]++, len));
    }
}

void CCompressor::CRun::BuildTree(CTreeDesc& desc)
{
    CNode* tree = desc.dynTree;
    const CNode* stree = desc.staticTree;
    const int elems = desc.elems;
    int maxCode = -1;
    int node = elems;
    m_nHeapLen = 0;
    m_nHeapMax = kHeapSize;

    for (int n = 0; n < elems; ++n) {
        if (tree[n].fc != 0) {
            m_heap[++m_nHeapLen] = maxCode = n;
            m_depth[n] = 0;
        } else {
            tree[n].dl = 0;
        }
    }
    // A code needs two symbols: add filler symbols, whose cost the length count adds back.
    while (m_nHeapLen < 2) {
        int filler = m_heap[++m_nHeapLen] = (maxCode < 2 ? ++maxCode : 0);
        tree[filler].fc = 1;
        m_depth[filler] = 0;
        m_nOptLen--;
        if (stree) m_nStaticLen -= stree[filler].dl;
    }
    desc.maxCode = maxCode;

    for (int n = m_nHeapLen / 2; n >= 1; --n) PqDownHeap(tree, n);

    do {
        int n = m_heap[1];
        m_heap[1] = m_heap[m_nHeapLen--];
        PqDownHeap(tree, 1);
        int m = m_heap[1];

        m_heap[--m_nHeapMax] = n;
        m_heap[--m_nHeapMax] = m;

        tree[node].fc = static_cast<uint16_t>(tree[n].fc + tree[m].fc);
        m_depth[node] = static_cast<uint8_t>(std::max(m_depth[n], m_depth[m]) + 1);
        tree[n].dl = tree[m].dl = static_cast<uint16_t>(node);
        m_heap[1] = node++;
        PqDownHeap(tree, 1);
    } while (m_nHeapLen >= 2);

    m_heap[--m_nHeapMax] = m_heap[1];

    GenBitLengths(desc);
    GenCodes(tree, maxCode);
}

// Counts the code-length symbols that SendTree will send for tree[0..maxCode].
void CCompressor::CRun::ScanTree(const CNode* tree, int maxCode)
{
    int prevLen = -1;
    int nextLen = tree[0].dl;
    int count = 0;
    int maxCount = 7;
    int minCount = 4;
    if (nextLen == 0) maxCount = 138, minCount = 3;
    for (int n = 0; n <= maxCode; ++n) {
        int curLen = nextLen;
        nextLen = n + 1 <= maxCode ? tree[n + 1].dl : 0xFFFF;
        if (++count < maxCount && curLen == nextLen) {
            continue;
        } else if (count < minCount) {
            m_blTree[curLen].fc = static_cast<uint16_t>(m_blTree[curLen].fc + count);
        } else if (curLen != 0) {
            if (curLen != prevLen) m_blTree[curLen].fc++;
            m_blTree[kRep3To6].fc++;
        } else if (count <= 10) {
            m_blTree[kRepZero3To10].fc++;
        } else {
            m_blTree[kRepZero11To138].fc++;
        }
        count = 0;
        prevLen = curLen;
        if (nextLen == 0) {
            maxCount = 138, minCount = 3;
        } else if (curLen == nextLen) {
            maxCount = 6, minCount = 3;
        } else {
            maxCount = 7, minCount = 4;
        }
    }
}

void CCompressor::CRun::SendTree(const CNode* tree, int maxCode)
{
    int prevLen = -1;
    int nextLen = tree[0].dl;
    int count = 0;
    int maxCount = 7;
    int minCount = 4;
    if (nextLen == 0) maxCount = 138, minCount = 3;
    for (int n = 0; n <= maxCode; ++n) {
        int curLen = nextLen;
        nextLen = n + 1 <= maxCode ? tree[n + 1].dl : 0xFFFF;
        if (++count < maxCount && curLen == nextLen) {
            continue;
        } else if (count < minCount) {
            do {
                SendCode(curLen, m_blTree);
            } while (--count != 0);
        } else if (curLen != 0) {
            if (curLen != prevLen) {
                SendCode(curLen, m_blTree);
                count--;
            }
            SendCode(kRep3To6, m_blTree);
            SendBits(static_cast<unsigned>(count - 3), 2);
        } else if (count <= 10) {
            SendCode(kRepZero3To10, m_blTree);
            SendBits(static_cast<unsigned>(count - 3), 3);
        } else {
            SendCode(kRepZero11To138, m_blTree);
            SendBits(static_cast<unsigned>(count - 11), 7);
        }
        count = 0;
        prevLen = curLen;
        if (nextLen == 0) {
            maxCount = 138, minCount = 3;
        } else if (curLen == nextLen) {
            maxCount = 6, minCount = 3;
        } else {
            maxCount = 7, minCount = 4;
        }
    }
}

// Builds the code-length tree; returns the index in the transmit order of the last length sent.
int CCompressor::CRun::BuildBlTree()
{
    ScanTree(m_dynLtree, m_lDesc.maxCode);
    ScanTree(m_dynDtree, m_dDesc.maxCode);
    BuildTree(m_blDesc);
    int maxBlIndex;
    for (maxBlIndex = kCodeLengthCodes - 1; maxBlIndex >= 3; maxBlIndex--) {
        if (m_blTree[kCodeLengthOrder[maxBlIndex]].dl != 0) break;
    }
    m_nOptLen += 3 * (maxBlIndex + 1) + 5 + 5 + 4;
    return maxBlIndex;
}

void CCompressor::CRun::SendAllTrees(int lcodes, int dcodes, int blcodes)
{
    SendBits(static_cast<unsigned>(lcodes - 257), 5);
    SendBits(static_cast<unsigned>(dcodes - 1), 5);
    SendBits(static_cast<unsigned>(blcodes - 4), 4);
    for (int rank = 0; rank < blcodes; ++rank) SendBits(m_blTree[kCodeLengthOrder[rank]].dl, 3);
    SendTree(m_dynLtree, lcodes - 1);
    SendTree(m_dynDtree, dcodes - 1);
}

void CCompressor::CRun::CompressBlock(const CNode* ltree, const CNode* dtree)
{
    unsigned lx = 0;
    unsigned dx = 0;
    unsigned fx = 0;
    unsigned flag = 0;
    while (lx < m_nLastLit) {
        if ((lx & 7) == 0) flag = m_flagBuf[fx++];
        unsigned lc = m_lBuf[lx++];
        if ((flag & 1) == 0) {
            SendCode(static_cast<int>(lc), ltree);
        } else {
            unsigned code = m_lengthCode[lc];
            SendCode(static_cast<int>(code) + kLiterals + 1, ltree);
            unsigned extra = kLengthExtraBits[code];
            if (extra != 0) SendBits(lc - static_cast<unsigned>(m_baseLength[code]), extra);
            unsigned dist = m_dBuf[dx++];
            code = dist < 256 ? m_distCode[dist] : m_distCode[256 + (dist >> 7)];
            SendCode(static_cast<int>(code), dtree);
            extra = kDistExtraBits[code];
            if (extra != 0) SendBits(dist - static_cast<unsigned>(m_baseDist[code]), extra);
        }
        flag >>= 1;
    }
    SendCode(kEndBlock, ltree);
}

// Writes the current block in the cheapest of the three forms. buf is the block's input when it
// is still in the window (null once its start has slid out).
void CCompressor::CRun::FlushBlock(const uint8_t* buf, long long storedLen, bool eof)
{
    m_flagBuf[m_nLastFlags] = m_flags;
    BuildTree(m_lDesc);
    BuildTree(m_dDesc);
    int maxBlIndex = BuildBlTree();

    long long optLenB = (m_nOptLen + 10) >> 3;
    long long staticLenB = (m_nStaticLen + 10) >> 3;
    if (staticLenB <= optLenB) optLenB = staticLenB;

    const unsigned last = eof ? kLastBlockFlag : 0;
    if (storedLen + 2 <= optLenB && buf != nullptr) {
        // storedLen fits 16 bits: a block over 65,535 bytes always codes far smaller than that.
        SendBits(kStoredBlock | last, kHeaderBits);
        Windup();
        PutShort(static_cast<unsigned>(storedLen));
        for (long long i = 0; i < storedLen; ++i) PutByte(buf[i]);
    } else if (staticLenB == optLenB) {
        SendBits(kFixedBlock | last, kHeaderBits);
        CompressBlock(m_staticLtree, m_staticDtree);
    } else {
        SendBits(kDynamicBlock | last, kHeaderBits);
        SendAllTrees(m_lDesc.maxCode + 1, m_dDesc.maxCode + 1, maxBlIndex + 1);
        CompressBlock(m_dynLtree, m_dynDtree);
    }
    InitBlock();
    if (eof) Windup();
}

// ---- The object ---------------------------------------------------------------------------------

CCompressor::CCompressor() = default;
CCompressor::~CCompressor() = default;

void CCompressor::Reset()
{
    m_progressProc = nullptr;
    m_nProgressUser = 0;
}

void CCompressor::SetProgressProc(CompressProgressProc proc, uint32_t user)
{
    m_progressProc = std::move(proc);
    m_nProgressUser = user;
}

int CCompressor::CompressFile(IByteSink& sink, IByteSource& source, uint64_t /*length*/)
{
    std::unique_ptr<uint8_t[]> outBuf(new (std::nothrow) uint8_t[kOutBufSize]());
    if (!outBuf) return 0;

    std::unique_ptr<CRun> run;
    try {
        run.reset(new CRun());
        run->m_outBuf = outBuf.get();
        run->m_sink = &sink;
        run->m_source = &source;
        run->m_nStartPosition = source.GetPosition();
        run->m_progressProc = &m_progressProc;
        run->m_nProgressUser = m_nProgressUser;
        run->Run();
    } catch (...) {
        // Whatever reached the output buffer still goes out before the error propagates.
        if (run) {
            try {
                run->FlushOut();
            } catch (...) {
            }
        }
        throw;
    }
    return 1;
}

int CCompressor::CompressMemory(IByteSink& sink, const void* data, uint32_t size)
{
    CMemorySource source(data, size);
    return CompressFile(sink, source, size);
}

std::vector<uint8_t> CCompressor::Pack(const void* data, size_t size)
{
    CMemorySink sink;
    CMemorySource source(data, size);
    CCompressor compressor;
    compressor.CompressFile(sink, source, size);
    return sink.Take();
}

}  // namespace velkan
