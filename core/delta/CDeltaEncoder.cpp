#include "core/delta/CDeltaEncoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/compress/CCompressor.h"
#include "core/delta/CDeltaException.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySink.h"

namespace velkan {

namespace {

// Heads of the long-key chains: one per 16-bit hash.
constexpr uint32_t kLongKeyHeads = 65536;
// The window is re-centred only once the target has moved this far since the last centring.
constexpr int64_t kRecentreStep = CDeltaEncoder::kWindowSize / 8;
// A copy longer than this always updates the progress display.
constexpr uint32_t kProgressCopyLength = 1000;
// Progress is also shown on every eighth step.
constexpr uint64_t kProgressStepMask = 7;

// Length of the common prefix of a and b, at most limit bytes.
uint32_t CommonPrefix(const uint8_t* a, const uint8_t* b, uint32_t limit)
{
    uint32_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (n + 8 <= limit) {
            uint64_t x, y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y) return n + static_cast<uint32_t>(std::countr_zero(x ^ y) / 8);
            n += 8;
        }
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

// The first six bytes at bytes as a number. Callers guarantee eight readable bytes there (the
// buffers hold more than the window and a copy's length beyond it).
inline uint64_t LongKeyBytes(const uint8_t* bytes)
{
    uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, bytes, 8);
        return v & 0xFFFFFFFFFFFFull;
    }
    for (uint32_t i = 0; i < 6; ++i) v |= uint64_t(bytes[i]) << (8 * i);
    return v;
}

// What a copy of length at distance from the anchor costs, in the encoder's units, with
// pendingLiterals literals waiting to be written. Mirrors the command and position codes.
int64_t CopyCost(uint32_t length, int64_t distance, uint32_t pendingLiterals)
{
    int64_t cost;
    if (pendingLiterals >= 1 && pendingLiterals <= delta::kCombinedMaxLiterals &&
        length < delta::kCombinedLengthLimit) {
        cost = 1;
    } else {
        cost = (pendingLiterals > 0 ? 1 : 0) + (length < delta::kShortCopyLimit ? 1 : 3);
    }
    if (distance >= -delta::kNearReach && distance < delta::kNearReach) return cost + 1;
    int64_t d1 = distance > 0 ? distance - delta::kNearReach : distance + delta::kNearReach;
    if (d1 >= -delta::kMidReach && d1 < delta::kMidReach) return cost + 4;
    return cost + 7;
}

}  // namespace

CDeltaEncoder::CDeltaEncoder() = default;
CDeltaEncoder::~CDeltaEncoder() = default;

void CDeltaEncoder::SetProgress(IDeltaProgress* progress, uint32_t rangeStart, uint32_t rangeEnd)
{
    m_progress = progress;
    m_rangeStart = rangeStart;
    m_rangeEnd = rangeEnd;
}

// ---- Setup --------------------------------------------------------------------------------

void CDeltaEncoder::BuildStreams(const std::string& newPath, const std::string& refPath)
{
    m_commands.Clear();
    m_literals.Clear();
    m_newFile = std::make_unique<CFile>(newPath, CFile::Mode::Read);
    m_refFile = std::make_unique<CFile>(refPath, CFile::Mode::Read);
    m_newLength = m_newFile->GetLength();
    m_refLength = m_refFile->GetLength();
    if (m_newLength > kMaxFileLength) {
        throw CDeltaException(newPath + ": too large for a delta (the limit is 4 GiB)");
    }
    if (m_refLength > kMaxFileLength) {
        throw CDeltaException(refPath + ": too large to be a delta reference (the limit is 4 GiB)");
    }
    if (m_newLength >= kStreamFileThreshold || m_refLength >= kStreamFileThreshold) {
        m_commands.UseTempFile(m_tempDir);
        m_literals.UseTempFile(m_tempDir);
    }

    m_ref.assign(kReferenceCapacity, 0);
    // Room for an 8-byte read of the long key at the last search position.
    m_new.assign(kNewCapacity + 8, 0);
    m_longHead.assign(kLongKeyHeads, kNoPosition);
    m_longPrevious.assign(kWindowSize, kNoPosition);
    m_candidates.assign(kWindowSize, 0);
    m_hasWindow = false;
    m_winStart = m_winEnd = 0;
    m_lastTarget = -kRecentreStep;
    m_pendingCount = 0;
    m_anchor = 0;
    m_steps = 0;

    m_refBase = 0;
    m_refLoaded = 0;
    m_refReadPos = 0;
    m_refUnread = m_refLength;
    LoadReference(std::min<uint64_t>(m_refLength, kReferenceCapacity));

    m_newLoaded = static_cast<uint32_t>(std::min<uint64_t>(m_newLength, kNewCapacity));
    m_newFile->ReadExact(m_new.data(), m_newLoaded);
    m_newUnread = m_newLength - m_newLoaded;

    Centre(0);
    m_global = m_search == DeltaSearch::Global && m_refLength >= kGlobalKey &&
               m_refLength <= kGlobalMaxReference;
    if (m_global) BuildGlobalIndex(refPath);

    // ---- Main loop ----------------------------------------------------------------------
    uint32_t cur = 0;
    uint64_t done = 0;
    while (done < m_newLength) {
        uint64_t rem = m_newLength - done;
        uint32_t maxLength = static_cast<uint32_t>(std::min<uint64_t>(rem, kMaxCopy));
        uint32_t length = 0;
        uint32_t source = 0;
        bool found = FindMatch(cur, maxLength, length, source);
        if (found && m_global && length < kGlobalLazyLength &&
            m_pendingCount < kMaxPendingLiterals && rem > 1) {
            // Global search looks one byte ahead: a copy from cur + 1 that saves more wins, the
            // byte at cur becoming a literal (the next step finds that copy again).
            const int64_t score = m_lastScore;
            const uint32_t back = m_back;
            m_pending[m_pendingCount++] = m_new[cur];
            uint32_t nextLength = 0;
            uint32_t nextSource = 0;
            const bool later =
                FindMatch(cur + 1, static_cast<uint32_t>(std::min<uint64_t>(rem - 1, kMaxCopy)),
                          nextLength, nextSource) &&
                m_lastScore > score;
            --m_pendingCount;
            m_back = back;
            found = !later;
        }
        if (found) {
            // A global copy may start before cur: its first m_back bytes were pending literals.
            m_pendingCount -= m_back;
            EmitMatch(length + m_back, source - m_back);
        } else {
            if (m_pendingCount == kMaxPendingLiterals) FlushLiterals();
            m_pending[m_pendingCount++] = m_new[cur];
            length = 1;
        }
        cur += length;
        done += length;

        if (done < m_newLength) Centre(done * m_refLength / m_newLength);

        if (cur >= kNewHalf && m_newUnread > 0) {
            // The second half becomes the first; the bytes behind cur are no longer needed.
            std::memmove(m_new.data(), m_new.data() + kNewHalf, kNewHalf);
            cur -= kNewHalf;
            uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(m_newUnread, kNewHalf));
            m_newFile->ReadExact(m_new.data() + kNewHalf, count);
            m_newLoaded = kNewHalf + count;
            m_newUnread -= count;
        }

        if ((m_steps & kProgressStepMask) == 0 || length > kProgressCopyLength) ShowProgress(done);
        ++m_steps;
    }
    FlushLiterals();

    m_newFile.reset();
    m_refFile.reset();
    std::vector<uint8_t>().swap(m_ref);
    std::vector<uint8_t>().swap(m_new);
    std::vector<uint32_t>().swap(m_longHead);
    std::vector<uint32_t>().swap(m_longPrevious);
    std::vector<uint32_t>().swap(m_candidates);
    std::vector<uint8_t>().swap(m_globalRef);
    std::vector<uint32_t>().swap(m_globalHead);
    std::vector<uint32_t>().swap(m_globalPrevious);
}

void CDeltaEncoder::LoadReference(uint64_t count)
{
    m_refFile->ReadExact(m_ref.data() + m_refLoaded, static_cast<size_t>(count));
    m_refLoaded += static_cast<uint32_t>(count);
    m_refReadPos += count;
    m_refUnread -= count;
}

// ---- Window -------------------------------------------------------------------------------

void CDeltaEncoder::Centre(uint64_t target)
{
    const int64_t t = static_cast<int64_t>(target);
    if (t < m_lastTarget + kRecentreStep) return;
    m_lastTarget = t;

    int64_t start = std::max<int64_t>(0, t - kWindowSize / 2);
    int64_t end = start + kWindowSize;
    // Both bytes of every indexed key must lie inside the reference.
    const int64_t last = (static_cast<int64_t>(m_refLength) - 1) & ~int64_t(1);
    if (end > last) {
        end = last;
        if (start > 0) start = std::max<int64_t>(0, last - kWindowSize);
    }
    // A reference of 0 or 1 bytes has no key at all.
    if (end < start) end = start;
    if (m_hasWindow && static_cast<uint64_t>(start) == m_winStart) return;
    MoveWindow(static_cast<uint64_t>(start), static_cast<uint64_t>(end));
}

void CDeltaEncoder::MoveWindow(uint64_t start, uint64_t end)
{
    // Positions leaving the window stay in the index; searches stop at them.
    const uint64_t addFrom = m_hasWindow ? std::max(m_winEnd, start) : start;
    if (start != m_refBase) {
        if (start > m_refBase && start - m_refBase <= m_refLoaded) {
            // Slide: keep what the new window still covers and read as much again after it.
            uint32_t distance = static_cast<uint32_t>(start - m_refBase);
            std::memmove(m_ref.data(), m_ref.data() + distance, m_refLoaded - distance);
            m_refLoaded -= distance;
            m_refBase = start;
            LoadReference(std::min<uint64_t>(distance, m_refUnread));
        } else {
            // The window jumped past everything loaded (a reference much longer than the new
            // file): start the buffer afresh at the window start.
            m_refFile->Seek(start);
            m_refBase = start;
            m_refLoaded = 0;
            m_refReadPos = start;
            m_refUnread = m_refLength - start;
            LoadReference(std::min<uint64_t>(kReferenceCapacity, m_refUnread));
        }
    }
    for (uint64_t p = addFrom; p < end; ++p) IndexAdd(static_cast<uint32_t>(p));
    m_winStart = start;
    m_winEnd = end;
    m_hasWindow = true;
}

void CDeltaEncoder::IndexAdd(uint32_t position)
{
    if (!HasLongKey(position)) return;
    const uint32_t key = LongKeyAt(position);
    m_longPrevious[position % kWindowSize] = m_longHead[key];
    m_longHead[key] = position;
}

uint32_t CDeltaEncoder::LongKeyHash(const uint8_t* bytes)
{
    return static_cast<uint32_t>((LongKeyBytes(bytes) * 0x9E3779B97F4A7C15ull) >> 48);
}

// ---- Match search -------------------------------------------------------------------------
//
// The search's result is defined by a walk over every position of the key's list in increasing
// order, with two rules that end or skip on the best length so far. A position changes that
// walk's outcome only when it becomes the best (a gain above the best gain, which needs a
// length of at least its cost + 1) or when it reaches the length limit (at least 7). Cost is
// one command byte at least plus 1, 4 or 7 for the position code, so only these positions can
// matter: those within the one-byte code's reach of the anchor (any length from 3), and those
// sharing at least six bytes with cur. The walk below visits the near positions that share
// three bytes with cur and the long key's positions, merged in increasing order, and applies
// the same rules to them; every position it leaves out would have been passed over without
// effect. The end rule stays exact because available lengths only fall along the list
// and the best length does not change between two visited positions.

bool CDeltaEncoder::FindMatch(uint32_t cur, uint32_t maxLength, uint32_t& length,
                              uint32_t& source) const
{
    m_back = 0;
    if (maxLength < kMinCopyRoom) return false;
    const uint8_t* here = &m_new[cur];

    const uint64_t loadedEnd = m_refBase + m_refLoaded;
    const int64_t anchor = static_cast<int64_t>(m_anchor);
    int64_t bestScore = 0;
    uint32_t bestLength = 0;
    uint32_t bestSource = 0;
    // One position of the walk; false when the walk ends.
    auto visit = [&](uint32_t p) {
        uint32_t available = static_cast<uint32_t>(std::min<uint64_t>(loadedEnd - p, maxLength));
        // Later candidates have no more room: none can be longer than the best.
        if (available <= bestLength) return false;
        const uint8_t* there = &m_ref[p - m_refBase];
        // A candidate that cannot beat the best length is not measured.
        if (there[bestLength] != here[bestLength]) return true;
        uint32_t n = CommonPrefix(there, here, available);
        if (n >= 2) {
            int64_t score = static_cast<int64_t>(n) -
                            CopyCost(n, static_cast<int64_t>(p) - anchor, m_pendingCount);
            if (score > bestScore) {
                bestScore = score;
                bestLength = n;
                bestSource = p;
            }
        }
        return n < maxLength;
    };

    // The positions in the one-byte position code's reach of the anchor: [nearFrom, nearTo).
    // Only those sharing three bytes with cur can win or reach the limit.
    const int64_t nearFrom =
        std::max<int64_t>(anchor - delta::kNearReach, static_cast<int64_t>(m_winStart));
    const int64_t nearTo =
        std::min<int64_t>(anchor + delta::kNearReach, static_cast<int64_t>(m_winEnd));
    const uint32_t nextTwo = here[1] | (here[2] << 8);
    auto visitNear = [&]() {
        const uint8_t* const buffer = m_ref.data();
        const uint8_t* at = buffer + (nearFrom - static_cast<int64_t>(m_refBase));
        const uint8_t* const stop = buffer + (nearTo - static_cast<int64_t>(m_refBase));
        // Positions before the window end have two bytes and more room after them in the buffer.
        while ((at = static_cast<const uint8_t*>(
                    std::memchr(at, here[0], static_cast<size_t>(stop - at))))) {
            const auto position =
                static_cast<uint32_t>(at - buffer + static_cast<int64_t>(m_refBase));
            if (static_cast<uint32_t>(at[1] | (at[2] << 8)) == nextTwo && !visit(position))
                return false;
            if (++at >= stop) break;
        }
        return true;
    };

    // The long key's positions outside the near range, newest first; then all in increasing
    // order, the near range in its place.
    const uint64_t prefix = LongKeyBytes(here);
    size_t count = 0;
    for (uint32_t p = m_longHead[LongKeyHash(here)]; p != kNoPosition && p >= m_winStart;
         p = m_longPrevious[p % kWindowSize]) {
        const auto at = static_cast<int64_t>(p);
        if (at >= nearFrom && at < nearTo) continue;
        if (LongKeyBytes(&m_ref[p - m_refBase]) != prefix) continue;  // another prefix, same hash
        m_candidates[count++] = p;
    }
    auto walk = [&]() {
        bool nearDone = nearFrom >= nearTo;
        while (count > 0) {
            const uint32_t p = m_candidates[--count];
            if (!nearDone && static_cast<int64_t>(p) >= nearTo) {
                nearDone = true;
                if (!visitNear()) return;
            }
            if (!visit(p)) return;
        }
        if (!nearDone) visitNear();
    };
    walk();
    if (m_global) FindGlobalMatch(here, maxLength, bestScore, bestLength, bestSource, m_back);
    m_lastScore = bestScore;
    if (bestScore <= 0) return false;
    length = bestLength;
    source = bestSource;
    return true;
}

// ---- Global search ------------------------------------------------------------------------
//
// The window search stays as it is; the global one only offers copies that save more. It
// looks at the kGlobalChain newest indexed positions under the hash of cur's first kGlobalKey
// bytes, and at the positions in the one-byte position code's reach of the anchor wherever the
// anchor is (after a far copy it usually lies outside the window, and the copy goes on from
// there). Per step that is at most kGlobalChain + 64 candidates, each measured only when it can
// beat the best length.

void CDeltaEncoder::BuildGlobalIndex(const std::string& refPath)
{
    m_globalRef.resize(static_cast<size_t>(m_refLength) + 8);
    CFile ref(refPath, CFile::Mode::Read);
    ref.ReadExact(m_globalRef.data(), static_cast<size_t>(m_refLength));
    const uint64_t count = (m_refLength - kGlobalKey) / kGlobalStride + 1;
    // Up to two positions per head on average: the heads take at most a byte per reference byte.
    uint32_t bits = 10;
    while ((uint64_t(2) << bits) < count) ++bits;
    m_globalShift = 64 - bits;
    m_globalHead.assign(size_t(1) << bits, kNoPosition);
    m_globalPrevious.assign(static_cast<size_t>(count), kNoPosition);
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t key;
        std::memcpy(&key, &m_globalRef[i * kGlobalStride], 8);
        const size_t h = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> m_globalShift);
        m_globalPrevious[i] = m_globalHead[h];
        m_globalHead[h] = static_cast<uint32_t>(i);
    }
}

void CDeltaEncoder::FindGlobalMatch(const uint8_t* here, uint32_t maxLength, int64_t& bestScore,
                                    uint32_t& bestLength, uint32_t& bestSource,
                                    uint32_t& bestBack) const
{
    const uint8_t* const ref = m_globalRef.data();
    const int64_t anchor = static_cast<int64_t>(m_anchor);
    auto visit = [&](uint64_t p) {
        const uint32_t available =
            static_cast<uint32_t>(std::min<uint64_t>(m_refLength - p, maxLength));
        if (available <= bestLength || ref[p + bestLength] != here[bestLength]) return;
        const uint32_t n = CommonPrefix(ref + p, here, available);
        if (n < 2) return;
        // The pending literals that equal the bytes before p join the copy (a hashed position
        // is found up to kGlobalStride - 1 bytes after the start of what matches).
        uint32_t back = 0;
        const uint32_t backLimit = std::min<uint32_t>(
            {m_pendingCount, static_cast<uint32_t>(std::min<uint64_t>(p, kMaxCopy)), kMaxCopy - n});
        while (back < backLimit && m_pending[m_pendingCount - 1 - back] == ref[p - 1 - back])
            ++back;
        const int64_t distance = static_cast<int64_t>(p - back) - anchor;
        const int64_t score =
            static_cast<int64_t>(n + back) - CopyCost(n + back, distance, m_pendingCount - back);
        const int64_t margin =
            distance >= -delta::kNearReach && distance < delta::kNearReach ? 0 : kGlobalMoveMargin;
        if (score > bestScore + margin) {
            bestScore = score;
            bestLength = n;
            bestSource = static_cast<uint32_t>(p);
            bestBack = back;
        }
    };

    const int64_t nearFrom = std::max<int64_t>(0, anchor - delta::kNearReach);
    const int64_t nearTo =
        std::min<int64_t>(static_cast<int64_t>(m_refLength), anchor + delta::kNearReach);
    for (int64_t p = nearFrom; p < nearTo; ++p) {
        if (ref[p] == here[0]) visit(static_cast<uint64_t>(p));
    }

    // A key needs kGlobalKey bytes of new file; the 8-byte read of it, eight readable bytes.
    if (maxLength < kGlobalKey) return;
    uint64_t key;
    std::memcpy(&key, here, 8);
    const size_t h = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> m_globalShift);
    uint32_t i = m_globalHead[h];
    for (uint32_t walked = 0; i != kNoPosition && walked < kGlobalChain;
         i = m_globalPrevious[i], ++walked) {
        visit(uint64_t(i) * kGlobalStride);
    }
}

// ---- Command stream -----------------------------------------------------------------------

void CDeltaEncoder::EmitMatch(uint32_t length, uint32_t source)
{
    using namespace delta;
    const int64_t distance = static_cast<int64_t>(source) - static_cast<int64_t>(m_anchor);
    if (m_pendingCount >= 1 && m_pendingCount <= kCombinedMaxLiterals &&
        length < kCombinedLengthLimit) {
        m_commands.Put(
            static_cast<uint8_t>(((m_pendingCount + kCombinedLiteralBias) << kCombinedShift) |
                                 (length - kCombinedLengthBias)));
        m_literals.Write(m_pending, m_pendingCount);
        m_pendingCount = 0;
    } else {
        FlushLiterals();
        if (length < kShortCopyLimit) {
            m_commands.Put(static_cast<uint8_t>(length - 1));
        } else {
            m_commands.Put(kLongCopy);
            m_commands.Put(static_cast<uint8_t>((length - kShortCopyLimit) & 0xFF));
            m_commands.Put(static_cast<uint8_t>((length - kShortCopyLimit) >> 8));
        }
    }
    EmitPositionCode(distance);
    m_anchor = static_cast<uint64_t>(source) + length;
}

void CDeltaEncoder::EmitPositionCode(int64_t distance)
{
    using namespace delta;
    if (distance >= -kNearReach && distance < kNearReach) {
        m_commands.Put(static_cast<uint8_t>(kNearCodeFlag | (distance & kNearCodeMask)));
        return;
    }
    const int64_t d1 = distance > 0 ? distance - kNearReach : distance + kNearReach;
    if (d1 >= -kMidReach && d1 < kMidReach) {
        m_commands.Put(static_cast<uint8_t>((d1 & kMidCodeMask) >> 8));
        m_commands.Put(static_cast<uint8_t>(d1 & 0xFF));
        return;
    }
    const int64_t d2 = d1 > 0 ? d1 - kMidReach : d1 + kMidReach;
    if (d2 > -kFarReach && d2 < kFarReach && d2 != kEscapeValue) {
        const uint32_t v = static_cast<uint32_t>(d2 & kFarCodeMask) | kFarCodeFlag;
        m_commands.Put(static_cast<uint8_t>(v >> 16));
        m_commands.Put(static_cast<uint8_t>(v >> 8));
        m_commands.Put(static_cast<uint8_t>(v));
        return;
    }
    const uint32_t v = static_cast<uint32_t>(d2);
    const uint8_t code[kEscapeLength] = {kEscape[0],
                                         kEscape[1],
                                         kEscape[2],
                                         static_cast<uint8_t>(v >> 24),
                                         static_cast<uint8_t>(v >> 16),
                                         static_cast<uint8_t>(v >> 8),
                                         static_cast<uint8_t>(v)};
    m_commands.Write(code, sizeof code);
}

void CDeltaEncoder::FlushLiterals()
{
    if (m_pendingCount == 0) return;
    m_commands.Put(static_cast<uint8_t>(delta::kLiteralRunBase + m_pendingCount));
    m_literals.Write(m_pending, m_pendingCount);
    m_pendingCount = 0;
}

void CDeltaEncoder::ShowProgress(uint64_t done)
{
    if (!m_progress || m_newLength == 0) return;
    const int64_t span = std::max<int64_t>(1, static_cast<int64_t>(m_rangeEnd) - m_rangeStart);
    uint64_t position = m_rangeStart + done * static_cast<uint64_t>(span) / m_newLength;
    position = std::min<uint64_t>(position, 10000);
    if (position != m_progress->GetShownPosition()) {
        m_progress->ShowPosition(static_cast<uint32_t>(position));
    }
}

// ---- Sub-stream framing -------------------------------------------------------------------

namespace {

void CopyPieces(IByteSink& output, IByteSource& source, uint64_t length, uint64_t& written)
{
    std::vector<uint8_t> piece(
        static_cast<size_t>(std::min<uint64_t>(length, CDeltaEncoder::kCopyPiece)));
    while (length > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(length, piece.size()));
        size_t got = source.Read(piece.data(), n);
        if (got != n) throw CFileException("", "delta scratch stream ended early");
        output.Write(piece.data(), n);
        written += n;
        length -= n;
    }
}

void PutLength(std::vector<uint8_t>& header, uint64_t value, bool wide)
{
    header.push_back(static_cast<uint8_t>(value));
    header.push_back(static_cast<uint8_t>(value >> 8));
    if (wide) {
        header.push_back(static_cast<uint8_t>(value >> 16));
        header.push_back(static_cast<uint8_t>(value >> 24));
    }
}

}  // namespace

uint64_t CDeltaEncoder::WriteStreams(IByteSink& output)
{
    uint64_t before = m_written;
    WriteSubStream(output, m_commands);
    WriteSubStream(output, m_literals);
    m_commands.Clear();
    m_literals.Clear();
    return m_written - before;
}

void CDeltaEncoder::WriteSubStream(IByteSink& output, CDeltaStream& stream)
{
    const uint64_t length = stream.GetLength();
    std::vector<uint8_t> header;
    if (length == 0) {
        header = {0, 0, 0};  // no flags, length 0
        output.Write(header.data(), header.size());
        m_written += header.size();
        return;
    }

    // Pack it; small results stay in memory, large ones go to a scratch file.
    uint64_t packedLength = 0;
    CMemorySink packedMemory;
    std::unique_ptr<CDeltaTempFile> packedTemp;
    {
        std::unique_ptr<IByteSource> source = stream.OpenForReading();
        CCompressor compressor;
        compressor.Reset();
        int ok;
        if (length < kPackFileThreshold) {
            ok = compressor.CompressFile(packedMemory, *source, length);
            packedLength = packedMemory.GetPosition();
        } else {
            packedTemp = std::make_unique<CDeltaTempFile>(m_tempDir);
            CFile packedFile(packedTemp->Path(), CFile::Mode::Create);
            ok = compressor.CompressFile(packedFile, *source, length);
            packedLength = packedFile.GetPosition();
            packedFile.Close();
        }
        // Without its buffer the compressor wrote nothing: store the stream as it is.
        if (ok == 0) packedLength = UINT64_MAX - delta::kMinPackedSaving;
    }

    const bool wideLength = length > 0xFFFF;
    if (packedLength + delta::kMinPackedSaving <= length) {
        const bool widePacked = packedLength > 0xFFFF;
        header.push_back(static_cast<uint8_t>(delta::kFramePacked |
                                              (wideLength ? delta::kFrameWideLength : 0) |
                                              (widePacked ? delta::kFrameWidePackedLength : 0)));
        PutLength(header, length, wideLength);
        PutLength(header, packedLength, widePacked);
        output.Write(header.data(), header.size());
        m_written += header.size();
        if (packedTemp) {
            CFile packedFile(packedTemp->Path(), CFile::Mode::Read);
            CopyPieces(output, packedFile, packedLength, m_written);
        } else {
            const auto& bytes = packedMemory.Bytes();
            for (size_t at = 0; at < bytes.size(); at += kCopyPiece) {
                size_t n = std::min(kCopyPiece, bytes.size() - at);
                output.Write(bytes.data() + at, n);
                m_written += n;
            }
        }
        return;
    }
    header.push_back(static_cast<uint8_t>(wideLength ? delta::kFrameWideLength : 0));
    PutLength(header, length, wideLength);
    output.Write(header.data(), header.size());
    m_written += header.size();
    std::unique_ptr<IByteSource> source = stream.OpenForReading();
    CopyPieces(output, *source, length, m_written);
}

uint64_t EncodeDelta(IByteSink& output, const std::string& newPath, const std::string& refPath,
                     IDeltaProgress* progress, uint32_t rangeStart, uint32_t rangeEnd,
                     const std::string& tempDir, DeltaSearch search)
{
    CDeltaEncoder encoder;
    encoder.SetSearch(search);
    encoder.SetProgress(progress, rangeStart, rangeEnd);
    encoder.SetTempDirectory(tempDir);
    encoder.BuildStreams(newPath, refPath);
    return encoder.WriteStreams(output);
}

}  // namespace velkan
