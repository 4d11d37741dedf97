#include "core/platform/PeVersionInfo.h"

#include <functional>
#include <optional>

#include "core/stream/CFile.h"
#include "core/stream/LittleEndian.h"

namespace velkan {

namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kResourceTypeVersion = 16;
constexpr uint32_t kVersionInfoId = 1;
// Limits that no genuine file reaches; they keep a hostile file from making us read much.
constexpr uint32_t kMaxSections = 96;
constexpr uint32_t kMaxDirectoryEntries = 4096;
constexpr size_t kMaxOptionalHeader = 4096;

size_t Align4(size_t n)
{
    return (n + 3) & ~size_t(3);
}

// Reads n bytes at an offset of the file; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, size_t n, unsigned char* out)>;

struct Section {
    uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

class PeReader {
public:
    explicit PeReader(ReadAt read) : m_read(std::move(read)) {}

    std::optional<std::vector<unsigned char>> VersionResource()
    {
        unsigned char dos[64];
        if (!m_read(0, sizeof dos, dos) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
        uint32_t pe = LoadLE32(dos + 0x3C);
        unsigned char coff[24];
        if (!m_read(pe, sizeof coff, coff) || LoadLE32(coff) != 0x00004550) return std::nullopt;
        uint32_t sectionCount = LoadLE16(coff + 6);
        size_t optionalSize = LoadLE16(coff + 20);
        if (sectionCount > kMaxSections || optionalSize > kMaxOptionalHeader) return std::nullopt;
        std::vector<unsigned char> opt(optionalSize);
        if (optionalSize < 2 || !m_read(pe + 24ULL, optionalSize, opt.data())) return std::nullopt;
        size_t countAt, dirsAt;
        switch (LoadLE16(opt.data())) {
        case 0x10B:
            countAt = 92;
            dirsAt = 96;
            break;  // PE32
        case 0x20B:
            countAt = 108;
            dirsAt = 112;
            break;  // PE32+
        default: return std::nullopt;
        }
        if (countAt + 4 > optionalSize || LoadLE32(&opt[countAt]) < 3 ||
            dirsAt + 24 > optionalSize) {
            return std::nullopt;
        }
        uint32_t resourceRva = LoadLE32(&opt[dirsAt + 16]);
        if (resourceRva == 0) return std::nullopt;

        std::vector<unsigned char> table(sectionCount * 40ULL);
        if (!m_read(pe + 24ULL + optionalSize, table.size(), table.data())) return std::nullopt;
        for (uint32_t i = 0; i < sectionCount; ++i) {
            const unsigned char* s = &table[i * 40ULL];
            m_sections.push_back(
                {LoadLE32(s + 12), LoadLE32(s + 8), LoadLE32(s + 16), LoadLE32(s + 20)});
        }
        auto root = ToOffset(resourceRva);
        if (!root) return std::nullopt;
        m_resourceBase = *root;

        auto names = FindEntry(m_resourceBase, kResourceTypeVersion, true);
        if (!names) return std::nullopt;
        auto languages = FindEntry(*names, kVersionInfoId, true);
        if (!languages) return std::nullopt;
        auto dataEntry = FindEntry(*languages, std::nullopt, false);
        if (!dataEntry) return std::nullopt;
        unsigned char entry[8];
        if (!m_read(*dataEntry, sizeof entry, entry)) return std::nullopt;
        uint32_t size = LoadLE32(entry + 4);
        auto at = ToOffset(LoadLE32(entry));
        if (!at || size < 6 || size > 0xFFFF) return std::nullopt;
        std::vector<unsigned char> data(size);
        if (!m_read(*at, size, data.data())) return std::nullopt;
        return data;
    }

private:
    std::optional<uint64_t> ToOffset(uint32_t rva) const
    {
        for (const Section& s : m_sections) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
                return uint64_t(s.rawOffset) + (rva - s.virtualAddress);
            }
        }
        return std::nullopt;
    }

    // In the resource directory at dir, the entry with the wanted id (or, without one or when it
    // is absent and fallback allowed, the first entry); returns the file offset of the
    // sub-directory it points to (wantDirectory) or of its data entry.
    std::optional<uint64_t> FindEntry(uint64_t dir, std::optional<uint32_t> id, bool wantDirectory)
    {
        unsigned char header[16];
        if (!m_read(dir, sizeof header, header)) return std::nullopt;
        uint32_t named = LoadLE16(header + 12);
        uint32_t count = named + LoadLE16(header + 14);
        if (count == 0 || count > kMaxDirectoryEntries) return std::nullopt;
        std::vector<unsigned char> entries(count * 8ULL);
        if (!m_read(dir + 16, entries.size(), entries.data())) return std::nullopt;
        std::optional<uint32_t> chosen;
        for (uint32_t i = 0; i < count && !chosen; ++i) {
            uint32_t name = LoadLE32(&entries[i * 8ULL]);
            if (!id || (i >= named && name == *id)) chosen = i;
        }
        // The version resource's name is 1 by convention; accept any name otherwise, but a
        // resource type must match exactly.
        if (!chosen && id && *id == kVersionInfoId) chosen = 0;
        if (!chosen) return std::nullopt;
        uint32_t target = LoadLE32(&entries[*chosen * 8ULL + 4]);
        bool isDirectory = (target & 0x80000000u) != 0;
        if (isDirectory != wantDirectory) return std::nullopt;
        return m_resourceBase + (target & 0x7FFFFFFFu);
    }

    ReadAt m_read;
    std::vector<Section> m_sections;
    uint64_t m_resourceBase = 0;
};

// One block of a version resource: length, value length, type, key, then the value and children.
struct Block {
    size_t start = 0, end = 0;
    size_t valueLength = 0;
    std::string key;  // ASCII of the UTF-16 key
    size_t valueAt = 0;
    size_t childrenAt = 0;
};

std::optional<Block> ReadBlock(const unsigned char* data, size_t size, size_t at)
{
    if (at + 6 > size) return std::nullopt;
    Block b;
    b.start = at;
    size_t length = LoadLE16(data + at);
    if (length < 6 || at + length > size) return std::nullopt;
    b.end = at + length;
    b.valueLength = LoadLE16(data + at + 2);
    size_t p = at + 6;
    for (;;) {
        if (p + 2 > b.end) return std::nullopt;
        uint16_t c = LoadLE16(data + p);
        p += 2;
        if (c == 0) break;
        b.key += c < 0x80 ? static_cast<char>(c) : '?';
    }
    b.valueAt = Align4(p);
    bool isText = LoadLE16(data + at + 4) == 1;  // a text value counts 16-bit characters
    size_t valueBytes = isText ? b.valueLength * 2 : b.valueLength;
    b.childrenAt = std::min(Align4(b.valueAt + valueBytes), b.end);
    if (b.valueAt + valueBytes > b.end) b.valueLength = 0;
    return b;
}

}  // namespace

PeVersionInfo ParseVersionResource(const unsigned char* data, size_t size)
{
    PeVersionInfo info;
    auto root = ReadBlock(data, size, 0);
    if (!root || root->key != "VS_VERSION_INFO") return info;
    if (root->valueLength >= 52 && LoadLE32(data + root->valueAt) == kFixedInfoSignature) {
        const unsigned char* f = data + root->valueAt;
        info.hasFixedInfo = true;
        info.fileVersionMS = LoadLE32(f + 8);
        info.fileVersionLS = LoadLE32(f + 12);
        info.productVersionMS = LoadLE32(f + 16);
        info.productVersionLS = LoadLE32(f + 20);
    }
    for (size_t at = root->childrenAt; at < root->end;) {
        auto child = ReadBlock(data, root->end, at);
        if (!child) break;
        if (child->key == "VarFileInfo") {
            for (size_t v = child->childrenAt; v < child->end;) {
                auto var = ReadBlock(data, child->end, v);
                if (!var) break;
                if (var->key == "Translation" && var->valueLength >= 4) {
                    info.hasTranslation = true;
                    info.translation = LoadLE32(data + var->valueAt);
                    return info;
                }
                v = Align4(var->end);
            }
        }
        at = Align4(child->end);
    }
    return info;
}

PeVersionInfo ReadPeVersionInfo(const unsigned char* image, size_t size)
{
    PeReader reader([image, size](uint64_t offset, size_t n, unsigned char* out) {
        if (offset > size || n > size - offset) return false;
        std::copy(image + offset, image + offset + n, out);
        return true;
    });
    auto resource = reader.VersionResource();
    return resource ? ParseVersionResource(resource->data(), resource->size()) : PeVersionInfo{};
}

PeVersionInfo ReadPeVersionInfo(const std::string& hostPath)
{
    try {
        CFile file(hostPath, CFile::Mode::Read);
        uint64_t length = file.GetLength();
        PeReader reader([&file, length](uint64_t offset, size_t n, unsigned char* out) {
            if (offset > length || n > length - offset) return false;
            file.Seek(offset);
            return file.Read(out, n) == n;
        });
        auto resource = reader.VersionResource();
        return resource ? ParseVersionResource(resource->data(), resource->size())
                        : PeVersionInfo{};
    } catch (const std::exception&) {
        return PeVersionInfo{};
    }
}

}  // namespace velkan
