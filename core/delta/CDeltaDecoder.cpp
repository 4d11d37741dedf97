#include "core/delta/CDeltaDecoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/compress/CDecompressor.h"
#include "core/delta/CDeltaException.h"
#include "core/delta/DeltaFormat.h"
#include "core/stream/JoinText.h"

namespace velkan {

namespace {

// Output is gathered and written in blocks of this size.
constexpr size_t kOutputBlock = 65536;

// The message is joined here, once, rather than at each of the many checks.
[[noreturn]] void Fail(std::initializer_list<TextPiece> pieces)
{
    std::string what = "malformed delta: ";
    for (const TextPiece& piece : pieces) piece.AppendTo(what);
    throw CDeltaException(what);
}

// One sub-stream, pointing into the delta (stored) or into its own unpacked copy (packed).
struct SubStream {
    const uint8_t* data = nullptr;
    uint64_t length = 0;
    std::vector<uint8_t> unpacked;
};

// The packed form of a sub-stream, unpacked. The stated length is only compared with what the
// stream really yields; nothing is allocated from it.
std::vector<uint8_t> UnpackSubStream(const uint8_t* packed, size_t packedLength, uint64_t length,
                                     const char* name)
{
    try {
        return CDecompressor::Unpack(packed, packedLength, length);
    } catch (const CDecodeError& e) {
        Fail({name, " sub-stream: ", e.what()});
    }
}

uint64_t ReadLength(const uint8_t* delta, size_t size, size_t& at, bool wide, const char* name,
                    const char* which)
{
    size_t width = wide ? 4 : 2;
    if (size - at < width) {
        Fail({name, " sub-stream: ", which, " length cut off at offset ", at});
    }
    uint64_t value = delta[at] | (delta[at + 1] << 8);
    if (wide) value |= (uint64_t(delta[at + 2]) << 16) | (uint64_t(delta[at + 3]) << 24);
    at += width;
    return value;
}

// Each command writes at least one byte and takes at most eight (a one-byte copy with the
// longest position code); each literal is written once. So a delta rebuilding a file of a known
// length cannot use more of either sub-stream, and larger declarations are refused before
// anything is unpacked.
constexpr uint64_t kMaxCommandBytesPerOutputByte = 8;
// Without the file's length nothing bounds a sub-stream; this cap keeps a stated size from
// costing memory out of proportion (a delta of a larger file is applied with its length given).
constexpr uint64_t kMaxSubStreamWithoutLength = 256ull << 20;
// Nor does anything bound the file itself: a few bytes of long copies rebuild gigabytes, and
// repeated they would fill the disk. Without the length, the file may be at most this long or
// twice the reference, whichever is more.
constexpr uint64_t kMaxOutputWithoutLength = 256ull << 20;

struct SubStreamLimit {
    uint64_t bytes;
    bool fromLength;  // derived from the file's expected length
};

void ReadSubStream(const uint8_t* delta, size_t size, size_t& at, const char* name, SubStream& out,
                   SubStreamLimit limit)
{
    const size_t start = at;
    if (at >= size) Fail({name, " sub-stream missing at offset ", at});
    const uint8_t flags = delta[at++];
    if (flags & ~delta::kFrameFlags) {
        Fail({name, " sub-stream at offset ", start, ": unknown framing flags ", flags});
    }
    const bool packed = flags & delta::kFramePacked;
    if (!packed && (flags & delta::kFrameWidePackedLength)) {
        Fail({name, " sub-stream at offset ", start,
              ": packed-length width given for a stored sub-stream"});
    }
    out.length = ReadLength(delta, size, at, flags & delta::kFrameWideLength, name, "unpacked");
    if (out.length > limit.bytes) {
        Fail({name, " sub-stream at offset ", start, " declares ", out.length, " bytes, more than ",
              limit.fromLength ? "a file of the expected length can use ("
                               : "a sub-stream may hold without the file's length (",
              limit.bytes, ")"});
    }
    if (!packed) {
        if (size - at < out.length) {
            Fail({name, " sub-stream at offset ", start, " holds ", out.length, " bytes but only ",
                  size - at, " remain"});
        }
        out.data = delta + at;
        at += static_cast<size_t>(out.length);
        return;
    }
    const uint64_t packedLength =
        ReadLength(delta, size, at, flags & delta::kFrameWidePackedLength, name, "packed");
    if (size - at < packedLength) {
        Fail({name, " sub-stream at offset ", start, ": packed length ", packedLength,
              " exceeds the ", size - at, " bytes that remain"});
    }
    out.unpacked = UnpackSubStream(delta + at, static_cast<size_t>(packedLength), out.length, name);
    out.data = out.unpacked.data();
    at += static_cast<size_t>(packedLength);
}

// A position code: the copy's start relative to the anchor. Multi-byte codes are most
// significant byte first.
int64_t ReadPositionCode(const SubStream& commands, size_t& at, size_t commandStart)
{
    auto need = [&](size_t n) {
        if (commands.length - at < n) {
            Fail({"command at offset ", commandStart,
                  " of the command sub-stream: position code cut off"});
        }
    };
    need(1);
    using namespace delta;
    const uint8_t* c = commands.data;
    const uint8_t b0 = c[at];
    if (b0 >= kNearCodeFlag && b0 <= kNearCodeLast) {
        ++at;
        int64_t d = b0 & kNearCodeMask;
        return d >= kNearReach ? d - 2 * kNearReach : d;
    }
    int64_t u;
    if (b0 < kNearCodeFlag) {
        need(2);
        int64_t v = (int64_t(b0) << 8) | c[at + 1];
        at += 2;
        u = v >= kMidReach ? v - 2 * kMidReach : v;
    } else {
        need(3);
        int64_t v;
        if (b0 == kEscape[0] && c[at + 1] == kEscape[1] && c[at + 2] == kEscape[2]) {
            need(kEscapeLength);
            uint32_t raw = (uint32_t(c[at + 3]) << 24) | (uint32_t(c[at + 4]) << 16) |
                           (uint32_t(c[at + 5]) << 8) | c[at + 6];
            v = static_cast<int32_t>(raw);
            at += kEscapeLength;
        } else {
            v = (int64_t(b0 & (kFarCodeMask >> 16)) << 16) | (int64_t(c[at + 1]) << 8) | c[at + 2];
            if (v >= kFarReach) v -= 2 * kFarReach;
            at += 3;
        }
        u = v >= 0 ? v + kMidReach : v - kMidReach;
    }
    return u >= 0 ? u + kNearReach : u - kNearReach;
}

class COutput {
public:
    COutput(IByteSink& sink, uint64_t limit, bool limitIsLength)
        : m_sink(sink), m_limit(limit), m_bLimitIsLength(limitIsLength)
    {
        m_block.reserve(kOutputBlock);
    }
    // Room for n more bytes, checked against the limit before anything is copied.
    void Reserve(uint64_t n, size_t commandStart)
    {
        if (m_total + n > m_limit) {
            Fail({"command at offset ", commandStart,
                  " of the command sub-stream makes the file longer than ",
                  m_bLimitIsLength ? "its " : "the most a delta rebuilds without its length, ",
                  m_limit, " bytes"});
        }
        m_total += n;
    }
    uint8_t* Take(size_t n)
    {
        if (m_block.size() + n > kOutputBlock) Flush();
        size_t old = m_block.size();
        m_block.resize(old + n);
        return m_block.data() + old;
    }
    void Flush()
    {
        if (!m_block.empty()) m_sink.Write(m_block.data(), m_block.size());
        m_block.clear();
    }
    uint64_t Total() const { return m_total; }

private:
    IByteSink& m_sink;
    uint64_t m_limit;
    bool m_bLimitIsLength;
    std::vector<uint8_t> m_block;
    uint64_t m_total = 0;
};

}  // namespace

uint64_t CDeltaDecoder::Apply(const uint8_t* delta, size_t size, IDeltaReference& reference,
                              IByteSink& output, std::optional<uint64_t> expectedLength)
{
    SubStream commands;
    SubStream literals;
    size_t at = 0;
    SubStreamLimit commandLimit{kMaxSubStreamWithoutLength, false};
    SubStreamLimit literalLimit{kMaxSubStreamWithoutLength, false};
    if (expectedLength) {
        commandLimit = {*expectedLength * kMaxCommandBytesPerOutputByte, true};
        literalLimit = {*expectedLength, true};
    }
    ReadSubStream(delta, size, at, "command", commands, commandLimit);
    ReadSubStream(delta, size, at, "literal", literals, literalLimit);
    if (at != size) {
        Fail({size - at, " bytes after the literal sub-stream (offset ", at, ")"});
    }

    const uint64_t refLength = reference.GetLength();
    const uint64_t limit =
        expectedLength ? *expectedLength : std::max(kMaxOutputWithoutLength, 2 * refLength);
    // Two passes over the commands: the first checks every command and adds up the file's
    // length without reading or writing anything, so a delta that breaks a rule or its bound
    // is refused before a byte is written; the second rebuilds the file.
    auto run = [&](COutput& out, bool write) {
        uint64_t anchor = 0;
        size_t literalAt = 0;
        size_t c = 0;
        auto takeLiterals = [&](uint32_t n, size_t commandStart) {
            if (literals.length - literalAt < n) {
                Fail({"command at offset ", commandStart, " of the command sub-stream takes ", n,
                      " literals but only ", literals.length - literalAt, " remain"});
            }
            out.Reserve(n, commandStart);
            if (write) std::memcpy(out.Take(n), literals.data + literalAt, n);
            literalAt += n;
        };

        while (c < commands.length) {
            const size_t commandStart = c;
            const uint8_t op = commands.data[c++];
            if (op >= delta::kLiteralRunFirst && op <= delta::kLiteralRunLast) {
                takeLiterals(op - delta::kLiteralRunBase, commandStart);
                continue;
            }
            uint32_t length;
            if (op == delta::kLongCopy) {
                if (commands.length - c < 2) {
                    Fail({"command at offset ", commandStart,
                          " of the command sub-stream: copy length cut off"});
                }
                length = delta::kShortCopyLimit + (commands.data[c] | (commands.data[c + 1] << 8));
                c += 2;
            } else if (op < delta::kLiteralRunFirst) {
                length = op + 1u;
            } else {
                takeLiterals((op >> delta::kCombinedShift) - delta::kCombinedLiteralBias,
                             commandStart);
                length = (op & delta::kCombinedLengthMask) + delta::kCombinedLengthBias;
            }
            const int64_t distance = ReadPositionCode(commands, c, commandStart);
            // Positions are 32-bit quantities: the seven-byte code carries the distance modulo
            // 2^32.
            const uint64_t source = static_cast<uint32_t>(anchor + static_cast<uint64_t>(distance));
            if (source > refLength || refLength - source < length) {
                Fail({"command at offset ", commandStart, " of the command sub-stream copies ",
                      length, " bytes from reference position ", source,
                      ", beyond the reference's ", refLength, " bytes"});
            }
            out.Reserve(length, commandStart);
            uint64_t from = source;
            uint32_t left = write ? length : 0;
            while (left > 0) {
                uint32_t n = std::min<uint32_t>(left, static_cast<uint32_t>(kOutputBlock));
                reference.ReadAt(from, out.Take(n), n);
                from += n;
                left -= n;
            }
            anchor = source + length;
        }
        if (literalAt != literals.length) {
            Fail({literals.length - literalAt, " literal bytes left unused"});
        }
        if (expectedLength && out.Total() != *expectedLength) {
            Fail({"the file comes out ", out.Total(), " bytes long instead of ", *expectedLength});
        }
    };
    COutput check(output, limit, expectedLength.has_value());
    run(check, false);
    COutput out(output, limit, expectedLength.has_value());
    run(out, true);
    out.Flush();
    return out.Total();
}

}  // namespace velkan
