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
#include <utility>

#include "core/compress/CompressorRun.h"
#include "core/stream/LittleEndian.h"

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

// Key lengths of the indexes: level 0 is the three bytes every match shares; each deeper level
// serves a search whose best match is at least one byte shorter than its key. Chosen on the
// benchmark trees: each level cuts the candidates visited by half or more, and a fifth did not
// pay for its indexing.
constexpr unsigned kKeyLength[kKeyLevels] = {3, 5, 8, 16};

constexpr uint64_t FirstBytesMask(unsigned n)
{
    if (n >= 8) return ~uint64_t(0);
    if (n == 0) return 0;
    if constexpr (std::endian::native == std::endian::little) {
        return (uint64_t(1) << (8 * n)) - 1;
    } else {
        return ~uint64_t(0) << (64 - 8 * n);
    }
}

// The first kKeyLength[level] bytes at p as two words (p + 16 must be readable).
struct CKey {
    uint64_t lo;
    uint64_t hi;
    bool operator==(const CKey&) const = default;
};
template <unsigned level>
inline CKey KeyAt(uint64_t lo, uint64_t hi)
{
    constexpr unsigned n = kKeyLength[level];
    return {lo & FirstBytesMask(n), n > 8 ? hi & FirstBytesMask(n - 8) : 0};
}
inline CKey KeyAt(const uint8_t* p, unsigned level)
{
    const unsigned n = kKeyLength[level];
    return {Load64(p) & FirstBytesMask(n), n > 8 ? Load64(p + 8) & FirstBytesMask(n - 8) : 0};
}
inline CKey LevelMask(unsigned level)
{
    const unsigned n = kKeyLength[level];
    return {FirstBytesMask(n), n > 8 ? FirstBytesMask(n - 8) : 0};
}
inline unsigned KeyHash(const CKey& key)
{
    return static_cast<unsigned>(
        (key.lo * 0x9E3779B97F4A7C15ull + key.hi * 0xC2B2AE3D27D4EB4Full) >> (64 - kFineHashBits));
}

// Count of equal leading bytes of a and b, at most 258. Reads up to 263 bytes of each.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b)
{
    unsigned len = 0;
    do {
        // The lowest differing bit of the little-endian words lies in the first differing byte.
        uint64_t diff = LoadLE64(a + len) ^ LoadLE64(b + len);
        if (diff) {
            len += static_cast<unsigned>(std::countr_zero(diff)) >> 3;
            return std::min(len, static_cast<unsigned>(kMaxMatch));
        }
        len += 8;
    } while (len < static_cast<unsigned>(kMaxMatch));
    return kMaxMatch;
}

// Moves the positions of a head or chain table down with the window; those that slid out
// become 0, the end of every chain.
inline void SlideDown(uint16_t* table, unsigned count)
{
    for (unsigned i = 0; i < count; ++i) {
        unsigned m = table[i];
        table[i] = static_cast<uint16_t>(m >= kWSize ? m - kWSize : 0);
    }
}

}  // namespace

// Indexes position s in the 13-bit chain and in the key index of level 0; returns the previous
// head of its 13-bit chain.
inline unsigned CCompressor::CRun::InsertString(unsigned s)
{
    m_nHash = ((m_nHash << kHashShift) ^ m_window[s + kMinMatch - 1]) & kHashMask;
    unsigned head = m_head[m_nHash];
    m_head[m_nHash] = static_cast<uint16_t>(s);
    m_seq[s & kWMask] = ++m_hashCount[m_nHash];
    const unsigned fine = KeyHash(KeyAt<0>(Load64(m_window + s), 0));
    m_keyPrev[0][s & kWMask] = m_keyHead[0][fine];
    m_keyHead[0][fine] = static_cast<uint16_t>(s);
    return head;
}

// Indexes position s in the deeper key indexes. Their keys reach further than the lookahead
// guarantees when a position is passed inside a match, so positions are indexed there only when
// a search needs them, once all their key bytes are input (see LongestMatch).
inline void CCompressor::CRun::InsertKeys(unsigned s)
{
    const uint64_t lo = Load64(m_window + s);
    const uint64_t hi = Load64(m_window + s + 8);
    [&]<unsigned... l>(std::integer_sequence<unsigned, l...>)
    {
        (
            (void)[&] {
                if constexpr (l > 0) {
                    const unsigned h = KeyHash(KeyAt<l>(lo, hi));
                    m_keyPrev[l][s & kWMask] = m_keyHead[l][h];
                    m_keyHead[l][h] = static_cast<uint16_t>(s);
                }
            }(),
            ...);
    }
    (std::make_integer_sequence<unsigned, kKeyLevels>{});
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
        SlideDown(m_head, kHashSize);
        for (unsigned l = 0; l < kKeyLevels; ++l) {
            SlideDown(m_keyHead[l], kFineHashSize);
            SlideDown(m_keyPrev[l], kWSize);
        }
        m_nKeyed = std::max(m_nKeyed, kWSize) - kWSize;
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
// The walk is done on the key indexes instead, which skip the many 13-bit neighbours that cannot
// match. That gives the same result: a candidate can only match 3 bytes or more (the best is at
// least 2 here) if its first three bytes equal the current ones, and those positions are exactly
// the ones of the 13-bit chain that agree on the first two bytes (equal first two bytes and equal
// 13-bit hash force an equal third byte). Such a candidate sits in the same 13-bit chain, so its
// place in that walk is the difference of the two positions' ranks; the walk ends where the
// 13-bit one would have stopped counting. Ranks only grow along the walk, so they are checked
// exactly where it matters (before a candidate is taken) and otherwise every 64 candidates, to
// end the walk soon after the count is used up.
//
// Likewise, once the best length is at least a key's length less one, only candidates sharing
// that key can still be taken, so the walk goes on along the deepest such level: from the
// candidate just taken when it shares the key, else from the current position's own chain, where
// no newer candidate has the key (it would have been taken, being longer than the best). That is
// exact while the current position has the longest key's bytes of input ahead: then every
// earlier position's key bytes are input too, and the deeper levels are brought up to date
// (InsertKeys) before the walk.
unsigned CCompressor::CRun::LongestMatch(unsigned curMatch, unsigned prevLength)
{
    const unsigned chainLength = prevLength >= kGoodLength ? kMaxChain / 4 : kMaxChain;
    const uint8_t* const window = m_window;
    const uint8_t* const scan = window + m_nStrStart;
    const unsigned limit = m_nStrStart > kMaxDist ? m_nStrStart - kMaxDist : 0;
    const uint32_t rankHere = m_seq[m_nStrStart & kWMask];
    unsigned bestLen = prevLength;
    uint16_t scanEnd = LoadLE16(scan + bestLen - 1);

    // The deepest level whose key a longer match must share and whose key is input here.
    const bool deep = m_nLookahead >= kKeyLength[kKeyLevels - 1];
    if (deep) {
        while (m_nKeyed <= m_nStrStart) InsertKeys(m_nKeyed++);
    }
    auto levelFor = [&](unsigned best) {
        unsigned l = 0;
        while (deep && l + 1 < kKeyLevels && kKeyLength[l + 1] <= best + 1) ++l;
        return l;
    };
    unsigned level = levelFor(bestLen);
    CKey key = KeyAt(scan, level);
    CKey mask = LevelMask(level);
    const uint16_t* chain = m_keyPrev[level];
    unsigned sinceRankCheck = 0;
    for (unsigned cand = chain[m_nStrStart & kWMask];; cand = chain[cand & kWMask]) {
        // The head may lie exactly at the limit, the others must lie above it.
        if (cand <= limit && !(cand == curMatch && cand != 0)) break;
        const uint8_t* match = window + cand;
        if (((Load64(match) ^ key.lo) & mask.lo) | ((Load64(match + 8) ^ key.hi) & mask.hi)) {
            continue;  // another key under the same hash
        }
        if (++sinceRankCheck == 64) {
            sinceRankCheck = 0;
            if (rankHere - m_seq[cand & kWMask] > chainLength) break;
        }
        if (LoadLE16(match + bestLen - 1) != scanEnd) continue;
        unsigned len = MatchLength(scan, match);
        if (len > bestLen) {
            if (rankHere - m_seq[cand & kWMask] > chainLength) break;
            m_nMatchStart = static_cast<int>(cand);
            bestLen = len;
            if (len >= kNiceLength) break;
            scanEnd = LoadLE16(scan + bestLen - 1);
            const unsigned deeper = levelFor(bestLen);
            if (deeper != level) {
                level = deeper;
                key = KeyAt(scan, level);
                mask = LevelMask(level);
                chain = m_keyPrev[level];
                // A candidate sharing fewer bytes than the key is not on the deeper chain: go on
                // from the current position's own, where every newer candidate with the key has
                // already been taken or passed.
                if (bestLen < kKeyLength[level]) cand = m_nStrStart;
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
