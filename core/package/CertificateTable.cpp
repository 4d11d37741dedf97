#include "core/package/CertificateTable.h"

#include "core/package/IPackageInput.h"

namespace velkan {

namespace {

constexpr uint32_t kSecurityDirectory = 4;  // index among the optional header's data directories
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint16_t kCertificateRevision = 0x0200;

uint32_t U32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

bool IsAuthenticodeCertificateTable(IPackageInput& input, uint64_t start)
{
    const uint64_t length = input.GetLength();
    if (start >= length || length < 0x40) return false;
    uint8_t field[8];
    input.ReadAt(0, field, 2);
    if (field[0] != 'M' || field[1] != 'Z') return false;
    input.ReadAt(0x3C, field, 4);
    const uint64_t pe = U32(field);
    // Signature, file header (20 bytes), then the optional header's magic.
    if (pe > length || length - pe < 4 + 20 + 2) return false;
    input.ReadAt(pe, field, 4);
    if (field[0] != 'P' || field[1] != 'E' || field[2] != 0 || field[3] != 0) return false;
    const uint64_t optional = pe + 4 + 20;
    input.ReadAt(optional, field, 2);
    const uint16_t magic = U16(field);
    uint64_t directories;
    if (magic == kPe32Magic) {
        directories = optional + 96;
    } else if (magic == kPe32PlusMagic) {
        directories = optional + 112;
    } else {
        return false;
    }
    // The number of directories sits just before them.
    input.ReadAt(directories - 4, field, 4);
    if (U32(field) <= kSecurityDirectory) return false;
    const uint64_t entry = directories + 8 * kSecurityDirectory;
    if (entry > length || length - entry < 8) return false;
    input.ReadAt(entry, field, 8);
    // Unlike the other directories, this one holds a file offset, not an address in memory.
    const uint64_t tableOffset = U32(field);
    const uint64_t tableSize = U32(field + 4);
    // Signing first pads the file with zeros to a multiple of 8 bytes.
    if (tableOffset < start || tableOffset - start >= 8 || tableOffset % 8 != 0) return false;
    if (tableSize != length - tableOffset) return false;
    for (uint64_t p = start; p < tableOffset; ++p) {
        input.ReadAt(p, field, 1);
        if (field[0] != 0) return false;
    }
    start = tableOffset;
    // WIN_CERTIFICATE records (u32 length, u16 revision, u16 type, data), each padded to 8 bytes.
    uint64_t at = start;
    while (at < length) {
        if (length - at < 8) return false;
        input.ReadAt(at, field, 8);
        const uint64_t recordLength = U32(field);
        if (recordLength < 8 || recordLength > length - at) return false;
        if (U16(field + 4) != kCertificateRevision) return false;
        at += (recordLength + 7) & ~uint64_t(7);
    }
    return at == length;
}

}  // namespace velkan
