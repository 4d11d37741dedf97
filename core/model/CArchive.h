// The project file's primitive encodings, in both directions: DWORDs, counts, strings (with the
// 16-bit form that older writers produced), string arrays and the 60-byte font. A storing archive
// appends to a byte buffer; a loading archive reads a byte buffer and checks every count and
// length against what is left, so a hostile file can neither overrun it nor make it allocate more
// than the file could hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model/LogFont.h"

namespace velkan {

class CArchive {
public:
    // A storing archive.
    CArchive();
    // A loading archive over bytes that must outlive it.
    CArchive(const unsigned char* data, size_t size);

    bool IsStoring() const { return m_storing; }

    // Storing.
    void WriteDword(uint32_t value);
    void WriteInt(int32_t value) { WriteDword(static_cast<uint32_t>(value)); }
    void WriteCount(size_t count);
    void WriteString(const std::string& text);
    void WriteStringArray(const std::vector<std::string>& texts);
    void WriteFont(const LogFont& font);
    const std::vector<unsigned char>& Bytes() const { return m_out; }

    // Loading. Each throws CArchiveException (EndOfFile) when the file ends early.
    uint32_t ReadDword();
    int32_t ReadInt() { return static_cast<int32_t>(ReadDword()); }
    // A count of records, each at least minRecordSize bytes long: a count that the rest of the
    // file cannot hold is refused before anything is allocated. Each record is charged
    // memoryPerRecord bytes against the file's memory budget (see Charge).
    size_t ReadCount(size_t minRecordSize, size_t memoryPerRecord = 0);
    // Counts memory that what is read takes. A file may make its records take at most
    // kMemoryPerFileByte bytes per byte of the file plus kMemoryAllowance: a list of tiny
    // records (10 MB of empty strings, each a 32-byte string in memory) is refused rather than
    // let cost gigabytes.
    void Charge(uint64_t bytes, const char* what);
    static constexpr uint64_t kMemoryPerFileByte = 16;
    static constexpr uint64_t kMemoryAllowance = 1 << 20;
    std::string ReadString();
    std::vector<std::string> ReadStringArray();
    LogFont ReadFont();
    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }

    // Throws the "Incorrect version!"-style refusal for a record at the current position.
    [[noreturn]] void FailSchema(const std::string& message, const std::string& record,
                                 uint32_t schema) const;

private:
    [[noreturn]] void FailShort(const std::string& what) const;
    void Need(size_t bytes, const char* what) const;
    uint8_t ReadByte();
    uint16_t ReadWord();
    // The length prefix of a String; sets isWide for the 16-bit marker form.
    uint32_t ReadStringLength(bool& isWide);

    bool m_storing;
    std::vector<unsigned char> m_out;
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
    uint64_t m_charged = 0;
};

}  // namespace velkan
