#include "core/package/PackageDecoding.h"

#include "core/package/CByteReader.h"
#include "core/package/CPackageException.h"
#include "core/package/PackageFormat.h"
#include "core/stream/JoinText.h"

namespace velkan {

using namespace package;

namespace {

std::string StringAt(CByteReader& reader, uint32_t offset)
{
    if (offset == 0) return std::string();
    reader.Seek(offset);
    return reader.ZString();
}

// The smallest record of each list, so a count the body cannot hold is refused up front.
constexpr size_t kMinIni = 5;
constexpr size_t kMinReg = 8;
constexpr size_t kMinFileString = 15;
constexpr size_t kMinEntry = kEntryFixedSize + kEntryStringCount;

void CheckCount(CByteReader& reader, size_t count, size_t minRecord)
{
    if (count > reader.Remaining() / minRecord) {
        reader.Fail({"a count of ", count, " that the body cannot hold"});
    }
}

}  // namespace

VersionBlockRecord DecodeVersionBlock(const uint8_t* body, size_t size)
{
    CByteReader reader(body, size, "version block");
    if (size < kVersionHeaderSize) {
        reader.Fail("a header shorter than " + std::to_string(kVersionHeaderSize) + " bytes");
    }
    auto field = [&reader](uint32_t at) {
        reader.Seek(at);
        return reader.U32();
    };
    // Every string offset is checked before any string is read.
    constexpr VersionField kStrings[] = {
        kVersionTitle,     kVersionName,    kVersionInstallDir, kVersionDirKey,
        kVersionDirSubkey, kVersionIniFile, kVersionIniSection, kVersionIniEntry,
    };
    for (VersionField at : kStrings) {
        uint32_t offset = field(at);
        if (offset != 0 && offset < kVersionHeaderSize)
            reader.Fail("an item offset inside the header");
    }
    auto string = [&](VersionField at) { return StringAt(reader, field(at)); };

    VersionBlockRecord block;
    reader.Seek(kVersionOptionBits);
    block.dirFlags = reader.U16();
    reader.Seek(kVersionReserved);
    block.reserved = reader.U16();
    block.title = string(kVersionTitle);
    block.name = string(kVersionName);
    block.installDir = string(kVersionInstallDir);
    block.dirRootKey = field(kVersionDirRootKey);
    block.dirKey = string(kVersionDirKey);
    block.dirSubkey = string(kVersionDirSubkey);
    block.dirIniFile = string(kVersionIniFile);
    block.dirIniSection = string(kVersionIniSection);
    block.dirIniEntry = string(kVersionIniEntry);
    for (int page = 0; page < kVersionTextPages; ++page) {
        uint32_t offset = field(VersionPageField(page));
        if (offset == 0) {
            block.pages.emplace_back(std::nullopt);
            continue;
        }
        if (offset < kVersionHeaderSize) reader.Fail("a text block offset inside the header");
        reader.Seek(offset);
        uint16_t count = reader.U16();
        CheckCount(reader, count, 1);
        std::vector<std::string> texts;
        texts.reserve(count);
        for (uint16_t i = 0; i < count; ++i) texts.push_back(reader.ZString());
        block.pages.emplace_back(std::move(texts));
    }
    return block;
}

std::vector<IniRecord> DecodeIniList(const uint8_t* body, size_t size)
{
    CByteReader reader(body, size, "INI entries");
    uint16_t count = reader.U16();
    CheckCount(reader, count, kMinIni);
    std::vector<IniRecord> list;
    for (uint16_t i = 0; i < count; ++i) {
        IniRecord r;
        r.flags = reader.U8();
        r.file = reader.ZString();
        r.section = reader.ZString();
        r.entry = reader.ZString();
        r.value = reader.ZString();
        list.push_back(std::move(r));
    }
    return list;
}

std::vector<RegRecord> DecodeRegList(const uint8_t* body, size_t size)
{
    CByteReader reader(body, size, "registry entries");
    uint16_t count = reader.U16();
    CheckCount(reader, count, kMinReg);
    std::vector<RegRecord> list;
    for (uint16_t i = 0; i < count; ++i) {
        RegRecord r;
        r.rootKey = reader.U32();
        r.flags = reader.U8();
        r.key = reader.ZString();
        r.subkey = reader.ZString();
        r.value = reader.ZString();
        list.push_back(std::move(r));
    }
    return list;
}

std::vector<FileStringRecord> DecodeFileStringList(const uint8_t* body, size_t size)
{
    CByteReader reader(body, size, "strings into files");
    uint16_t count = reader.U16();
    CheckCount(reader, count, kMinFileString);
    std::vector<FileStringRecord> list;
    for (uint16_t i = 0; i < count; ++i) {
        FileStringRecord r;
        r.offset = reader.U32();
        r.patternLength = reader.U32();
        r.reserved1 = reader.U32();
        r.reserved2 = reader.U8();
        r.file = reader.ZString();
        r.text = reader.ZString();
        r.pattern = reader.Bytes(r.patternLength);
        list.push_back(std::move(r));
    }
    return list;
}

std::vector<CFileEntry> DecodeFileTable(const uint8_t* body, size_t size)
{
    CByteReader table(body, size, "file table");
    uint32_t count = table.U32();
    CheckCount(table, count, kMinEntry);
    std::vector<CFileEntry> entries;
    entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        size_t start = table.Position();
        uint32_t entrySize = CByteReader(body + start, size - start, "file table").U32();
        if (entrySize < kMinEntry || entrySize > size - start) {
            table.Fail({"entry ", i, " with a size of ", entrySize, " bytes"});
        }
        CByteReader reader(body + start, entrySize,
                           JoinText({"file table entry ", i, " (at byte ", start, ")"}));
        CFileEntry e;
        e.m_nEntrySize = reader.U32();
        reader.U16();
        e.m_nIconIndex = reader.U16();
        for (uint8_t& option : e.m_nOptions) option = reader.U8();
        e.m_nFlags = reader.U8();
        reader.U8();
        e.m_nChecksum = reader.U32();
        e.m_nSize = reader.U32();
        e.m_nOffset = reader.U32();
        e.m_nPackedSize = reader.U32();
        e.m_nSourceEntry = reader.U32();
        e.m_nSourceVersion = reader.U16();
        if (e.HasVersionBlock()) {
            e.m_nFileVersionMS = reader.U32();
            e.m_nFileVersionLS = reader.U32();
            e.m_nProductVersionMS = reader.U32();
            e.m_nProductVersionLS = reader.U32();
            e.m_nTranslation = reader.U32();
        }
        if (e.HasTimesBlock()) {
            e.m_nCreationTime = reader.U64();
            e.m_nAccessTime = reader.U64();
            e.m_nWriteTime = reader.U64();
        }
        e.m_strPath = reader.ZString();
        e.m_strMenuFolder = reader.ZString();
        e.m_strMenuName = reader.ZString();
        e.m_strMenuArgs = reader.ZString();
        e.m_strShortcutName = reader.ZString();
        e.m_strShortcutArgs = reader.ZString();
        // Bytes after the strings are alignment padding (Windows 3.1 tables).
        entries.push_back(std::move(e));
        table.Seek(start + entrySize);
    }
    return entries;
}

TitleStyleRecord DecodeTitleStyle(const uint8_t* body, size_t size)
{
    CByteReader reader(body, size, "title style");
    TitleStyleRecord style;
    style.reserved = reader.U32();
    style.color = reader.U32();
    std::vector<uint8_t> font = reader.Bytes(LogFont::kSize);
    style.font = LogFont::FromBytes(font.data());
    return style;
}

UninstallerDataRecord DecodeUninstallerData(const uint8_t* block, size_t size)
{
    CByteReader reader(block, size, "uninstaller data block");
    UninstallerDataRecord data;
    bool ended = false;
    while (!ended) {
        size_t headerAt = reader.Position();
        uint16_t id = reader.U16();
        uint16_t flags = reader.U16();
        uint32_t bodySize = reader.U32();
        if (flags != 0) reader.Fail("a packed section inside the block");
        if (bodySize > reader.Remaining()) reader.Fail("a section body that passes the end");
        CByteReader body(block + reader.Position(), bodySize,
                         JoinText({"uninstaller data section at byte ", headerAt}));
        switch (id) {
        case kUninstTexts: {
            data.textsVersion = body.U16();
            uint16_t count = body.U16();
            CheckCount(body, count, 2);
            for (uint16_t i = 0; i < count; ++i) data.texts.push_back(body.CountedString());
            break;
        }
        case kUninstRegKeys: {
            uint32_t count = body.U32();
            CheckCount(body, count, 6);
            for (uint32_t i = 0; i < count; ++i) {
                RegistryKeyToRemove key;
                key.root = body.U32();
                key.path = body.CountedString();
                data.keys.push_back(std::move(key));
            }
            break;
        }
        case kUninstFiles:
            data.hasFiles = true;
            for (;;) {
                std::string item = body.ZString();
                if (item.empty()) break;
                data.files.push_back(std::move(item));
            }
            break;
        case kUninstEnd: ended = true; break;
        default: break;  // unknown sections are skipped
        }
        reader.Skip(bodySize);
    }
    return data;
}

}  // namespace velkan
