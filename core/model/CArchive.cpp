#include "core/model/CArchive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/model/CArchiveException.h"
#include "core/platform/CodePage.h"
#include "core/res/StringTable.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

namespace {

// The framework's own text for a file that ends early or whose counts run past its end.
constexpr const char* kUnexpectedFormat = "Unexpected file format.";

}  // namespace

CArchive::CArchive() : m_storing(true) {}

CArchive::CArchive(const unsigned char* data, size_t size)
    : m_storing(false), m_data(data), m_size(size)
{
}

// ---- storing ----

void CArchive::WriteDword(uint32_t value)
{
    unsigned char b[4];
    StoreLE32(b, value);
    m_out.insert(m_out.end(), b, b + 4);
}

void CArchive::WriteCount(size_t count)
{
    if (count < 0xFFFF) {
        m_out.push_back(static_cast<unsigned char>(count));
        m_out.push_back(static_cast<unsigned char>(count >> 8));
    } else {
        m_out.push_back(0xFF);
        m_out.push_back(0xFF);
        WriteDword(static_cast<uint32_t>(count));
    }
}

void CArchive::WriteString(const std::string& text)
{
    size_t n = text.size();
    if (n < 255) {
        m_out.push_back(static_cast<unsigned char>(n));
    } else if (n < 0xFFFE) {
        m_out.push_back(0xFF);
        m_out.push_back(static_cast<unsigned char>(n));
        m_out.push_back(static_cast<unsigned char>(n >> 8));
    } else {
        m_out.push_back(0xFF);
        m_out.push_back(0xFF);
        m_out.push_back(0xFF);
        WriteDword(static_cast<uint32_t>(n));
    }
    m_out.insert(m_out.end(), text.begin(), text.end());
}

void CArchive::WriteStringArray(const std::vector<std::string>& texts)
{
    WriteCount(texts.size());
    for (const std::string& t : texts) WriteString(t);
}

void CArchive::WriteFont(const LogFont& font)
{
    auto bytes = font.ToBytes();
    m_out.insert(m_out.end(), bytes.begin(), bytes.end());
}

// ---- loading ----

void CArchive::FailShort(const std::string& what) const
{
    throw CArchiveException(CArchiveException::Kind::EndOfFile, kUnexpectedFormat,
                            "at byte " + std::to_string(m_pos) + ": " + what);
}

void CArchive::FailSchema(const std::string& message, const std::string& record,
                          uint32_t schema) const
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", schema);
    throw CArchiveException(CArchiveException::Kind::BadSchema, message,
                            "at byte " + std::to_string(m_pos - 4) + ": " + record + " schema " +
                                hex + " cannot be read");
}

void CArchive::Need(size_t bytes, const char* what) const
{
    if (bytes > m_size - m_pos) {
        FailShort(std::string("the file ends inside ") + what + " (" + std::to_string(bytes) +
                  " bytes needed, " + std::to_string(m_size - m_pos) + " left)");
    }
}

uint8_t CArchive::ReadByte()
{
    Need(1, "a length prefix");
    return m_data[m_pos++];
}

uint16_t CArchive::ReadWord()
{
    Need(2, "a length prefix");
    uint16_t v = LoadLE16(m_data + m_pos);
    m_pos += 2;
    return v;
}

uint32_t CArchive::ReadDword()
{
    Need(4, "a number");
    uint32_t v = LoadLE32(m_data + m_pos);
    m_pos += 4;
    return v;
}

void CArchive::Charge(uint64_t bytes, const char* what)
{
    const uint64_t budget = kMemoryPerFileByte * m_size + kMemoryAllowance;
    if (bytes > budget - std::min(m_charged, budget)) {
        FailShort(std::string(what) + " would take more than " + std::to_string(budget) +
                  " bytes of memory, out of proportion to the file's " + std::to_string(m_size) +
                  " bytes");
    }
    m_charged += bytes;
}

size_t CArchive::ReadCount(size_t minRecordSize, size_t memoryPerRecord)
{
    Need(2, "a count");
    size_t count = ReadWord();
    if (count == 0xFFFF) {
        Need(4, "a count");
        count = ReadDword();
    }
    if (minRecordSize && count > Remaining() / minRecordSize) {
        FailShort("a count of " + std::to_string(count) + " records cannot fit in the " +
                  std::to_string(Remaining()) + " bytes left");
    }
    Charge(uint64_t(count) * memoryPerRecord,
           ("a list of " + std::to_string(count) + " records").c_str());
    return count;
}

uint32_t CArchive::ReadStringLength(bool& isWide)
{
    isWide = false;
    for (;;) {
        uint8_t b = ReadByte();
        if (b < 0xFF) return b;
        uint16_t w = ReadWord();
        if (w == 0xFFFE) {  // 16-bit text follows, with its own length prefix
            isWide = true;
            continue;
        }
        if (w < 0xFFFF) return w;
        Need(4, "a length prefix");
        return ReadDword();
    }
}

std::string CArchive::ReadString()
{
    bool isWide = false;
    uint64_t length = ReadStringLength(isWide);
    uint64_t bytes = isWide ? length * 2 : length;
    if (bytes > Remaining()) {
        FailShort("a string of " + std::to_string(bytes) + " bytes runs past the " +
                  std::to_string(Remaining()) + " bytes left");
    }
    const unsigned char* p = m_data + m_pos;
    m_pos += static_cast<size_t>(bytes);
    Charge(bytes, "a string");
    if (!isWide) return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(bytes));
    return Utf16LeToCp1252(p, static_cast<size_t>(length));
}

std::vector<std::string> CArchive::ReadStringArray()
{
    size_t n = ReadCount(1, sizeof(std::string));
    std::vector<std::string> result;
    result.reserve(n);
    for (size_t i = 0; i < n; ++i) result.push_back(ReadString());
    return result;
}

LogFont CArchive::ReadFont()
{
    Need(LogFont::kSize, "a font");
    LogFont f = LogFont::FromBytes(m_data + m_pos);
    m_pos += LogFont::kSize;
    return f;
}

}  // namespace velkan
