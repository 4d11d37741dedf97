// The data section (0x7F7F) that ends every setup program: its header carries the length L of the
// whole data stream, then a u32 chunk length and the chunk. A spanned build continues the stream
// in continuation files (ContinuationFileName), each a u32 chunk length and its chunk.
#pragma once

#include <cstdint>

namespace velkan {

class CSectionWriter;
class IByteSource;

// Writes the data section without spanning: header (id 0x7F7F, flags 0, size length), u32
// length, then length bytes copied from data in 32768-byte pieces. Throws CFileException when the
// source ends early or the length does not fit the format.
void WriteDataSection(CSectionWriter& writer, IByteSource& data, uint64_t length);

}  // namespace velkan
