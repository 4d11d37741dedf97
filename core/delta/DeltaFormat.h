// The version delta format's numbers, shared by the encoder (CDeltaEncoder), the decoder
// (CDeltaDecoder, also used by the install runtime) and the tests' plain encoder.
//
// A delta is two framed sub-streams, commands then literals. A command is one of:
//   0x80 + n - 1 (n = 1..32)        n literals from the literal stream;
//   ((n + 4) << 5) | (L - 2)        n = 1..3 literals, then a copy of L = 2..33 bytes;
//   L - 1 (L = 1..128)              a copy of L bytes;
//   0x00, u16 L - 129 (LE)          a copy of L = 129.. bytes;
// every copy followed by the position code of its distance D from the anchor (the reference
// position after the previous copy). Position codes, most significant byte first:
//   -32 <= D < 32                   one byte 0x80 | (D & 0x3F);
//   D' = D -/+ 32 in [-16384, 16384)   two bytes of D' & 0x7FFF (first byte below 0x80);
//   D'' = D' -/+ 16384, |D''| < 2^21   three bytes of (D'' & 0x3FFFFF) | 0xC00000;
//   otherwise                       the escape D0 00 00 and D'' as 32 bits.
// The three-byte form of D'' = 0x100000 would read as the escape, so it takes the escape too.
#pragma once

#include <cstdint>

namespace velkan::delta {

// ---- Commands ----

// 0x80..0x9F: a run of 1..32 literals (the byte is kLiteralRunBase + count).
constexpr uint8_t kLiteralRunBase = 0x7F;
constexpr uint8_t kLiteralRunFirst = 0x80;
constexpr uint8_t kLiteralRunLast = 0x9F;
constexpr uint32_t kMaxLiteralRun = kLiteralRunLast - kLiteralRunBase;  // 32

// A copy of up to kShortCopyLimit - 1 bytes is the one byte length - 1.
constexpr uint32_t kShortCopyLimit = 129;
// Longer copies: this byte, then length - kShortCopyLimit as a little-endian u16.
constexpr uint8_t kLongCopy = 0x00;

// 0xA0..0xFF: 1..3 literals and a copy of 2..33 bytes in one byte:
// ((literals + kCombinedLiteralBias) << kCombinedShift) | (length - kCombinedLengthBias).
constexpr uint32_t kCombinedMaxLiterals = 3;
constexpr uint32_t kCombinedLengthLimit = 34;  // copies shorter than this
constexpr uint32_t kCombinedLiteralBias = 4;
constexpr uint32_t kCombinedShift = 5;
constexpr uint32_t kCombinedLengthMask = 0x1F;
constexpr uint32_t kCombinedLengthBias = 2;

// ---- Position codes ----

// One byte: kNearCodeFlag | (D & kNearCodeMask) for -kNearReach <= D < kNearReach.
constexpr int64_t kNearReach = 32;
constexpr uint8_t kNearCodeFlag = 0x80;
constexpr uint8_t kNearCodeLast = 0xBF;
constexpr uint8_t kNearCodeMask = 0x3F;
// Two bytes: D' = D -/+ kNearReach, -kMidReach <= D' < kMidReach, as D' & kMidCodeMask.
constexpr int64_t kMidReach = 16384;
constexpr uint32_t kMidCodeMask = 0x7FFF;
// Three bytes: D'' = D' -/+ kMidReach, |D''| < kFarReach, as (D'' & kFarCodeMask) | kFarCodeFlag.
constexpr int64_t kFarReach = 2097152;
constexpr uint32_t kFarCodeMask = 0x3FFFFF;
constexpr uint32_t kFarCodeFlag = 0xC00000;
// The escape: these three bytes, then D'' as 32 bits (two's complement).
constexpr uint8_t kEscape[3] = {0xD0, 0x00, 0x00};
constexpr uint32_t kEscapeLength = 7;
// The D'' whose three-byte form equals the escape's first three bytes.
constexpr int64_t kEscapeValue = 1048576;

// ---- Sub-stream framing ----

// Flag byte: bit 0 packed, bit 1 the unpacked length is 32-bit (else 16), bit 2 the packed
// length is 32-bit. An empty sub-stream is 00 00 00.
constexpr uint8_t kFramePacked = 1;
constexpr uint8_t kFrameWideLength = 2;
constexpr uint8_t kFrameWidePackedLength = 4;
constexpr uint8_t kFrameFlags = kFramePacked | kFrameWideLength | kFrameWidePackedLength;
// A packed sub-stream is used only when it saves at least this many bytes.
constexpr uint64_t kMinPackedSaving = 4;

}  // namespace velkan::delta
