// Bounds-checked reading of little-endian package structures from a block in memory. Every read
// that would pass the end throws CPackageException naming the structure and the offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/stream/JoinText.h"

namespace velkan {

class CByteReader {
public:
    // what names the structure in error messages ("version block").
    CByteReader(const uint8_t* data, size_t size, std::string what);

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    uint64_t U64();
    // Bytes up to the next 0 byte, which is skipped.
    std::string ZString();
    // u16 length, then that many bytes.
    std::string CountedString();
    std::vector<uint8_t> Bytes(size_t count);
    void Skip(size_t count);

    size_t Position() const { return m_pos; }
    size_t Size() const { return m_size; }
    size_t Remaining() const { return m_size - m_pos; }
    void Seek(size_t position);
    [[noreturn]] void Fail(const std::string& problem) const;
    [[noreturn]] void Fail(std::initializer_list<TextPiece> problem) const;

private:
    void Need(size_t count, const char* item);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    std::string m_what;
};

}  // namespace velkan
