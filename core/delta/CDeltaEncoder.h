// Version delta encoder: codes a new file as copies from an earlier version of it (the
// reference) plus literal bytes, in the delta format the install runtime applies.
//
// The idea: a later version of a file mostly keeps the order of the earlier one, so the copy
// source of any part of the new file lies near the proportionally corresponding place of the
// reference. The encoder searches only a window of 32768 reference positions around that place
// and picks, among the positions that share the current two bytes, the copy that saves the most
// output (the search reaches the few that can win through a 6-byte key index, see FindMatch). The window moves forward with the new file; memory stays
// bounded whatever the file sizes, and a change far from the proportional place is coded as
// literals (unless the opt-in global search is on, see DeltaSearch and FindGlobalMatch).
// Commands and literals go to two sub-streams, each packed with the compressor when
// that makes it smaller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/delta/CDeltaStream.h"
#include "core/delta/DeltaFormat.h"
#include "core/delta/DeltaSearch.h"
#include "core/delta/IDeltaProgress.h"
#include "core/stream/CFile.h"
#include "core/stream/IByteSink.h"

namespace velkan {

class CDeltaEncoder {
public:
    // Indexed reference positions: the base size 16384 shifted left by the build's factor 1.
    static constexpr uint32_t kWindowSize = 16384u << 1;
    // Reference bytes kept beyond the window, into which copies may run.
    static constexpr uint32_t kReferenceSlack = 65536;
    static constexpr uint32_t kReferenceCapacity = kWindowSize + kReferenceSlack;
    // The new file is read in two 64 KB halves; a copy never exceeds 16383 bytes, so the bytes
    // a search may look at always lie in the buffer.
    static constexpr uint32_t kNewHalf = 65536;
    static constexpr uint32_t kNewCapacity = 2 * kNewHalf;
    static constexpr uint32_t kMaxCopy = 16383;
    // Below this much remaining input no copy is tried: the tail of every file is literal.
    static constexpr uint32_t kMinCopyRoom = 7;
    static constexpr uint32_t kMaxPendingLiterals = delta::kMaxLiteralRun;
    // Inputs from this length on write their sub-streams to temporary files.
    static constexpr uint64_t kStreamFileThreshold = 3500000;
    // Sub-streams from this length on are packed into a temporary file instead of memory.
    static constexpr uint64_t kPackFileThreshold = 3000000;
    // Stored pieces are copied to the output in chunks of this size.
    static constexpr size_t kCopyPiece = 32768;
    // The delta format addresses positions with 32 bits.
    static constexpr uint64_t kMaxFileLength = 0xFFFFFFFFull;
    // Global search: reference positions at multiples of this stride are indexed by the
    // kGlobalKey bytes from them on, so every copy of at least kGlobalKey + kGlobalStride - 1
    // bytes is found wherever it lies.
    static constexpr uint32_t kGlobalStride = 4;
    static constexpr uint32_t kGlobalKey = 8;
    // Candidates looked at per key (the newest positions under its hash).
    static constexpr uint32_t kGlobalChain = 64;
    // A copy beyond the one-byte position code's reach of the anchor must save this many bytes
    // more than the best one: moving the anchor makes the following copies' codes longer.
    static constexpr int64_t kGlobalMoveMargin = 4;
    // Copies shorter than this are weighed against the best copy from one byte later.
    static constexpr uint32_t kGlobalLazyLength = 256;
    // Global search holds the reference in memory with its index: at most 3 bytes per
    // reference byte (the bytes, a 4-byte link per indexed position, the heads), so at most
    // 768 MiB; longer references are searched in the window only.
    static constexpr uint64_t kGlobalMaxReference = 256ull << 20;

    CDeltaEncoder();
    ~CDeltaEncoder();
    CDeltaEncoder(const CDeltaEncoder&) = delete;
    CDeltaEncoder& operator=(const CDeltaEncoder&) = delete;

    // Progress over [rangeStart, rangeEnd] (hundredths of a percent); null: none.
    void SetProgress(IDeltaProgress* progress, uint32_t rangeStart, uint32_t rangeEnd);
    // Where the temporary files go; empty (the default) is the system's temporary directory.
    void SetTempDirectory(const std::string& dir) { m_tempDir = dir; }
    // Window (the default) or global; see DeltaSearch.
    void SetSearch(DeltaSearch search) { m_search = search; }

    // Codes newPath against refPath into the two sub-streams (Commands(), Literals()).
    // Open and read failures throw CFileException; so does whatever the progress throws.
    void BuildStreams(const std::string& newPath, const std::string& refPath);
    // Appends the two framed sub-streams to output; returns the bytes appended.
    uint64_t WriteStreams(IByteSink& output);

    CDeltaStream& Commands() { return m_commands; }
    CDeltaStream& Literals() { return m_literals; }

private:
    static constexpr uint32_t kNoPosition = 0xFFFFFFFFu;
    // Bytes of the long key. A copy can only win with a positive gain, and its cost is at least
    // one command byte plus its position code, so a copy shorter than six bytes wins only from
    // within the one-byte position code's reach of the anchor; longer ones are found through
    // the long key.
    static constexpr uint32_t kLongKey = 6;

    void LoadReference(uint64_t count);
    void Centre(uint64_t target);
    void MoveWindow(uint64_t start, uint64_t end);
    void IndexAdd(uint32_t position);
    // The 6-byte prefix at a reference position, for the long-key index; only positions with
    // six bytes of reference from them on are in it.
    bool HasLongKey(uint32_t position) const
    {
        return uint64_t(position) + kLongKey <= m_refLength;
    }
    uint32_t LongKeyAt(uint32_t position) const
    {
        return LongKeyHash(&m_ref[position - m_refBase]);
    }
    static uint32_t LongKeyHash(const uint8_t* bytes);
    bool FindMatch(uint32_t cur, uint32_t maxLength, uint32_t& length, uint32_t& source) const;
    void BuildGlobalIndex(const std::string& refPath);
    // Improves the window's best copy (bestLength == 0: none) with the global index's candidates
    // and the positions near the anchor anywhere in the reference.
    // bestBack: how many of the pending literals before cur the copy takes over.
    void FindGlobalMatch(const uint8_t* here, uint32_t maxLength, int64_t& bestScore,
                         uint32_t& bestLength, uint32_t& bestSource, uint32_t& bestBack) const;
    void EmitMatch(uint32_t length, uint32_t source);
    void EmitPositionCode(int64_t distance);
    void FlushLiterals();
    void ShowProgress(uint64_t done);
    void WriteSubStream(IByteSink& output, CDeltaStream& stream);

    IDeltaProgress* m_progress = nullptr;
    uint32_t m_rangeStart = 0;
    uint32_t m_rangeEnd = 0;
    std::string m_tempDir;
    DeltaSearch m_search = DeltaSearch::Window;

    std::unique_ptr<CFile> m_newFile;
    std::unique_ptr<CFile> m_refFile;
    uint64_t m_newLength = 0;
    uint64_t m_refLength = 0;

    // Reference buffer: bytes [m_refBase, m_refBase + m_refLoaded) of the reference.
    std::vector<uint8_t> m_ref;
    uint64_t m_refBase = 0;
    uint32_t m_refLoaded = 0;
    uint64_t m_refUnread = 0;
    uint64_t m_refReadPos = 0;  // where the next sequential read of the reference starts

    // Window of indexed positions [m_winStart, m_winEnd), and the target it was centred on.
    bool m_hasWindow = false;
    uint64_t m_winStart = 0;
    uint64_t m_winEnd = 0;
    int64_t m_lastTarget = 0;

    // Long-key index: per 16-bit hash of the positions' first six bytes, the newest indexed
    // position, each linked to the previous one under the same hash in a ring of kWindowSize
    // slots addressed by position modulo the window size. The search needs no index of the
    // 2-byte keys themselves: the positions near the anchor are read directly, and the others
    // that can win share six bytes with cur. Positions are never taken out: a walk stops at the
    // first one before the window, whose ring slot may already serve a newer position.
    std::vector<uint32_t> m_longHead;
    std::vector<uint32_t> m_longPrevious;
    // One search's long-key candidates, newest first.
    mutable std::vector<uint32_t> m_candidates;

    // Global search: the whole reference, per hash of a key the newest indexed position and
    // per indexed position (position / kGlobalStride) the previous one under the same hash.
    bool m_global = false;
    std::vector<uint8_t> m_globalRef;
    std::vector<uint32_t> m_globalHead;
    std::vector<uint32_t> m_globalPrevious;
    uint32_t m_globalShift = 0;
    // The last search's copy starts this many pending literals before cur (global only).
    mutable uint32_t m_back = 0;
    // The last search's best saving (0: none).
    mutable int64_t m_lastScore = 0;

    std::vector<uint8_t> m_new;
    uint32_t m_newLoaded = 0;
    uint64_t m_newUnread = 0;

    uint8_t m_pending[kMaxPendingLiterals] = {};
    uint32_t m_pendingCount = 0;
    uint64_t m_anchor = 0;  // R: the reference position after the last copy

    uint64_t m_steps = 0;
    uint64_t m_written = 0;

    CDeltaStream m_commands;
    CDeltaStream m_literals;
};

// Appends the delta of newPath against refPath to output at its current position and returns
// the number of bytes appended. progress may be null. Temporary files go to tempDir (empty: the
// system's temporary directory) and are always removed.
uint64_t EncodeDelta(IByteSink& output, const std::string& newPath, const std::string& refPath,
                     IDeltaProgress* progress, uint32_t rangeStart, uint32_t rangeEnd,
                     const std::string& tempDir = std::string(),
                     DeltaSearch search = DeltaSearch::Window);

}  // namespace velkan
