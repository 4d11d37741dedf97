#include "tests/core/delta/CReferenceDelta.h"

#include <algorithm>

#include "core/compress/CCompressor.h"
#include "core/delta/DeltaFormat.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"

namespace velkan::testing {

CReferenceDelta::CReferenceDelta(const Bytes& newFile, const Bytes& reference, Readings readings)
    : m_newFile(newFile),
      m_reference(reference),
      m_readings(readings),
      m_n(static_cast<int64_t>(newFile.size())),
      m_m(static_cast<int64_t>(reference.size())),
      m_keyCount(65536),
      m_keyFirst(65536)
{
}

CReferenceDelta::Result CReferenceDelta::Encode(const Bytes& newFile, const Bytes& reference)
{
    return Encode(newFile, reference, Readings());
}

CReferenceDelta::Result CReferenceDelta::Encode(const Bytes& newFile, const Bytes& reference,
                                                Readings readings)
{
    CReferenceDelta encoder(newFile, reference, readings);
    encoder.Run();
    Frame(encoder.m_result.commands, encoder.m_result.framed);
    Frame(encoder.m_result.literals, encoder.m_result.framed);
    return std::move(encoder.m_result);
}

void CReferenceDelta::Run()
{
    Centre(0);
    int64_t cur = 0;
    while (cur < m_n) {
        int64_t rem = m_n - cur;
        int64_t length = 0;
        int64_t source = 0;
        if (Search(cur, std::min(rem, kMaxCopy), length, source)) {
            Emit(length, source);
            cur += length;
        } else {
            if (m_pending.size() == delta::kMaxLiteralRun) {
                m_result.commands.push_back(delta::kLiteralRunLast);
                m_result.literals.insert(m_result.literals.end(), m_pending.begin(),
                                         m_pending.end());
                m_pending.clear();
            }
            m_pending.push_back(m_newFile[static_cast<size_t>(cur)]);
            cur += 1;
        }
        Centre(cur * m_m / m_n);
    }
    FlushPending();
}

void CReferenceDelta::Centre(int64_t target)
{
    if (target < m_lastTarget + kWindow / 8) return;
    if (m_readings.targetAlwaysRecorded) m_lastTarget = target;
    int64_t start = std::max<int64_t>(0, target - kWindow / 2);
    int64_t end = start + kWindow;
    const int64_t last = (m_m - 1) & ~int64_t{1};
    if (end > last) {
        end = last;
        if (start > 0) start = std::max<int64_t>(0, last - kWindow);
    }
    if (m_hasWindow && start == m_winStart) return;
    m_lastTarget = target;
    m_hasWindow = true;
    m_winStart = start;
    m_winEnd = end;
    m_loadedEnd = std::min(start + kWindow + kSlack, m_m);
    Rebuild();
}

void CReferenceDelta::Rebuild()
{
    std::fill(m_keyCount.begin(), m_keyCount.end(), 0u);
    auto keyAt = [this](int64_t p) {
        return static_cast<uint32_t>(m_reference[static_cast<size_t>(p)] |
                                     (m_reference[static_cast<size_t>(p + 1)] << 8));
    };
    for (int64_t p = m_winStart; p < m_winEnd; ++p) ++m_keyCount[keyAt(p)];
    uint32_t first = 0;
    for (uint32_t key = 0; key < 65536; ++key) {
        m_keyFirst[key] = first;
        first += m_keyCount[key];
    }
    m_positions.assign(first, 0);
    std::vector<uint32_t> fill(m_keyFirst);
    for (int64_t p = m_winStart; p < m_winEnd; ++p) m_positions[fill[keyAt(p)]++] = p;
}

int64_t CReferenceDelta::Cost(int64_t length, int64_t position) const
{
    const auto n = static_cast<int64_t>(m_pending.size());
    int64_t cost;
    if (n >= 1 && n <= delta::kCombinedMaxLiterals && length < delta::kCombinedLengthLimit) {
        cost = 1;
    } else {
        cost = (n > 0 ? 1 : 0) + (length < delta::kShortCopyLimit ? 1 : 3);
    }
    const int64_t d = position - m_anchor;
    if (d >= -delta::kNearReach && d < delta::kNearReach) return cost + 1;
    const int64_t d1 = d > 0 ? d - delta::kNearReach : d + delta::kNearReach;
    if (d1 >= -delta::kMidReach && d1 < delta::kMidReach) return cost + 4;
    return cost + 7;
}

bool CReferenceDelta::Search(int64_t cur, int64_t limit, int64_t& length, int64_t& source) const
{
    if (limit < 7) return false;
    const uint32_t key =
        m_newFile[static_cast<size_t>(cur)] | (m_newFile[static_cast<size_t>(cur + 1)] << 8);
    if (m_keyCount[key] == 0) return false;

    int64_t bestLength = 0;  // the length the two pruning rules look at
    int64_t bestGain = 0;
    bool found = false;
    for (uint32_t i = 0; i < m_keyCount[key]; ++i) {
        const int64_t p = m_positions[m_keyFirst[key] + i];
        const int64_t available = std::min(m_loadedEnd - p, limit);
        if (i > 0 && available <= bestLength) break;
        if (m_reference[static_cast<size_t>(p + bestLength)] !=
            m_newFile[static_cast<size_t>(cur + bestLength)]) {
            continue;
        }
        int64_t l = 0;
        while (l < available &&
               m_reference[static_cast<size_t>(p + l)] == m_newFile[static_cast<size_t>(cur + l)]) {
            ++l;
        }
        if (l < 2) continue;
        if (!m_readings.bestLengthOfBest) bestLength = std::max(bestLength, l);
        const int64_t gain = l - Cost(l, p);
        const bool reachesLimit = l >= limit;
        if (gain > bestGain || (reachesLimit && !m_readings.limitCandidateCompared)) {
            bestGain = gain;
            length = l;
            source = p;
            found = true;
            if (m_readings.bestLengthOfBest) bestLength = l;
        }
        if (reachesLimit) break;
    }
    return found;
}

void CReferenceDelta::PositionCode(int64_t d, Bytes& out)
{
    using namespace delta;
    if (d >= -kNearReach && d < kNearReach) {
        out.push_back(static_cast<uint8_t>(kNearCodeFlag | (d & kNearCodeMask)));
        return;
    }
    const int64_t d1 = d > 0 ? d - kNearReach : d + kNearReach;
    if (d1 >= -kMidReach && d1 < kMidReach) {
        out.push_back(static_cast<uint8_t>((d1 & kMidCodeMask) >> 8));
        out.push_back(static_cast<uint8_t>(d1 & 0xFF));
        return;
    }
    const int64_t d2 = d1 > 0 ? d1 - kMidReach : d1 + kMidReach;
    if ((d2 < 0 ? -d2 : d2) < kFarReach && d2 != kEscapeValue) {
        const uint32_t v = static_cast<uint32_t>(d2 & kFarCodeMask) | kFarCodeFlag;
        out.push_back(static_cast<uint8_t>(v >> 16));
        out.push_back(static_cast<uint8_t>(v >> 8));
        out.push_back(static_cast<uint8_t>(v));
        return;
    }
    const auto v = static_cast<uint32_t>(d2);
    for (uint8_t b : kEscape) out.push_back(b);
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void CReferenceDelta::FlushPending()
{
    if (m_pending.empty()) return;
    m_result.commands.push_back(static_cast<uint8_t>(delta::kLiteralRunBase + m_pending.size()));
    m_result.literals.insert(m_result.literals.end(), m_pending.begin(), m_pending.end());
    m_pending.clear();
}

void CReferenceDelta::Emit(int64_t length, int64_t source)
{
    Bytes& commands = m_result.commands;
    const auto n = static_cast<int64_t>(m_pending.size());
    if (n >= 1 && n <= delta::kCombinedMaxLiterals && length < delta::kCombinedLengthLimit) {
        commands.push_back(
            static_cast<uint8_t>(((n + delta::kCombinedLiteralBias) << delta::kCombinedShift) |
                                 (length - delta::kCombinedLengthBias)));
        m_result.literals.insert(m_result.literals.end(), m_pending.begin(), m_pending.end());
        m_pending.clear();
    } else {
        FlushPending();
        if (length < delta::kShortCopyLimit) {
            commands.push_back(static_cast<uint8_t>(length - 1));
        } else {
            commands.push_back(delta::kLongCopy);
            commands.push_back(static_cast<uint8_t>((length - delta::kShortCopyLimit) & 0xFF));
            commands.push_back(static_cast<uint8_t>((length - delta::kShortCopyLimit) >> 8));
        }
    }
    PositionCode(source - m_anchor, commands);
    m_anchor = source + length;
}

void CReferenceDelta::Frame(const Bytes& stream, Bytes& out)
{
    Bytes packed;
    if (!stream.empty()) {
        CCompressor compressor;
        compressor.Reset();
        CMemorySource source(stream.data(), stream.size());
        CMemorySink sink;
        compressor.CompressFile(sink, source, stream.size());
        packed = sink.Take();
    }
    const bool usePacked =
        !stream.empty() && packed.size() + delta::kMinPackedSaving <= stream.size();
    const bool longUnpacked = stream.size() > 0xFFFF;
    const bool longPacked = usePacked && packed.size() > 0xFFFF;
    out.push_back(static_cast<uint8_t>((usePacked ? delta::kFramePacked : 0) |
                                       (longUnpacked ? delta::kFrameWideLength : 0) |
                                       (longPacked ? delta::kFrameWidePackedLength : 0)));
    auto number = [&out](uint64_t value, bool wide) {
        for (int i = 0; i < (wide ? 4 : 2); ++i)
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    number(stream.size(), longUnpacked);
    if (usePacked) {
        number(packed.size(), longPacked);
        out.insert(out.end(), packed.begin(), packed.end());
    } else {
        out.insert(out.end(), stream.begin(), stream.end());
    }
}

}  // namespace velkan::testing
