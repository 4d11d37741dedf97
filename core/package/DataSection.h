// The data section (0x7F7F) that ends every setup program: its header carries the length L of the
// whole data stream, then a u32 chunk length and the chunk. A spanned build continues the stream
// in continuation files (".D01", ".D02", ...), each a u32 chunk length and its chunk.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class CSectionWriter;
class IByteSource;

// The path of continuation file n (1, 2, ...): the setup program's path with everything from the
// last '.' of its file name replaced by ".D%2.2d" of n, or that suffix appended when the file name
// has no '.'. Both '/' and '\' end a directory name, so a '.' in a directory is never touched.
// For the builder's 8-bit paths and the runtime's wide ones alike.
template <class Char>
std::basic_string<Char> ContinuationFileName(const std::basic_string<Char>& path, int n)
{
    std::basic_string<Char> digits;
    for (unsigned value = n < 0 ? 0u : static_cast<unsigned>(n); value || digits.size() < 2;
         value /= 10)
        digits.insert(digits.begin(), static_cast<Char>('0' + value % 10));
    std::basic_string<Char> suffix{static_cast<Char>('.'), static_cast<Char>('D')};
    suffix += digits;
    const Char slashes[] = {static_cast<Char>('/'), static_cast<Char>('\\'), 0};
    size_t nameStart = path.find_last_of(slashes);
    nameStart = nameStart == std::basic_string<Char>::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind(static_cast<Char>('.'));
    if (dot == std::basic_string<Char>::npos || dot < nameStart) return path + suffix;
    return path.substr(0, dot) + suffix;
}

// Writes the data section without spanning: header (id 0x7F7F, flags 0, size length), u32
// length, then length bytes copied from data in 32768-byte pieces. Throws CFileException when the
// source ends early or the length does not fit the format.
void WriteDataSection(CSectionWriter& writer, IByteSource& data, uint64_t length);

}  // namespace velkan
