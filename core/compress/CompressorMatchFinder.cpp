// The encoder's first stage: the match finder, which turns the input into literals and matches.
//
// A 64 KiB window (two 32 KiB halves) holds the input; every position is hashed on its next three
// bytes into 13-bit hash chains. Matching is lazy: a match found at one position is only taken
// when the next position does not find a longer one. The window slides by 32 KiB when the current
// position reaches the upper half's usable end, so distances never exceed 32,506. Each literal or
// match is recorded for the block (CompressorRun.h); when a block must end, the trees stage
// (CompressorTrees.cpp) writes it.
//
// Every step below is part of the format contract: the same input must give the same bytes as
// any other conforming encoder, so the rules are followed literally, including the odd ones
// (stale bytes beyond the lookahead take part in match searches, the block start goes negative
// after a slide). Speed comes only from how a step is done (word-wide compares, no per-byte
// virtual calls), never from changing what it does.
#include <algorithm>
#include <bit>
#include <cstring>

#include "core/compress/CompressorRun.h"

namespace velkan {

using namespace pack;
using namespace encoder;

namespace {

// Tuning of the search. (The window and hash sizes are in CompressorRun.h.)
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

// Indexes position s in all three chains; returns the previous head of its 13-bit chain.
inline unsigned CCompressor::CRun::InsertString(unsigned s)
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

inline void CCompressor::CRun::Refill()
{
    do {
        FillWindow();
    } while (m_nLookahead < kMinLookahead && !m_bEof);
}

// ---- Start of a run -----------------------------------------------------------------------------

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

}  // namespace velkan
