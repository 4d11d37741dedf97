// Writes package sections (8-byte header: u16 id, u16 flags, u32 body size) to one output: a
// setup program, a test program, or a block in memory. Bodies of 8 bytes or more are packed
// (u32 unpacked size, then one compressed stream); the header's size is corrected once the body
// is written. The writer is itself a byte sink, so callers can write a body of their own between
// WriteSection(id, nullptr, ...) and CloseSection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/stream/IByteSink.h"

namespace velkan {

class CFile;
class IDiskFile;

class CSectionWriter : public IByteSink {
public:
    // Mode bits of WriteSection.
    static constexpr unsigned kModePrePacked =
        1;  // the data already is a packed body: flags 1, stored as is
    static constexpr unsigned kModeForcePack = 2;  // pack even a body shorter than 8 bytes

    // Writes at the file's current position; the file must allow seeking back (Create or ReadWrite).
    explicit CSectionWriter(CFile& file);
    // Writes at the disk file's current position (a build's setup program on its target disk).
    explicit CSectionWriter(IDiskFile& file);
    // Appends to a block in memory.
    explicit CSectionWriter(std::vector<uint8_t>& block);

    // Writes a section. flags = 1 when size >= 8 or mode has bit 0 or 1 set. With data null the
    // section stays open for the caller's body (close it with CloseSection). Otherwise a packed
    // section gets u32 size and the compressed data (kept even when not smaller), an unpacked one
    // the data as is.
    void WriteSection(uint16_t id, const void* data, uint32_t size, unsigned mode = 0);
    // Writes a header with exactly these values and leaves it open; no size correction follows
    // unless the caller closes it.
    void BeginSection(uint16_t id, uint16_t flags, uint32_t size);
    // Sets the open section's size field to the bytes written after its header, when they differ.
    void CloseSection();

    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);

    void Write(const void* data, size_t size) override;
    uint64_t GetPosition() const override;

private:
    void WriteHeader(uint16_t id, uint16_t flags, uint32_t size);
    void PatchU32(uint64_t position, uint32_t value);

    CFile* m_file = nullptr;
    IDiskFile* m_disk = nullptr;
    std::vector<uint8_t>* m_block = nullptr;
    uint16_t m_nId = 0;
    uint16_t m_nFlags = 0;
    uint32_t m_nSize = 0;
    uint64_t m_nBodyStart = 0;
};

}  // namespace velkan
