// A growing block of little-endian package data built in memory (version blocks, lists, file
// tables, the uninstaller data block), with the patching of fields whose values come later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velkan {

class CByteBuffer {
public:
    // Memory grows in steps of this many bytes, as the package writer always did.
    static constexpr size_t kGrowth = 1024;

    void PutU8(uint8_t value);
    void PutU16(uint16_t value);
    void PutU32(uint32_t value);
    void PutU64(uint64_t value);
    void PutBytes(const void* data, size_t size);
    void PutZeros(size_t count);
    // The string's bytes and one 0 byte.
    void PutZString(std::string_view text);
    // u16 length, then the bytes; a text longer than 65535 bytes is cut to that length so the
    // length field stays true.
    void PutCountedString(std::string_view text);

    void PatchU32(size_t position, uint32_t value);
    void PatchU16(size_t position, uint16_t value);

    size_t Size() const { return m_bytes.size(); }
    const uint8_t* Data() const { return m_bytes.data(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    void Reserve(size_t more);

    std::vector<uint8_t> m_bytes;
};

}  // namespace velkan
