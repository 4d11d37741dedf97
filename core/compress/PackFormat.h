// The packed stream: constants shared by the encoder (CCompressor) and the decoder
// (CDecompressor), so the reading half builds on its own.
//
// The stream is deflate (LSB-first bit packing, canonical Huffman codes, the deflate symbol
// alphabets) with three differences that every reader and writer must honour:
//   - a 4-bit block header: bits 0-2 the type (7 stored, 5 fixed codes, 6 dynamic codes),
//     bit 3 set on the last block;
//   - a stored block carries LEN (16 bits) and no complement;
//   - the code-length code lengths are sent in the order 18, 17, 16, 0, 1, ..., 15.
// There is no header, trailer or checksum: containers record the sizes.
#pragma once

#include <cstdint>

namespace velkan::pack {

// Block header values (bits 0-2) and the last-block flag (bit 3).
constexpr unsigned kStoredBlock = 7;
constexpr unsigned kFixedBlock = 5;
constexpr unsigned kDynamicBlock = 6;
constexpr unsigned kLastBlockFlag = 8;
constexpr unsigned kHeaderBits = 4;

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr unsigned kHistorySize = 32768;  // the farthest a distance code can reach

constexpr int kLiterals = 256;
constexpr int kEndBlock = 256;
constexpr int kLengthCodes = 29;
constexpr int kLitLenCodes = kLiterals + 1 + kLengthCodes;  // 286 usable symbols
constexpr int kFixedLitLenCodes = 288;                      // the fixed code also defines 286, 287
constexpr int kDistCodes = 30;
constexpr int kCodeLengthCodes = 19;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;

// Extra bits per length code, per distance code and per code-length symbol.
constexpr uint8_t kLengthExtraBits[kLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint8_t kDistExtraBits[kDistCodes] = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kCodeLengthExtraBits[kCodeLengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                            0, 0, 0, 0, 0, 0, 2, 3, 7};

// Order in which the code-length code lengths are sent (not the RFC 1951 order).
constexpr uint8_t kCodeLengthOrder[kCodeLengthCodes] = {18, 17, 16, 0,  1,  2,  3,  4,  5, 6,
                                                        7,  8,  9,  10, 11, 12, 13, 14, 15};

// Base match length per length code, and base distance per distance code.
constexpr uint16_t kLengthBase[kLengthCodes] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint16_t kDistBase[kDistCodes] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

}  // namespace velkan::pack
