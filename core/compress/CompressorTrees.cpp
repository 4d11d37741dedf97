// The encoder's second stage: the Huffman trees, which turn one block of recorded literals and
// matches into bits.
//
// A block is written stored, with the fixed codes or with dynamic Huffman codes, whichever the
// estimated sizes say is smallest (ties: stored, then fixed). Dynamic codes are built from the
// block's symbol counts, limited to 15 bits (7 for the code-length code) and sent as canonical
// codes, the code lengths themselves run-length coded.
//
// As with the match finder, every rule is part of the format contract, including the estimate
// bookkeeping around filler symbols: the same block must give the same bits.
#include <algorithm>

#include "core/compress/CompressorRun.h"

namespace velkan {

using namespace pack;
using namespace encoder;

namespace {

// Run-length symbols of the code-length code.
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

}  // namespace

// ---- Tables of a run ----------------------------------------------------------------------------

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

namespace {

// Walks tree[0..maxCode]'s code lengths as the code-length alphabet sends them: a length alone,
// a repeat of the previous length, or a run of zeros; emit(symbol, extra, extraBits) for each
// symbol in order. Counting and sending walk the same runs, so they cannot disagree.
template <class Node, class Emit>
void WalkCodeLengths(const Node* tree, int maxCode, Emit&& emit)
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
                emit(curLen, 0, 0);
            } while (--count != 0);
        } else if (curLen != 0) {
            if (curLen != prevLen) {
                emit(curLen, 0, 0);
                count--;
            }
            emit(kRep3To6, count - 3, 2);
        } else if (count <= 10) {
            emit(kRepZero3To10, count - 3, 3);
        } else {
            emit(kRepZero11To138, count - 11, 7);
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

}  // namespace

// Counts the code-length symbols that SendTree will send for tree[0..maxCode].
void CCompressor::CRun::ScanTree(const CNode* tree, int maxCode)
{
    WalkCodeLengths(tree, maxCode, [this](int symbol, int, unsigned) { m_blTree[symbol].fc++; });
}

void CCompressor::CRun::SendTree(const CNode* tree, int maxCode)
{
    WalkCodeLengths(tree, maxCode, [this](int symbol, int extra, unsigned extraBits) {
        SendCode(symbol, m_blTree);
        if (extraBits) SendBits(static_cast<unsigned>(extra), extraBits);
    });
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

}  // namespace velkan
