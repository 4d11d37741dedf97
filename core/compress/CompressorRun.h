// The state of one run of the encoder (CCompressor), shared by its two stages as zlib's deflate.h
// is by deflate.c and trees.c: the match finder (CompressorMatchFinder.cpp) turns the input into
// literals and matches, the trees (CompressorTrees.cpp) turn each block of them into codes. The bit
// writer and the recording of symbols are here, inline, since both stages run them per symbol.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/compress/CCompressor.h"
#include "core/compress/PackFormat.h"

namespace velkan {

// Sizes of the run's buffers; the tuning of the search is with the match finder.
namespace encoder {

// The window: two 32 KiB halves plus 16 spare bytes, so a compare may read a word past the end of
// the deepest 258-byte match without leaving the buffer.
constexpr unsigned kWSize = 32768;
constexpr unsigned kWMask = kWSize - 1;
constexpr unsigned kWindowSize = 2 * kWSize;
constexpr unsigned kWindowAlloc = kWindowSize + 16;
// The hash chains: positions hashed on their next three bytes into 13 bits.
constexpr unsigned kHashBits = 13;
constexpr unsigned kHashSize = 1u << kHashBits;
constexpr unsigned kHashMask = kHashSize - 1;
// Finer indexes over the same positions, hashed on longer keys (see LongestMatch).
constexpr unsigned kFineHashBits = 16;
constexpr unsigned kFineHashSize = 1u << kFineHashBits;
// The key indexes' levels (key lengths with the match finder).
constexpr unsigned kKeyLevels = 4;

// Output: gathered in a buffer written out 4,096 bytes at a time.
constexpr unsigned kOutBufSize = 4096;

// Symbol buffers of one block.
constexpr unsigned kLitBufSize = 8192;
constexpr unsigned kDistBufSize = 8192;

// The heap that builds a tree holds every leaf and inner node of the literal/length tree.
constexpr int kHeapSize = 2 * pack::kLitLenCodes + 1;  // 573

}  // namespace encoder

// The whole state of one run. The compressor keeps it from run to run; each run starts with
// everything zero-filled (Clear) except the chain links, which a run reads only at positions it
// has indexed itself.
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

    // The chain links (see LongestMatch): per key length, the previous position whose first
    // bytes hash alike in 16 bits; and each position's rank in its 13-bit chain, from a running
    // count per 13-bit head (m_hashCount).
    uint16_t m_keyPrev[encoder::kKeyLevels][encoder::kWSize];
    uint32_t m_seq[encoder::kWSize];

    // Source, sink and progress; everything from here on is zero-filled for each run.
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
    uint8_t m_window[encoder::kWindowAlloc];
    uint16_t m_head[encoder::kHashSize];
    uint16_t m_keyHead[encoder::kKeyLevels][encoder::kFineHashSize];
    uint32_t m_hashCount[encoder::kHashSize];
    unsigned m_nHash = 0;
    unsigned m_nKeyed = 0;  // the first position not yet indexed in the key levels above 0
    unsigned m_nStrStart = 0;
    int m_nMatchStart = 0;  // goes negative when a stale start slides out
    unsigned m_nLookahead = 0;
    long long m_nBlockStart = 0;
    bool m_bEof = false;

    // Trees.
    CNode m_dynLtree[encoder::kHeapSize];
    CNode m_dynDtree[2 * pack::kDistCodes + 1];
    CNode m_blTree[2 * pack::kCodeLengthCodes + 1];
    CNode m_staticLtree[pack::kFixedLitLenCodes];
    CNode m_staticDtree[pack::kDistCodes];
    CTreeDesc m_lDesc{};
    CTreeDesc m_dDesc{};
    CTreeDesc m_blDesc{};
    uint16_t m_blCount[pack::kMaxCodeBits + 1];
    int m_heap[encoder::kHeapSize];
    int m_nHeapLen = 0;
    int m_nHeapMax = 0;
    uint8_t m_depth[encoder::kHeapSize];

    // Derived tables.
    uint8_t m_lengthCode[256];
    int m_baseLength[pack::kLengthCodes];
    uint8_t m_distCode[512];
    int m_baseDist[pack::kDistCodes];

    // Symbol buffers of the current block.
    uint8_t m_lBuf[encoder::kLitBufSize];
    uint16_t m_dBuf[encoder::kDistBufSize];
    uint8_t m_flagBuf[encoder::kLitBufSize / 8];
    unsigned m_nLastLit = 0;
    unsigned m_nLastDist = 0;
    unsigned m_nLastFlags = 0;
    uint8_t m_flags = 0;
    uint8_t m_flagBit = 1;

    // Estimated bit lengths of the current block (header excluded).
    long long m_nOptLen = 0;
    long long m_nStaticLen = 0;

    void Clear()
    {
        std::memset(static_cast<void*>(&m_source), 0, sizeof(CRun) - offsetof(CRun, m_source));
    }
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
        if (m_nOutCount == encoder::kOutBufSize) FlushOut();
    }
    void PutShort(unsigned w)
    {
        PutByte(static_cast<uint8_t>(w));
        PutByte(static_cast<uint8_t>(w >> 8));
    }
    void PutWord32(uint32_t w)
    {
        if (m_nOutCount + 4 <= encoder::kOutBufSize) {
            uint8_t* p = m_outBuf + m_nOutCount;
            p[0] = static_cast<uint8_t>(w);
            p[1] = static_cast<uint8_t>(w >> 8);
            p[2] = static_cast<uint8_t>(w >> 16);
            p[3] = static_cast<uint8_t>(w >> 24);
            m_nOutCount += 4;
            if (m_nOutCount == encoder::kOutBufSize) FlushOut();
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
    inline unsigned InsertString(unsigned s);
    inline void InsertKeys(unsigned s);
    unsigned LongestMatch(unsigned curMatch, unsigned prevLength);
    void FillWindow();
    // Fills the window until the lookahead suffices or the source has ended.
    inline void Refill();
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
    m_dynLtree[m_lengthCode[lc] + pack::kLiterals + 1].fc++;
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
        for (int dcode = 0; dcode < pack::kDistCodes; ++dcode) {
            outLength += static_cast<unsigned long long>(m_dynDtree[dcode].fc) *
                         (5 + pack::kDistExtraBits[dcode]);
        }
        outLength >>= 3;
        if (m_nLastDist < m_nLastLit / 2 && outLength < inLength / 2) return true;
    }
    return m_nLastLit == encoder::kLitBufSize - 1 || m_nLastDist == encoder::kDistBufSize;
}

}  // namespace velkan
