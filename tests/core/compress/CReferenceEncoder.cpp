#include "CReferenceEncoder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace velkan::test {

namespace {

constexpr unsigned kHalf = 32768;                // one half of the window
constexpr unsigned kMaxDist = 32506;             // 32,768 - 262: farthest distance ever emitted
constexpr unsigned kSlideAt = kHalf + kMaxDist;  // 65,274
constexpr unsigned kWindowSize = 65536;          // working size
constexpr unsigned kMinLookahead = 262;          // 258 + 3 + 1
constexpr unsigned kMaxMatch = 258;
constexpr unsigned kTooFar = 4096;  // 3-byte matches farther back are not worth it
constexpr unsigned kHashMask = 0x1FFF;
constexpr unsigned kWindowMask = 0x7FFF;
constexpr unsigned kSymbolLimit = 8191;
constexpr unsigned kMatchLimit = 8192;

const int kExtraLength[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kExtraDist[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const int kExtraCodeLength[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
const int kTransmitOrder[19] = {18, 17, 16, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

unsigned Reverse(unsigned code, int length)
{
    unsigned result = 0;
    for (int i = 0; i < length; ++i) {
        result = (result << 1) | (code & 1);
        code >>= 1;
    }
    return result;
}

// Canonical codes from lengths: shorter codes first, equal lengths in symbol order.
std::vector<uint16_t> CanonicalCodes(const std::vector<int>& lengths, const unsigned* count)
{
    unsigned next[16] = {};
    unsigned code = 0;
    for (int bits = 1; bits <= 15; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (size_t n = 0; n < lengths.size(); ++n) {
        int len = lengths[n];
        if (len == 0) continue;
        codes[n] = static_cast<uint16_t>(Reverse(next[len]++, len));
    }
    return codes;
}

}  // namespace

CReferenceEncoder::CReferenceEncoder(bool slideAfterEnd) : m_slideAfterEnd(slideAfterEnd) {}

// ---------------------------------------------------------------------------------------------
// Bits: least significant bit first, bytes in order.

void CReferenceEncoder::SendBits(unsigned value, int length)
{
    for (int i = 0; i < length; ++i) {
        m_bitBuf |= ((value >> i) & 1u) << m_bitCount;
        if (++m_bitCount == 8) {
            m_out.push_back(static_cast<uint8_t>(m_bitBuf));
            m_bitBuf = 0;
            m_bitCount = 0;
        }
    }
}

void CReferenceEncoder::PadToByte()
{
    if (m_bitCount > 0) {
        m_out.push_back(static_cast<uint8_t>(m_bitBuf));
        m_bitBuf = 0;
        m_bitCount = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Start of a run.

void CReferenceEncoder::StartRun()
{
    // Length codes 0..27 cover lengths 3..257 (index length - 3); 258 gets code 28 on its own.
    int length = 0;
    int code = 0;
    for (code = 0; code < 28; ++code) {
        m_baseLength[code] = length;
        for (int n = 0; n < (1 << kExtraLength[code]); ++n)
            m_lengthCode[length++] = static_cast<uint8_t>(code);
    }
    if (length != 256) throw std::logic_error("length table");
    m_lengthCode[255] = static_cast<uint8_t>(code);
    m_baseLength[28] = 255;  // never used: code 28 has no extra bits

    int dist = 0;
    for (code = 0; code < 16; ++code) {
        m_baseDist[code] = dist;
        for (int n = 0; n < (1 << kExtraDist[code]); ++n)
            m_distCode[dist++] = static_cast<uint8_t>(code);
    }
    if (dist != 256) throw std::logic_error("distance table");
    dist >>= 7;
    for (; code < 30; ++code) {
        m_baseDist[code] = dist << 7;
        for (int n = 0; n < (1 << (kExtraDist[code] - 7)); ++n)
            m_distCode[256 + dist++] = static_cast<uint8_t>(code);
    }
    if (dist != 256) throw std::logic_error("distance table (upper half)");

    m_fixedLitLength.assign(288, 0);
    unsigned count[16] = {};
    for (int n = 0; n < 288; ++n) {
        int len = n <= 143 ? 8 : n <= 255 ? 9 : n <= 279 ? 7 : 8;
        m_fixedLitLength[n] = len;
        ++count[len];
    }
    m_fixedLitCode = CanonicalCodes(m_fixedLitLength, count);
    m_fixedDistLength.assign(30, 5);
    m_fixedDistCode.assign(30, 0);
    for (int n = 0; n < 30; ++n) m_fixedDistCode[n] = static_cast<uint16_t>(Reverse(n, 5));

    auto setup = [](CTree& t, int elems, int extraBase, const int* extra, int maxLength,
                    const std::vector<int>* fixed, unsigned* overflow) {
        t.elems = elems;
        t.extraBase = extraBase;
        t.extra = extra;
        t.maxLength = maxLength;
        t.fixedLength = fixed;
        t.freq.assign(2 * elems + 1, 0);
        t.dad.assign(2 * elems + 1, 0);
        t.len.assign(2 * elems + 1, 0);
        t.code.assign(2 * elems + 1, 0);
        t.maxCode = -1;
        t.overflowCounter = overflow;
    };
    setup(m_lit, 286, 257, kExtraLength, 15, &m_fixedLitLength, &m_stats.literalOverflows);
    setup(m_dist, 30, 0, kExtraDist, 15, &m_fixedDistLength, &m_stats.distanceOverflows);
    setup(m_bl, 19, 0, kExtraCodeLength, 7, nullptr, &m_stats.codeLengthOverflows);
    InitBlock();

    // The window has room past its working size so that the other reading (no slide after the
    // end) can be run without reading out of bounds.
    m_window.assign(kWindowSize + 16 + (m_slideAfterEnd ? 0 : 2 * kMaxMatch), 0);
    m_prev.assign(kHalf, 0);
    m_head.assign(8192, 0);
    m_strStart = 0;
    m_blockStart = 0;
    m_matchStart = 0;
    m_insH = 0;
    m_eof = false;

    unsigned got = 0;
    ReadInput(0, kHalf, got);
    if (got == 0) {
        m_eof = true;
        m_lookahead = 0;
        return;
    }
    m_lookahead = got;
    if (m_lookahead < kMinLookahead) Refill();
    m_insH = ((m_insH << 5) ^ m_window[0]) & kHashMask;
    m_insH = ((m_insH << 5) ^ m_window[1]) & kHashMask;
}

void CReferenceEncoder::ReadInput(unsigned offset, unsigned count, unsigned& got)
{
    size_t n = std::min<size_t>(count, m_inputSize - m_inputPos);
    if (n) std::memcpy(&m_window[offset], m_input + m_inputPos, n);
    m_inputPos += n;
    got = static_cast<unsigned>(n);
}

// ---------------------------------------------------------------------------------------------
// Refill: slide when the position has passed 65,274, then read what fits.

void CReferenceEncoder::Refill()
{
    do {
        unsigned more = kWindowSize - m_lookahead - m_strStart;
        if (m_strStart >= kSlideAt) {
            std::memmove(&m_window[0], &m_window[kHalf], kHalf);
            m_matchStart -= kHalf;  // may wrap when stale; only differences of it are used
            m_strStart -= kHalf;
            m_blockStart -= static_cast<long>(kHalf);
            for (auto& h : m_head) h = static_cast<uint16_t>(h >= kHalf ? h - kHalf : 0);
            for (auto& p : m_prev) p = static_cast<uint16_t>(p >= kHalf ? p - kHalf : 0);
            more += kHalf;
            ++m_stats.slides;
            if (m_eof) ++m_stats.slidesAfterEnd;
        }
        if (!m_eof) {
            unsigned got = 0;
            ReadInput(m_strStart + m_lookahead, more, got);
            if (got == 0)
                m_eof = true;
            else
                m_lookahead += got;
        }
    } while (m_lookahead < kMinLookahead && !m_eof);
}

// ---------------------------------------------------------------------------------------------
// Hashing and the longest match.

unsigned CReferenceEncoder::InsertString(unsigned pos)
{
    m_insH = ((m_insH << 5) ^ m_window[pos + 2]) & kHashMask;
    unsigned head = m_head[m_insH];
    m_prev[pos & kWindowMask] = static_cast<uint16_t>(head);
    m_head[m_insH] = static_cast<uint16_t>(pos);
    return head;
}

unsigned CReferenceEncoder::LongestMatch(unsigned curMatch, unsigned prevLength)
{
    unsigned chainLimit = prevLength >= 32 ? 1024 : 4096;
    unsigned bestLen = prevLength;
    const unsigned limit = m_strStart > kMaxDist ? m_strStart - kMaxDist : 0;
    const uint8_t* scan = &m_window[m_strStart];
    for (;;) {
        const uint8_t* match = &m_window[curMatch];
        if (match[bestLen] == scan[bestLen] && match[bestLen - 1] == scan[bestLen - 1] &&
            match[0] == scan[0] && match[1] == scan[1]) {
            unsigned len = 2;
            while (len < kMaxMatch && match[len] == scan[len]) ++len;
            if (len > bestLen) {
                m_matchStart = curMatch;
                bestLen = len;
                if (len >= kMaxMatch) break;
            }
        }
        curMatch = m_prev[curMatch & kWindowMask];
        if (curMatch <= limit || --chainLimit == 0) break;
    }
    return bestLen;
}

// ---------------------------------------------------------------------------------------------
// Recording symbols.

unsigned CReferenceEncoder::DistCode(unsigned distMinus1) const
{
    return distMinus1 < 256 ? m_distCode[distMinus1] : m_distCode[256 + (distMinus1 >> 7)];
}

// dist is 0 for a literal (lc = the byte), else the distance (lc = length - 3). True when the
// block must end.
bool CReferenceEncoder::Tally(unsigned dist, unsigned lc)
{
    m_symLc.push_back(static_cast<uint8_t>(lc));
    ++m_lastLit;
    if (dist == 0) {
        ++m_lit.freq[lc];
        m_symIsMatch.push_back(false);
        m_symDist.push_back(0);
        ++m_stats.literals;
    } else {
        m_stats.longestDistance = std::max(m_stats.longestDistance, dist);
        --dist;
        ++m_lit.freq[m_lengthCode[lc] + 257];
        ++m_dist.freq[DistCode(dist)];
        m_symDist.push_back(static_cast<uint16_t>(dist));
        m_symIsMatch.push_back(true);
        ++m_lastDist;
        ++m_stats.matches;
    }
    m_endedByEstimate = false;
    if (m_lastLit % 4096 == 0) {
        unsigned long long estimate = static_cast<unsigned long long>(m_lastLit) * 8;
        for (int d = 0; d < 30; ++d)
            estimate += static_cast<unsigned long long>(m_dist.freq[d]) * (5 + kExtraDist[d]);
        estimate /= 8;
        long long inLength = static_cast<long long>(m_strStart) - m_blockStart;
        if (m_lastDist < m_lastLit / 2 && static_cast<long long>(estimate) < inLength / 2) {
            m_endedByEstimate = true;
            return true;
        }
    }
    return m_lastLit == kSymbolLimit || m_lastDist == kMatchLimit;
}

void CReferenceEncoder::InitBlock()
{
    std::fill(m_lit.freq.begin(), m_lit.freq.end(), 0u);
    std::fill(m_dist.freq.begin(), m_dist.freq.end(), 0u);
    std::fill(m_bl.freq.begin(), m_bl.freq.end(), 0u);
    m_lit.freq[256] = 1;
    m_optLen = 0;
    m_staticLen = 0;
    m_lastLit = 0;
    m_lastDist = 0;
    m_symLc.clear();
    m_symDist.clear();
    m_symIsMatch.clear();
}

// ---------------------------------------------------------------------------------------------
// Trees.

void CReferenceEncoder::BuildTree(CTree& t)
{
    const int elems = t.elems;
    std::vector<int> heap(2 * elems + 2, 0);  // 1-based
    std::vector<uint8_t> depth(2 * elems + 1, 0);
    std::vector<int> taken;  // nodes in the order they were taken, then the root
    int heapLen = 0;
    int maxCode = -1;

    for (int n = 0; n < elems; ++n) {
        if (t.freq[n] != 0) {
            heap[++heapLen] = maxCode = n;
            depth[n] = 0;
        } else {
            t.len[n] = 0;
        }
    }
    while (heapLen < 2) {
        int added = maxCode < 2 ? ++maxCode : 0;
        heap[++heapLen] = added;
        t.freq[added] = 1;
        depth[added] = 0;
        m_optLen -= 1;
        if (t.fixedLength) m_staticLen -= (*t.fixedLength)[added];
    }
    t.maxCode = maxCode;

    auto smaller = [&](int a, int b) {
        return t.freq[a] < t.freq[b] || (t.freq[a] == t.freq[b] && depth[a] <= depth[b]);
    };
    auto downHeap = [&](int k) {
        int v = heap[k];
        int j = k << 1;
        while (j <= heapLen) {
            if (j < heapLen && smaller(heap[j + 1], heap[j])) ++j;
            if (smaller(v, heap[j])) break;
            heap[k] = heap[j];
            k = j;
            j <<= 1;
        }
        heap[k] = v;
    };
    for (int n = heapLen / 2; n >= 1; --n) downHeap(n);

    int node = elems;
    do {
        int n = heap[1];
        heap[1] = heap[heapLen--];
        downHeap(1);
        int m = heap[1];
        taken.push_back(n);
        taken.push_back(m);
        t.freq[node] = t.freq[n] + t.freq[m];
        depth[node] = static_cast<uint8_t>(std::max(depth[n], depth[m]) + 1);
        t.dad[n] = t.dad[m] = node;
        heap[1] = node++;
        downHeap(1);
    } while (heapLen >= 2);
    taken.push_back(heap[1]);

    // Lengths, walking from the root (the last node stored) towards the first nodes taken.
    unsigned count[16] = {};
    int overflow = 0;
    const int root = taken.back();
    t.len[root] = 0;
    for (int i = static_cast<int>(taken.size()) - 2; i >= 0; --i) {
        int n = taken[i];
        int bits = t.len[t.dad[n]] + 1;
        if (bits > t.maxLength) {
            bits = t.maxLength;
            ++overflow;
        }
        t.len[n] = bits;
        if (n > maxCode) continue;  // inner node
        ++count[bits];
        int xbits = n >= t.extraBase ? t.extra[n - t.extraBase] : 0;
        m_optLen += static_cast<long long>(t.freq[n]) * (bits + xbits);
        if (t.fixedLength)
            m_staticLen += static_cast<long long>(t.freq[n]) * ((*t.fixedLength)[n] + xbits);
    }

    if (overflow > 0) {
        ++*t.overflowCounter;
        do {
            int bits = t.maxLength - 1;
            while (count[bits] == 0) --bits;
            --count[bits];
            count[bits + 1] += 2;
            --count[t.maxLength];
            overflow -= 2;
        } while (overflow > 0);
        // Re-assign from the least frequent end of the stored order.
        int h = 0;
        for (int bits = t.maxLength; bits != 0; --bits) {
            unsigned n = count[bits];
            while (n != 0) {
                int m = taken[h++];
                if (m > maxCode) continue;
                if (t.len[m] != bits) {
                    m_optLen += (static_cast<long long>(bits) - t.len[m]) * t.freq[m];
                    t.len[m] = bits;
                }
                --n;
            }
        }
    }

    std::vector<int> lengths(t.len.begin(), t.len.begin() + (maxCode + 1));
    std::vector<uint16_t> codes = CanonicalCodes(lengths, count);
    for (int n = 0; n <= maxCode; ++n) t.code[n] = codes[n];
}

// Run-length coding of one sequence of lengths (0..maxCode, then the sentinel). Counting only
// (ScanTree) or sending (SendTree) go through the same walk.
namespace {

template <typename Emit>
void WalkLengths(const std::vector<int>& lens, int maxCode, Emit emit)
{
    std::vector<int> seq(lens.begin(), lens.begin() + (maxCode + 1));
    seq.push_back(0xFFFF);
    int prevLen = -1;
    int nextLen = seq[0];
    int count = 0;
    int maxCount = 7;
    int minCount = 4;
    if (nextLen == 0) {
        maxCount = 138;
        minCount = 3;
    }
    for (int n = 0; n <= maxCode; ++n) {
        int curLen = nextLen;
        nextLen = seq[n + 1];
        if (++count < maxCount && curLen == nextLen) continue;
        if (count < minCount) {
            for (int i = 0; i < count; ++i) emit(curLen, -1, 0);
        } else if (curLen != 0) {
            if (curLen != prevLen) {
                emit(curLen, -1, 0);
                --count;
            }
            emit(16, count - 3, 2);
        } else if (count <= 10) {
            emit(17, count - 3, 3);
        } else {
            emit(18, count - 11, 7);
        }
        count = 0;
        prevLen = curLen;
        if (nextLen == 0) {
            maxCount = 138;
            minCount = 3;
        } else if (curLen == nextLen) {
            maxCount = 6;
            minCount = 3;
        } else {
            maxCount = 7;
            minCount = 4;
        }
    }
}

}  // namespace

void CReferenceEncoder::ScanTree(const CTree& tree)
{
    WalkLengths(tree.len, tree.maxCode, [&](int sym, int, int) { ++m_bl.freq[sym]; });
}

void CReferenceEncoder::SendTree(const CTree& tree)
{
    WalkLengths(tree.len, tree.maxCode, [&](int sym, int extra, int extraBits) {
        SendBits(m_bl.code[sym], m_bl.len[sym]);
        if (extraBits) SendBits(static_cast<unsigned>(extra), extraBits);
    });
}

int CReferenceEncoder::BuildCodeLengthTree()
{
    ScanTree(m_lit);
    ScanTree(m_dist);
    BuildTree(m_bl);
    int maxIndex;
    for (maxIndex = 18; maxIndex >= 3; --maxIndex)
        if (m_bl.len[kTransmitOrder[maxIndex]] != 0) break;
    m_optLen += 3 * (maxIndex + 1) + 5 + 5 + 4;
    return maxIndex;
}

void CReferenceEncoder::SendAllTrees(int lcodes, int dcodes, int blcodes)
{
    SendBits(static_cast<unsigned>(lcodes - 257), 5);
    SendBits(static_cast<unsigned>(dcodes - 1), 5);
    SendBits(static_cast<unsigned>(blcodes - 4), 4);
    for (int rank = 0; rank < blcodes; ++rank)
        SendBits(static_cast<unsigned>(m_bl.len[kTransmitOrder[rank]]), 3);
    SendTree(m_lit);
    SendTree(m_dist);
}

void CReferenceEncoder::CompressBlock(const std::vector<uint16_t>& lcode,
                                      const std::vector<int>& llen,
                                      const std::vector<uint16_t>& dcode,
                                      const std::vector<int>& dlen)
{
    for (size_t i = 0; i < m_symLc.size(); ++i) {
        unsigned lc = m_symLc[i];
        if (!m_symIsMatch[i]) {
            SendBits(lcode[lc], llen[lc]);
            continue;
        }
        unsigned code = m_lengthCode[lc];
        SendBits(lcode[code + 257], llen[code + 257]);
        if (kExtraLength[code]) SendBits(lc - m_baseLength[code], kExtraLength[code]);
        unsigned dist = m_symDist[i];
        code = DistCode(dist);
        SendBits(dcode[code], dlen[code]);
        if (kExtraDist[code]) SendBits(dist - m_baseDist[code], kExtraDist[code]);
    }
    SendBits(lcode[256], llen[256]);
}

// ---------------------------------------------------------------------------------------------
// Block emission.

void CReferenceEncoder::FlushBlock(bool last)
{
    const bool haveBytes = m_blockStart >= 0;
    const long long storedLen = static_cast<long long>(m_strStart) - m_blockStart;
    m_stats.maxBlockSymbols = std::max(m_stats.maxBlockSymbols, m_lastLit);

    BuildTree(m_lit);
    BuildTree(m_dist);
    int maxBlIndex = BuildCodeLengthTree();

    long long optBytes = (m_optLen + 10) / 8;
    long long staticBytes = (m_staticLen + 10) / 8;
    long long best = std::min(optBytes, staticBytes);

    const unsigned lastBit = last ? 8 : 0;
    if (storedLen + 2 <= best && haveBytes) {
        if (storedLen > 65535) throw std::logic_error("stored block longer than 65,535 bytes");
        ++m_stats.storedBlocks;
        SendBits(7 + lastBit, 4);
        PadToByte();
        m_out.push_back(static_cast<uint8_t>(storedLen & 0xFF));
        m_out.push_back(static_cast<uint8_t>(storedLen >> 8));
        m_out.insert(m_out.end(), m_window.begin() + m_blockStart,
                     m_window.begin() + m_blockStart + storedLen);
    } else if (staticBytes == best) {
        if (storedLen + 2 <= best) ++m_stats.storedRefusedNoBytes;
        ++m_stats.fixedBlocks;
        SendBits(5 + lastBit, 4);
        CompressBlock(m_fixedLitCode, m_fixedLitLength, m_fixedDistCode, m_fixedDistLength);
    } else {
        if (storedLen + 2 <= best) ++m_stats.storedRefusedNoBytes;
        ++m_stats.dynamicBlocks;
        SendBits(6 + lastBit, 4);
        SendAllTrees(m_lit.maxCode + 1, m_dist.maxCode + 1, maxBlIndex + 1);
        CompressBlock(m_lit.code, m_lit.len, m_dist.code, m_dist.len);
    }
    InitBlock();
    if (last) PadToByte();
}

// ---------------------------------------------------------------------------------------------
// The main loop with lazy matching.

std::vector<uint8_t> CReferenceEncoder::Encode(const uint8_t* data, size_t size)
{
    m_stats = CStats();
    m_out.clear();
    m_bitBuf = 0;
    m_bitCount = 0;
    m_input = data;
    m_inputSize = size;
    m_inputPos = 0;

    StartRun();

    auto endBlock = [&]() {
        if (m_endedByEstimate)
            ++m_stats.endedByEstimate;
        else
            ++m_stats.endedBySymbolLimit;
        FlushBlock(false);
        m_blockStart = static_cast<long>(m_strStart);
    };

    unsigned matchLength = 2;
    unsigned prevLength = 2;
    unsigned prevMatch = 0;
    bool literalPending = false;
    while (m_lookahead != 0) {
        unsigned candidate = InsertString(m_strStart);
        prevLength = matchLength;
        prevMatch = m_matchStart;
        matchLength = 2;
        if (candidate != 0 && prevLength < kMaxMatch && m_strStart - candidate <= kMaxDist) {
            matchLength = LongestMatch(candidate, prevLength);
            if (matchLength > m_lookahead) matchLength = m_lookahead;
            if (matchLength == 3 && m_strStart - m_matchStart > kTooFar) matchLength = 2;
        }
        if (prevLength >= 3 && matchLength <= prevLength) {
            bool end = Tally(m_strStart - 1 - prevMatch, prevLength - 3);
            m_lookahead -= prevLength - 1;
            for (unsigned i = 0; i < prevLength - 2; ++i) {
                ++m_strStart;
                InsertString(m_strStart);
            }
            ++m_strStart;
            literalPending = false;
            matchLength = 2;
            if (end) endBlock();
        } else if (literalPending) {
            if (Tally(0, m_window[m_strStart - 1])) endBlock();
            ++m_strStart;
            --m_lookahead;
        } else {
            literalPending = true;
            ++m_strStart;
            --m_lookahead;
        }
        if (m_lookahead < kMinLookahead && (m_slideAfterEnd || !m_eof)) Refill();
    }
    if (literalPending) Tally(0, m_window[m_strStart - 1]);
    FlushBlock(true);
    PadToByte();
    return m_out;
}

}  // namespace velkan::test
