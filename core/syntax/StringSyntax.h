// The syntax of strings written into installed files: where to write (an offset, or a byte
// pattern whose first occurrence in the file gives the place) and what to write. The Install info
// dialog's validity display and the package writer both parse through here, so they always agree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velkan {

// Comma-separated tokens, each one byte in decimal (300 -> 44) or hexadecimal (0x141 -> 0x41),
// or several bytes in double or single quotes. Returns the number of bytes, 0 for an empty text
// or any error. With a buffer the bytes are stored there, and a result that would exceed
// capacity is an error; without one (nullptr) only the count is computed.
size_t ParseBytePattern(std::string_view text, unsigned char* buffer = nullptr,
                        size_t capacity = 0);

// A decimal or "0x" hexadecimal offset, blanks around it allowed, accumulated modulo 2^32.
// Empty text and any invalid character give 0.
uint32_t ParseOffset(std::string_view text);

}  // namespace velkan
