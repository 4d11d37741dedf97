// A second, deliberately plain version delta encoder, used only to check the real one byte for
// byte. Both files are held whole in memory; the window index is rebuilt from scratch whenever
// the window moves; nothing is streamed, buffered or bounded. It follows the encoder's steps one
// by one, so where the real encoder is clever (incremental index, ring buffers, temporary files),
// this one is not.
//
// Readings taken where the steps leave room (each one a switch, so that a disagreement can be
// traced to the reading behind it):
// - The first centring always indexes, although the window "start" does not move from 0.
// - Window arithmetic is signed: for a reference shorter than 2 bytes, E = (M - 1) AND NOT 1 is
//   negative (or 0) and the window is empty.
// - The loaded reference always ends at min(window start + W + 65536, M): the buffer begins at
//   the window start and is filled as far as its capacity and the file allow. Only the file's
//   end ever limits a copy: a candidate lies before start + W and a copy is at most 16383 bytes.
// - "Best length so far" is the length of the current best candidate (0 while no candidate has a
//   positive gain), not the longest length seen.
// - A candidate is first checked for its available length (ends the search), then for its byte at
//   the best length (skipped).
// - A candidate that reaches the length limit is compared like any other, then ends the search.
// - A centring that passes the target test records the target even when the start stays.
#pragma once

#include <cstdint>
#include <vector>

namespace velkan::testing {

class CReferenceDelta {
public:
    using Bytes = std::vector<uint8_t>;

    struct Readings {
        // true: a candidate reaching the limit ends the search only after the usual gain
        // comparison; false: it becomes the best candidate whatever its gain.
        bool limitCandidateCompared = true;
        // true: the best length is that of the best candidate; false: the longest length measured.
        bool bestLengthOfBest = true;
        // true: a centring that passes the target test records the target even when the window
        // start stays; false: only a centring that moves the window does.
        bool targetAlwaysRecorded = true;
    };

    struct Result {
        Bytes commands;
        Bytes literals;
        Bytes framed;  // the two framed sub-streams, as appended to the data stream
    };

    static Result Encode(const Bytes& newFile, const Bytes& reference);
    static Result Encode(const Bytes& newFile, const Bytes& reference, Readings readings);

    // One sub-stream with its framing: packed with the compressor only when that saves at
    // least 4 bytes.
    static void Frame(const Bytes& stream, Bytes& out);
    // The position code of a distance D (S - R).
    static void PositionCode(int64_t distance, Bytes& out);

private:
    static constexpr int64_t kWindow = 32768;
    static constexpr int64_t kSlack = 65536;
    static constexpr int64_t kMaxCopy = 16383;

    CReferenceDelta(const Bytes& newFile, const Bytes& reference, Readings readings);
    void Run();
    void Centre(int64_t target);
    void Rebuild();
    // Fills length and source; false: no match.
    bool Search(int64_t cur, int64_t limit, int64_t& length, int64_t& source) const;
    int64_t Cost(int64_t length, int64_t position) const;
    void Emit(int64_t length, int64_t source);
    void FlushPending();

    const Bytes& m_newFile;
    const Bytes& m_reference;
    Readings m_readings;
    int64_t m_n;
    int64_t m_m;

    bool m_hasWindow = false;
    int64_t m_lastTarget = -(kWindow / 8);
    int64_t m_winStart = 0;
    int64_t m_winEnd = 0;
    int64_t m_loadedEnd = 0;
    // The index of the current window: per key, its positions in increasing order.
    std::vector<uint32_t> m_keyCount;
    std::vector<uint32_t> m_keyFirst;
    std::vector<int64_t> m_positions;

    Bytes m_pending;
    int64_t m_anchor = 0;
    Result m_result;
};

}  // namespace velkan::testing
