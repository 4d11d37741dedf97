#include "core/package/CertificateTable.h"

#include "core/package/IPackageInput.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

namespace {

constexpr uint64_t kAlignment = 8;    // certificate entries and the table start on 8 bytes
constexpr uint32_t kEntryHeader = 8;  // dwLength, wRevision, wCertificateType
constexpr unsigned kSecurityDirectory = 4;

}  // namespace

std::optional<CertificateTable> FindCertificateTable(IPackageInput& input)
{
    const uint64_t length = input.GetLength();
    uint8_t dos[64];
    if (length < sizeof dos) return std::nullopt;
    input.ReadAt(0, dos, sizeof dos);
    if (dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
    const uint64_t pe = LoadLE32(dos + 0x3C);
    // Signature, file header and the optional header up to its data directories (PE32+ is longest).
    uint8_t header[4 + 20 + 112 + 8 * (kSecurityDirectory + 1)];
    if (pe > length || length - pe < sizeof header) return std::nullopt;
    input.ReadAt(pe, header, sizeof header);
    if (LoadLE32(header) != 0x00004550) return std::nullopt;  // "PE\0\0"
    const uint8_t* optional = header + 24;
    const uint16_t sizeOfOptional = LoadLE16(header + 4 + 16);
    size_t directories;
    size_t countField;
    switch (LoadLE16(optional)) {
    case 0x10B: directories = 96, countField = 92; break;    // PE32
    case 0x20B: directories = 112, countField = 108; break;  // PE32+
    default: return std::nullopt;
    }
    if (LoadLE32(optional + countField) <= kSecurityDirectory ||
        sizeOfOptional < directories + 8 * (kSecurityDirectory + 1)) {
        return std::nullopt;
    }
    const uint8_t* entry = optional + directories + 8 * kSecurityDirectory;
    CertificateTable table{LoadLE32(entry), LoadLE32(entry + 4)};
    if (table.offset == 0 && table.size == 0) return std::nullopt;
    return table;
}

std::optional<std::string> ProblemAfterPackage(IPackageInput& input, uint64_t packageEnd)
{
    const uint64_t length = input.GetLength();
    if (packageEnd >= length) return std::nullopt;
    const std::string extra = std::to_string(length - packageEnd) +
                              " bytes follow the package at offset " + std::to_string(packageEnd);
    std::optional<CertificateTable> table = FindCertificateTable(input);
    if (!table) return extra + " and the program names no certificate table";
    // Tools pad to the next 8-byte boundary; a table right at the end of the package is fine too.
    if (table->offset < packageEnd || table->offset - packageEnd >= kAlignment) {
        return extra + " but the certificate table starts at offset " +
               std::to_string(table->offset);
    }
    if (table->size > length - table->offset || table->offset + table->size != length) {
        return extra + " but the certificate table (offset " + std::to_string(table->offset) +
               ", " + std::to_string(table->size) + " bytes) does not end where the file ends";
    }
    uint8_t padding[kAlignment];
    const size_t paddingSize = static_cast<size_t>(table->offset - packageEnd);
    input.ReadAt(packageEnd, padding, paddingSize);
    for (size_t i = 0; i < paddingSize; ++i) {
        if (padding[i] != 0)
            return extra + ": the padding before the certificate table is not zero";
    }
    // Whole entries, each at an 8-byte boundary, filling the table.
    uint64_t pos = table->offset;
    while (pos < length) {
        uint8_t head[kEntryHeader];
        if (length - pos < kEntryHeader)
            return "a certificate entry at offset " + std::to_string(pos) + " is cut short";
        input.ReadAt(pos, head, sizeof head);
        const uint32_t entryLength = LoadLE32(head);
        const uint16_t revision = LoadLE16(head + 4);
        const uint16_t type = LoadLE16(head + 6);
        if (entryLength < kEntryHeader || entryLength > length - pos ||
            (revision != 0x0100 && revision != 0x0200) || type < 1 || type > 4) {
            return "the certificate entry at offset " + std::to_string(pos) + " is malformed";
        }
        const uint64_t next = pos + (entryLength + kAlignment - 1) / kAlignment * kAlignment;
        pos = next < length ? next : length;
    }
    return std::nullopt;
}

}  // namespace velkan
