// What the package reader decodes from a setup program: plain records, one per structure of the
// layout, holding the values as stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/LogFont.h"
#include "core/package/CFileEntry.h"
#include "core/package/UninstallerData.h"

namespace velkan {

struct SectionRecord {
    uint16_t id = 0;
    uint16_t flags = 0;
    uint64_t offset = 0;        // of the header in the setup program
    uint32_t bodySize = 0;      // as stored (for the data section: the data stream length)
    uint32_t unpackedSize = 0;  // of the body once unpacked (equals bodySize when not packed)
    int version = -1;           // the version a per-version section belongs to
};

struct TitleStyleRecord {
    uint32_t reserved = 0;
    uint32_t color = 0;
    LogFont font;
};

struct TestSectionRecord {
    uint16_t pageCode = 0;
    uint16_t currentVersion = 0;
};

struct VersionBlockRecord {
    uint16_t dirFlags = 0;
    uint16_t reserved = 0;
    std::string title;
    std::string name;
    std::string installDir;
    uint32_t dirRootKey = 0;
    std::string dirKey;
    std::string dirSubkey;
    std::string dirIniFile;
    std::string dirIniSection;
    std::string dirIniEntry;
    // The text blocks of pages 0..10; nullopt for a page whose offset is 0.
    std::vector<std::optional<std::vector<std::string>>> pages;
};

struct IniRecord {
    uint8_t flags = 0;
    std::string file;
    std::string section;
    std::string entry;
    std::string value;
};

struct RegRecord {
    uint32_t rootKey = 0;
    uint8_t flags = 0;
    std::string key;
    std::string subkey;
    std::string value;
};

struct FileStringRecord {
    uint32_t offset = 0;  // kOffsetPattern: search the pattern
    uint32_t patternLength = 0;
    uint32_t reserved1 = 0;
    uint8_t reserved2 = 0;
    std::string file;
    std::string text;
    std::vector<uint8_t> pattern;
};

struct VersionRecord {
    VersionBlockRecord block;
    std::vector<IniRecord> iniEntries;
    std::vector<RegRecord> regEntries;
    std::vector<FileStringRecord> fileStrings;
    bool hasFileTable = false;
    std::vector<CFileEntry> files;
};

struct UninstallerDataRecord {
    uint16_t textsVersion = 0;
    std::vector<std::string> texts;
    std::vector<RegistryKeyToRemove> keys;
    bool hasFiles = false;
    std::vector<std::string> files;
};

// One piece of the data stream: length bytes at offset in file fileIndex (0 the setup program,
// n the continuation file n).
struct DataChunkRecord {
    int fileIndex = 0;
    uint64_t offset = 0;
    uint64_t length = 0;
};

struct PackageContents {
    uint64_t fileLength = 0;
    uint64_t stubSize = 0;
    bool hasKeyMarker = false;
    uint32_t keySeed = 0;
    uint32_t key = 0;
    std::vector<SectionRecord> sections;

    std::optional<uint32_t> dialogBlockSize;          // unpacked size of section 0x1239
    std::optional<std::vector<uint8_t>> dialogBlock;  // and its bytes, for the runtime's windows
    std::optional<uint32_t> projectFlags;
    std::optional<std::string> backTitle;
    std::optional<TitleStyleRecord> titleStyle;
    std::optional<std::vector<uint8_t>> wizardBitmap;
    std::optional<std::vector<uint8_t>> backBitmap;
    // Unpacked size of the auxiliary file (section 0x1238). Nothing reading a setup program needs
    // its bytes, so they are never held: ReadSectionBody streams them, VerifySections checks them.
    std::optional<uint32_t> auxFileSize;
    std::optional<std::vector<uint8_t>> uninstallerProgram;
    std::optional<TestSectionRecord> testSection;
    std::vector<VersionRecord> versions;

    bool hasDataSection = false;
    uint64_t dataLength = 0;  // L, from the data section's header
    std::vector<DataChunkRecord> dataChunks;
};

}  // namespace velkan
