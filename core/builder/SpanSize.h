// The size of the pieces of a setup program spread over files of a given size: a number of bytes,
// or a number with a decimal unit, K = 1000, M = 1000000, G = 1000000000 bytes (either case, a
// fraction allowed with a unit, rounded down to whole bytes). The units are decimal so that a
// medium's usual name gives pieces that fit on it: 1.44M on a 1 474 560-byte floppy, 650M on a
// 681 574 400-byte CD, 4.7G on a 4 700 372 992-byte DVD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/builder/CDataSectionWriter.h"

namespace velkan {

// The smallest piece: each continuation file takes the chunk length and the rest of a piece of
// the data stream in one write.
inline constexpr uint64_t kMinimumSpanSize = CDataSectionWriter::kPieceSize + 4;

// The size text means, in bytes; empty with the reason in error when it is not a size, is zero
// or smaller than kMinimumSpanSize, or does not fit in 64 bits.
std::optional<uint64_t> ParseSpanSize(std::string_view text, std::string& error);

}  // namespace velkan
