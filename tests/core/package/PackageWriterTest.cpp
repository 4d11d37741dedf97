// The writer's pieces against hand-computed bytes: checksum, markers, section packing rules,
// project sections, version blocks, lists, uninstaller data, file entries and test programs.
#include <gtest/gtest.h>

#include <cstring>

#include "core/compress/CDecompressor.h"
#include "core/model/CDataArray.h"
#include "core/package/CChecksumAccumulator.h"
#include "core/package/CFileEntry.h"
#include "core/package/CFileTableWriter.h"
#include "core/package/CSectionWriter.h"
#include "core/package/ContinuationFileName.h"
#include "core/package/DataSection.h"
#include "core/package/PackageDecoding.h"
#include "core/package/EntryPath.h"
#include "core/package/ShownName.h"
#include "core/package/VersionChoice.h"
#include "core/platform/WindowsName.h"
#include "core/package/PackageChecksum.h"
#include "core/package/ProjectSections.h"
#include "core/package/StubImage.h"
#include "core/package/TestProgram.h"
#include "core/package/UninstallerData.h"
#include "core/package/VersionSections.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySource.h"
#include "core/package/CByteBuffer.h"
#include <map>
#include "PackageTestSupport.h"

using namespace velkan;
using namespace velkan::test;

namespace {

uint32_t Rotl(uint32_t v)
{
    return (v << 1) | (v >> 31);
}

TEST(PackageChecksumTest, WordsThenTrailingBytes)
{
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 0xFF};
    uint32_t expected = Rotl(Rotl(Rotl(7) + 0x04030201u) + 5) + 0xFF;
    EXPECT_EQ(PackageChecksum(bytes, sizeof bytes, 7), expected);
    EXPECT_EQ(PackageChecksum(bytes, 0, 0x1234), 0x1234u);
    // The rotation carries the top bit round.
    const uint8_t high[] = {0, 0, 0, 0x80};
    EXPECT_EQ(PackageChecksum(high, 4, 0x80000000u), 1u + 0x80000000u);
}

TEST(PackageChecksumTest, PiecesOfAnySizeGiveTheSameSum)
{
    std::vector<uint8_t> data(100003);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 + (i >> 9));
    uint32_t whole = PackageChecksum(data.data(), data.size(), 0);
    for (size_t piece : {1u, 3u, 4u, 7u, 32768u, 50001u}) {
        CChecksumAccumulator sum;
        for (size_t at = 0; at < data.size(); at += piece) {
            sum.Add(data.data() + at, std::min(piece, data.size() - at));
        }
        EXPECT_EQ(sum.Value(), whole) << "piece " << piece;
    }
    CMemorySource source(data.data(), data.size());
    uint64_t length = 0;
    EXPECT_EQ(FileChecksum(source, &length), whole);
    EXPECT_EQ(length, data.size());
}

TEST(PackageChecksumTest, KeyUsesTheTitleOnlyInFullScreen)
{
    EXPECT_EQ(PackageKey(0x11, false, "Title"), 0x11u);
    EXPECT_EQ(PackageKey(0x11, true, ""), 0x11u);
    EXPECT_EQ(PackageKey(0x11, true, "Title"), PackageChecksum("Title", 5, 0x11));
}

TEST(StubImageTest, MarkersAndSlots)
{
    std::vector<uint8_t> stub = FakeStub(200, true, 0xCAFEBABE);
    EXPECT_EQ(FindMarker(stub.data(), stub.size(), package::kSizeMarker), 40u);
    EXPECT_EQ(ReadKeySeed(stub.data(), stub.size()), 0xCAFEBABEu ^ 0x5D1E9A37u);
    ASSERT_TRUE(PatchSizeSlot(stub));
    EXPECT_EQ(U32At(stub, 46), 200u);

    std::vector<uint8_t> plain = FakeStub(200, false);
    EXPECT_EQ(ReadKeySeed(plain.data(), plain.size()), 0x6B2C4F18u);

    // First match wins.
    PutMarker(stub, 10, package::kSizeMarker, 0);
    EXPECT_EQ(FindMarker(stub.data(), stub.size(), package::kSizeMarker), 10u);
    EXPECT_EQ(CountMarkers(stub.data(), stub.size(), package::kSizeMarker), 2u);
    EXPECT_EQ(CountMarkers(stub.data(), stub.size(), package::kKeyMarker), 1u);

    // A marker whose slot would run past the image is not used.
    std::vector<uint8_t> tail(20, 0);
    tail[12] = tail[13] = 0x77;
    std::memcpy(&tail[14], package::kSizeMarker.data(), 4);
    EXPECT_FALSE(FindMarker(tail.data(), tail.size(), package::kSizeMarker));
    std::vector<uint8_t> copy = tail;
    EXPECT_FALSE(PatchSizeSlot(copy));
    EXPECT_EQ(copy, tail);
    EXPECT_FALSE(FindMarker(tail.data(), 3, package::kSizeMarker));
    EXPECT_EQ(CountMarkers(tail.data(), tail.size(), package::kSizeMarker), 0u);
    tail.resize(22);  // now the slot fits
    EXPECT_EQ(CountMarkers(tail.data(), tail.size(), package::kSizeMarker), 1u);
}

TEST(SectionWriterTest, PackingRules)
{
    std::vector<uint8_t> out;
    CSectionWriter writer(out);
    const uint8_t small[4] = {1, 2, 3, 4};
    writer.WriteSection(0x1234, small, 4);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x34, 0x12, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4}));

    // 8 bytes and more: packed, size corrected to 4 + the stream.
    out.clear();
    std::vector<uint8_t> body(8, 'a');
    writer.WriteSection(0x1240, body.data(), 8);
    std::vector<uint8_t> packed = CCompressor::Pack(body.data(), body.size());
    ASSERT_EQ(out.size(), 12 + packed.size());
    EXPECT_EQ(U16At(out, 2), 1);
    EXPECT_EQ(U32At(out, 4), 4 + packed.size());
    EXPECT_EQ(U32At(out, 8), 8u);
    EXPECT_TRUE(std::equal(packed.begin(), packed.end(), out.begin() + 12));

    // Forced packing of a short body; pre-packed data stored as is with flags 1.
    out.clear();
    writer.WriteSection(0x1237, small, 4, CSectionWriter::kModeForcePack);
    EXPECT_EQ(U16At(out, 2), 1);
    EXPECT_EQ(U32At(out, 8), 4u);
    out.clear();
    writer.WriteSection(0x1239, small, 4, CSectionWriter::kModePrePacked);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x39, 0x12, 1, 0, 4, 0, 0, 0, 1, 2, 3, 4}));

    // Empty body; open section closed by the caller; BeginSection keeps its size.
    out.clear();
    writer.WriteSection(0x7F7F, small, 0);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x7F, 0x7F, 0, 0, 0, 0, 0, 0}));
    out.clear();
    writer.WriteSection(0x1238, nullptr, 100);
    writer.Write(small, 3);
    writer.CloseSection();
    EXPECT_EQ(U16At(out, 2), 1);
    EXPECT_EQ(U32At(out, 4), 3u);
    out.clear();
    writer.BeginSection(0x7F7F, 0, 77);
    writer.WriteU32(5);
    EXPECT_EQ(U32At(out, 4), 77u);
}

TEST(SectionWriterTest, FileOutputMatchesMemoryOutput)
{
    ScratchDir dir;
    std::vector<uint8_t> body(3000);
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint8_t>(i % 13);
    std::vector<uint8_t> memory;
    CSectionWriter inMemory(memory);
    inMemory.Write("xyz", 3);
    inMemory.WriteSection(0x123E, body.data(), 3000);
    inMemory.WriteSection(0x1234, body.data(), 4);
    {
        CFile file(dir.Path("out"), CFile::Mode::Create);
        CSectionWriter onDisk(file);
        onDisk.Write("xyz", 3);
        onDisk.WriteSection(0x123E, body.data(), 3000);
        onDisk.WriteSection(0x1234, body.data(), 4);
        file.Close();
    }
    CFile in(dir.Path("out"), CFile::Mode::Read);
    std::vector<uint8_t> disk(in.GetLength());
    in.ReadExact(disk.data(), disk.size());
    EXPECT_EQ(disk, memory);
}

// Sections of a block written by a writer: (id, flags, unpacked body).
struct Section {
    uint16_t id;
    uint16_t flags;
    std::vector<uint8_t> body;
};

std::vector<Section> SplitSections(const std::vector<uint8_t>& bytes, size_t start = 0)
{
    std::vector<Section> sections;
    size_t pos = start;
    while (pos + 8 <= bytes.size()) {
        Section s{U16At(bytes, pos), U16At(bytes, pos + 2), {}};
        uint32_t size = U32At(bytes, pos + 4);
        if (s.id == 0x7F7F) {
            sections.push_back(s);
            break;
        }
        std::vector<uint8_t> raw(bytes.begin() + pos + 8, bytes.begin() + pos + 8 + size);
        if (s.flags & 1) {
            s.body = CDecompressor::Unpack(raw.data() + 4, raw.size() - 4, U32At(raw, 0));
        } else {
            s.body = raw;
        }
        sections.push_back(s);
        pos += 8 + size;
    }
    return sections;
}

std::vector<uint8_t> Bitmap(int32_t header, int32_t width, int32_t height)
{
    std::vector<uint8_t> b(64, 0);
    b[0] = 'B';
    b[1] = 'M';
    auto put = [&](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(14, header);
    put(18, width);
    put(22, height);
    return b;
}

TEST(ProjectSectionsTest, BitmapTest)
{
    struct Case {
        int32_t header, width, height;
        bool passes;
    } cases[] = {{40, 128, 280, true},   {12, 128, 280, false}, {40, 128, 0, false},
                 {40, 128, -280, false}, {40, 0, 10, false},    {124, 128, 280, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(PassesBitmapTest(Bitmap(c.header, c.width, c.height)), c.passes)
            << c.header << " " << c.width << " " << c.height;
    }
    EXPECT_FALSE(PassesBitmapTest(std::vector<uint8_t>(25, 0)));
}

// The auxiliary file is packed from its file in pieces, never held whole: the section is the
// same bytes as one packed from memory, whatever the size around the packing threshold.
TEST(ProjectSectionsTest, TheAuxiliaryFileIsPackedStreamedToTheSameBytes)
{
    for (size_t size : {size_t{7}, size_t{8}, size_t{300000}}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> aux(size);
        for (size_t i = 0; i < size; ++i) aux[i] = static_cast<uint8_t>((i * 7919) >> (i % 5));
        CDataArray project;
        project.m_nWindowMode = CDataArray::SmallWindow;
        project.m_strAuxFile = "aux.dat";
        size_t opened = 0;
        OpenFileProc open = [&](const std::string&,
                                uint64_t& length) -> std::unique_ptr<IByteSource> {
            ++opened;
            length = aux.size();
            return std::make_unique<CMemorySource>(aux.data(), aux.size());
        };
        std::vector<uint8_t> streamed;
        CSectionWriter streamWriter(streamed);
        WriteProjectSections(streamWriter, project, ReadFileProc(), open);
        std::vector<uint8_t> whole;
        CSectionWriter wholeWriter(whole);
        WriteProjectSections(
            wholeWriter, project, ReadFileProc(),
            [](const std::string&, uint64_t&) { return std::unique_ptr<IByteSource>(); });
        wholeWriter.WriteSection(0x1238, aux.data(), static_cast<uint32_t>(aux.size()));
        EXPECT_EQ(opened, 1u);
        EXPECT_EQ(streamed, whole);
    }
}

TEST(ProjectSectionsTest, SectionsFollowTheirConditions)
{
    std::map<std::string, std::vector<uint8_t>> files = {{"wiz.bmp", Bitmap(40, 128, 280)},
                                                         {"back.bmp", Bitmap(12, 10, 10)},
                                                         {"aux.dat", Bytes("AUX")}};
    ReadFileProc read = [&](const std::string& path) -> std::optional<std::vector<uint8_t>> {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    };
    OpenFileProc open = [&](const std::string& path,
                            uint64_t& length) -> std::unique_ptr<IByteSource> {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        length = it->second.size();
        return std::make_unique<CMemorySource>(it->second.data(), it->second.size());
    };
    CDataArray project;
    project.m_strBackTitle = "Big #title";
    project.m_strWizardBitmap = "wiz.bmp";
    project.m_strBackBitmap = "back.bmp";
    project.m_strAuxFile = "aux.dat";
    project.m_bExclusive = 1;
    std::vector<uint8_t> out;
    CSectionWriter writer(out);
    WriteProjectSections(writer, project, read, open);
    auto sections = SplitSections(out);
    ASSERT_EQ(sections.size(), 5u);
    EXPECT_EQ(sections[0].id, 0x1234);
    EXPECT_EQ(sections[0].flags, 0);
    EXPECT_EQ(U32At(sections[0].body, 0), 0x11u);
    EXPECT_EQ(sections[1].id, 0x1237);
    EXPECT_EQ(sections[1].body, Bytes(std::string("Big #title") + '\0'));
    EXPECT_EQ(sections[2].id, 0x123D);
    ASSERT_EQ(sections[2].body.size(), 68u);
    EXPECT_EQ(U32At(sections[2].body, 4), 0x00FFFFFFu);
    EXPECT_EQ(U32At(sections[2].body, 8), 50u);  // font height
    EXPECT_EQ(sections[3].id, 0x1235);
    EXPECT_EQ(sections[3].body, files["wiz.bmp"]);
    // back.bmp fails the test and is left out; the aux file has no test and is short (unpacked).
    EXPECT_EQ(sections[4].id, 0x1238);
    EXPECT_EQ(sections[4].flags, 0);
    EXPECT_EQ(sections[4].body, Bytes("AUX"));

    // Small window: no title, style or background bitmap; a missing file is left out.
    project.m_nWindowMode = CDataArray::SmallWindow;
    project.m_bExclusive = 0;
    project.m_strBackBitmap = "wiz.bmp";
    project.m_strAuxFile = "missing";
    out.clear();
    WriteProjectSections(writer, project, read, open);
    sections = SplitSections(out);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(U32At(sections[0].body, 0), 0u);
    EXPECT_EQ(sections[1].id, 0x1235);
}

CData MakeVersion()
{
    CData v;
    v.m_strTitle = "Prod";
    v.m_strName = "Full";
    v.m_strInstallDir = "#Program Files#\\Prod";
    v.m_nDirFlags = 0x2000E;
    return v;
}

// The text blocks of a version block as (page -> texts), reading the header's offsets.
std::vector<std::vector<std::string>> TextBlocks(const std::vector<uint8_t>& block)
{
    std::vector<std::vector<std::string>> pages;
    for (int page = 0; page < 11; ++page) {
        uint32_t at = U32At(block, 40 + 4 * page);
        std::vector<std::string> texts;
        if (at) {
            uint16_t count = U16At(block, at);
            size_t pos = at + 2;
            for (int i = 0; i < count; ++i) {
                std::string text(reinterpret_cast<const char*>(&block[pos]));
                pos += text.size() + 1;
                texts.push_back(text);
            }
        }
        pages.push_back(texts);
    }
    return pages;
}

std::string StringAt(const std::vector<uint8_t>& block, uint32_t at)
{
    return at ? std::string(reinterpret_cast<const char*>(&block.at(at))) : std::string("<none>");
}

TEST(VersionBlockTest, HeaderStringsAndOrder)
{
    CData v = MakeVersion();
    v.m_strDirKey = "Software\\Prod";
    v.m_nDirRootKey = 2;
    v.m_strDirIniFile = "prod.ini";
    v.m_strDirIniSection = "Setup";  // no entry: the INI source is left out
    std::vector<uint8_t> block = BuildVersionBlock(v);
    EXPECT_EQ(U16At(block, 0), 0x000E);
    EXPECT_EQ(U16At(block, 2), 0);
    EXPECT_EQ(U32At(block, 4), 84u);  // the title comes first
    EXPECT_EQ(StringAt(block, U32At(block, 4)), "Prod");
    EXPECT_EQ(U32At(block, 8), 89u);
    EXPECT_EQ(StringAt(block, U32At(block, 8)), "Full");
    EXPECT_EQ(StringAt(block, U32At(block, 12)), "#Program Files#\\Prod");
    EXPECT_EQ(U32At(block, 16), 2u);
    EXPECT_EQ(StringAt(block, U32At(block, 20)), "Software\\Prod");
    EXPECT_EQ(U32At(block, 24), 0u);  // empty subkey
    EXPECT_EQ(U32At(block, 28), 0u);
    EXPECT_EQ(U32At(block, 32), 0u);
    EXPECT_EQ(U32At(block, 36), 0u);
    // The reader takes the root number at offset 16 as a number, not as an offset.
    VersionBlockRecord decoded = DecodeVersionBlock(block.data(), block.size());
    EXPECT_EQ(decoded.dirRootKey, 2u);
    EXPECT_EQ(decoded.dirKey, "Software\\Prod");
    // Text blocks follow the strings, page by page.
    EXPECT_GT(U32At(block, 40), U32At(block, 20));
    for (int page = 1; page < 11; ++page)
        EXPECT_GT(U32At(block, 40 + 4 * page), U32At(block, 36 + 4 * page));

    // Without a key, the root and subkey are not written either; all three INI items are.
    v.m_strDirKey.clear();
    v.m_strDirSubkey = "Path";
    v.m_strDirIniEntry = "Dir";
    block = BuildVersionBlock(v);
    EXPECT_EQ(U32At(block, 16), 0u);
    EXPECT_EQ(U32At(block, 24), 0u);
    EXPECT_EQ(StringAt(block, U32At(block, 28)), "prod.ini");
    EXPECT_EQ(StringAt(block, U32At(block, 32)), "Setup");
    EXPECT_EQ(StringAt(block, U32At(block, 36)), "Dir");

    // An empty title is absent: offset 0.
    v.m_strTitle.clear();
    block = BuildVersionBlock(v);
    EXPECT_EQ(U32At(block, 4), 0u);
    EXPECT_EQ(U32At(block, 8), 84u);
}

TEST(VersionBlockTest, TextRules)
{
    CData v = MakeVersion();
    v.m_texts[0][0] = "Welcome to #Title, by #title";
    v.m_texts[0][1] = "   ";
    v.m_texts[0][2] = "";
    v.m_texts[5][5] = "View %s now (100%%)";
    v.m_texts[5][6] = "Run it";
    v.m_texts[8][0] = "Uninstall #title";
    CFileItem view1("docs\\first.txt");
    view1.SetOption(OptEndPage, EndPageView);
    CFileItem view2("docs\\readme.txt");
    view2.SetOption(OptEndPage, EndPageView);
    v.m_files.push_back(view1);
    v.m_files.push_back(view2);
    v.m_strTitle = "prod";

    std::vector<uint8_t> block = BuildVersionBlock(v);
    auto pages = TextBlocks(block);
    EXPECT_EQ(pages[0][0], "Welcome to Prod, by prod");
    EXPECT_EQ(pages[0][1], "");
    EXPECT_EQ(pages[0][2], "");
    // The View text names the last file with a View button; no Run file empties text 6.
    EXPECT_EQ(pages[5][5], "View readme.txt now (100%)");
    EXPECT_EQ(pages[5][6], "");
    // Page 8 travels in the uninstaller data: count 0.
    uint32_t page8 = U32At(block, 40 + 4 * 8);
    ASSERT_NE(page8, 0u);
    EXPECT_EQ(U16At(block, page8), 0);
    // Every other page carries all its catalogue texts.
    for (int page = 0; page < 11; ++page) {
        if (page != 8) {
            EXPECT_EQ(pages[page].size(), v.m_texts[page].size()) << page;
        }
    }
    // A spaces-only text is one 0 byte: page 0 text 1 takes exactly one byte.
    uint32_t p0 = U32At(block, 40);
    size_t afterFirst = p0 + 2 + std::string("Welcome to Prod, by prod").size() + 1;
    EXPECT_EQ(block[afterFirst], 0);
    EXPECT_EQ(block[afterFirst + 1], 0);  // the empty text 2

    // Run file present, no View file.
    v.m_files[0].SetOption(OptEndPage, EndPageRun);
    v.m_files[1].SetOption(OptEndPage, EndPageNone);
    pages = TextBlocks(BuildVersionBlock(v));
    EXPECT_EQ(pages[5][5], "");
    EXPECT_EQ(pages[5][6], "Run it");
}

TEST(VersionBlockTest, EndPageFormat)
{
    struct Case {
        const char* format;
        const char* result;
    } cases[] = {
        {"View %s", "View a.txt"}, {"%s and %s", "a.txt and %s"},  {"%d %s", "%d a.txt"},
        {"[%-7s]", "[a.txt  ]"},   {"[%7s]", "[  a.txt]"},         {"[%.1s]", "[a]"},
        {"50%% %", "50% %"},       {"no argument", "no argument"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatWithName(c.format, "a.txt"), c.result) << c.format;
}

TEST(VersionListsTest, ListBodies)
{
    CData v = MakeVersion();
    EXPECT_FALSE(BuildIniList(v));
    EXPECT_FALSE(BuildRegList(v));
    EXPECT_FALSE(BuildFileStringList(v));

    CIniInfo ini;
    ini.m_strFile = "w.ini";
    ini.m_strSection = "S";
    ini.m_strEntry = "E";
    ini.m_strValue = "#InstallDir#";
    ini.m_nFlags = 0x101;
    v.m_iniEntries.push_back(ini);
    auto iniBody = BuildIniList(v);
    ASSERT_TRUE(iniBody);
    EXPECT_EQ(*iniBody, Bytes(std::string("\x01\x00\x01w.ini\0S\0E\0#InstallDir#\0", 26)));

    CRegInfo reg;
    reg.m_nRootKey = 2;
    reg.m_strKey = "K";
    reg.m_strSubkey = "";
    reg.m_strValue = "V";
    reg.m_nFlags = 1;
    v.m_regEntries.push_back(reg);
    EXPECT_EQ(*BuildRegList(v), Bytes(std::string("\x01\x00\x02\x00\x00\x00\x01K\0\0V\0", 12)));

    CFileInfo numeric;
    numeric.m_strFile = "a.exe";
    numeric.m_strOffset = "0X10";
    numeric.m_strText = "T";
    CFileInfo pattern;
    pattern.m_strFile = "b";
    pattern.m_strOffset = "'AB',0x43";
    pattern.m_strText = "U";
    pattern.m_nOffsetMode = CFileInfo::String;
    pattern.m_nReserved1 = 7;
    pattern.m_nReserved2 = 0x1FF;
    v.m_fileStrings = {numeric, pattern};
    auto strings = *BuildFileStringList(v);
    std::vector<uint8_t> expected = {2, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    auto tail = Bytes(std::string("a.exe\0T\0", 8));
    expected.insert(expected.end(), tail.begin(), tail.end());
    std::vector<uint8_t> second = {0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 7, 0, 0, 0, 0xFF};
    expected.insert(expected.end(), second.begin(), second.end());
    tail = Bytes(std::string("b\0U\0ABC", 7));
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(strings, expected);
}

TEST(UninstallerDataTest, RegistryKeySplitting)
{
    struct Case {
        const char* text;
        uint32_t root;
        const char* path;
    } cases[] = {{"HKEY_LOCAL_MACHINE\\Software\\X", 0x80000002, "Software\\X"},
                 {"hkey_current_user/Software", 0x80000001, "Software"},
                 {"HKEY_USERS\\", 0x80000003, ""},
                 {"HKEY_CLASSES_ROOT\\.abc", 0x80000000, ".abc"},
                 {"Software\\X", 0, "Software\\X"},
                 {"HKEY_LOCAL_MACHINE", 0, "HKEY_LOCAL_MACHINE"},
                 {"HKLM\\Software", 0, "HKLM\\Software"},
                 // The first backslash decides even when a slash comes earlier.
                 {"HKEY_USERS/a\\b", 0, "HKEY_USERS/a\\b"}};
    for (const Case& c : cases) {
        RegistryKeyToRemove key = SplitRegistryKey(c.text);
        EXPECT_EQ(key.root, c.root) << c.text;
        EXPECT_EQ(key.path, c.path) << c.text;
    }
}

TEST(UninstallerDataTest, ExtraFileSplitting)
{
    using List = std::vector<std::string>;
    struct Case {
        const char* text;
        List items;
    } cases[] = {
        {"", {}},           {",;,", {}},   {"*.txt;log\\a.log, b", {".txt", "log\\a.log", " b"}},
        {"a;*.*;b", {"*"}}, {"*.", {"."}}, {"x*.y", {"x*.y"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitExtraFiles(c.text), c.items) << c.text;
}

TEST(UninstallerDataTest, BlockLayout)
{
    CData v = MakeVersion();
    v.m_texts[8] = {"Remove #title?", "Done"};
    v.m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software\\Prod"};
    std::vector<uint8_t> block = BuildUninstallerData(v);
    auto sections = SplitSections(block);
    ASSERT_EQ(sections.size(), 3u);  // no files section, then the end mark
    EXPECT_EQ(sections[0].id, 0x1234);
    EXPECT_EQ(sections[0].flags, 0);
    EXPECT_EQ(sections[0].body, Bytes(std::string("\x01\x00\x02\x00\x0c\x00Remove Prod?\x04\x00"
                                                  "Done",
                                                  24)));
    EXPECT_EQ(sections[1].id, 0x1237);
    EXPECT_EQ(sections[1].body,
              Bytes(std::string("\x01\x00\x00\x00\x01\x00\x00\x80\x0d\x00Software\\Prod", 23)));
    EXPECT_EQ(sections[2].id, 0x7F7F);
    EXPECT_EQ(std::vector<uint8_t>(block.end() - 8, block.end()),
              (std::vector<uint8_t>{0x7F, 0x7F, 0, 0, 0, 0, 0, 0}));

    v.m_strUninstExtra = "*.tmp;cache";
    sections = SplitSections(BuildUninstallerData(v));
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[2].id, 0x1239);
    EXPECT_EQ(sections[2].body, Bytes(std::string(".tmp\0cache\0\0", 12)));
}

TEST(FileEntryTest, LayoutAndOptionalBlocks)
{
    CFileItem item("bin\\tool.exe");
    item.m_nOptions = {2, 1, 1, 1, 2, 0};
    item.m_strMenuFolder = "Prod";
    item.m_strMenuName = "";  // no icon: folder, options and number go
    item.m_strMenuArgs = "-x";
    item.m_nIconIndex = 3;
    item.m_strShortcutName = "Tool";
    item.m_strShortcutArgs = "-y";
    CFileEntry entry = CFileEntry::FromFileItem(item);
    EXPECT_EQ(entry.m_nIconIndex, 0);
    EXPECT_EQ(entry.m_strMenuFolder, "");
    EXPECT_EQ(entry.m_strMenuArgs, "");
    EXPECT_EQ(entry.m_strShortcutArgs, "-y");
    entry.m_nFlags = 0x02 | 0x08;
    entry.m_nChecksum = 0x11223344;
    entry.m_nSize = 5;
    entry.m_nOffset = 6;
    entry.m_nPackedSize = 7;
    entry.m_nSourceEntry = 8;
    entry.m_nSourceVersion = 9;
    entry.m_nFileVersionMS = 0x00010002;
    entry.m_nWriteTime = 0x0102030405060708ull;

    CByteBuffer table;
    entry.AppendTo(table);
    const auto& b = table.Bytes();
    uint32_t size = 38 + 20 + 24 + 13 + 1 + 1 + 1 + 5 + 3;
    ASSERT_EQ(b.size(), size);
    EXPECT_EQ(U32At(b, 0), size);
    EXPECT_EQ(U16At(b, 4), 0);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 8, b.begin() + 16),
              (std::vector<uint8_t>{2, 1, 1, 1, 2, 0, 0x0A, 0}));
    EXPECT_EQ(U32At(b, 16), 0x11223344u);
    EXPECT_EQ(U32At(b, 32), 8u);
    EXPECT_EQ(U16At(b, 36), 9);
    EXPECT_EQ(U32At(b, 38), 0x00010002u);
    EXPECT_EQ(U32At(b, 38 + 20 + 16), 0x05060708u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[82])), "bin\\tool.exe");

    // Translation only still carries the whole version block; no flags: neither block.
    entry.m_nFlags = 0x04;
    EXPECT_EQ(entry.EncodedSize(), size - 24);
    entry.m_nFlags = 0;
    EXPECT_EQ(entry.EncodedSize(), size - 44);
}

TEST(FileTableTest, EmptyTableIsAnUnpackedZeroCount)
{
    std::vector<uint8_t> out;
    CSectionWriter writer(out);
    CFileTableWriter table(false);
    table.WriteSection(writer);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x3A, 0x12, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0}));
}

// Entries of a table body stepped through by their size fields: (start, size).
std::vector<std::pair<size_t, uint32_t>> StepEntries(const std::vector<uint8_t>& body)
{
    std::vector<std::pair<size_t, uint32_t>> entries;
    size_t pos = 4;
    for (uint32_t i = 0; i < U32At(body, 0); ++i) {
        entries.emplace_back(pos, U32At(body, pos));
        pos += U32At(body, pos);
    }
    EXPECT_EQ(pos, body.size());
    return entries;
}

TEST(FileTableTest, Windows31EntriesNeverCrossA64KBoundary)
{
    CFileTableWriter win31(true);
    CFileTableWriter win32(false);
    for (int i = 0; i < 900; ++i) {
        CFileEntry entry;
        entry.m_strPath = "dir\\file" + std::to_string(i) + std::string(i % 37 + 100, 'x');
        win31.AddEntry(entry);
        win32.AddEntry(entry);
    }
    const auto& body31 = win31.Body();
    const auto& body32 = win32.Body();
    ASSERT_GT(body32.size(), 2u * 65536);
    int padded = 0;
    for (auto [start, size] : StepEntries(body31)) {
        size_t contentEnd =
            start + 38 + std::strlen(reinterpret_cast<const char*>(&body31[start + 38])) + 6;
        EXPECT_EQ(start >> 16, (contentEnd - 1) >> 16) << "entry at " << start;
        if (size != contentEnd - start) {
            ++padded;
            EXPECT_EQ((start + size) % 65536, 0u);
        }
    }
    EXPECT_EQ(padded, 2);
    for (auto [start, size] : StepEntries(body32)) EXPECT_LT(size, 300u);
}

CDataArray TestProject()
{
    CDataArray project;
    project.m_versions.push_back(MakeVersion());
    project.m_versions.push_back(MakeVersion());
    project.m_versions.push_back(MakeVersion());
    project.m_versions[1].m_iniEntries.resize(1);
    project.m_nCurrent = 2;
    return project;
}

TEST(TestProgramTest, Layout)
{
    CDataArray project = TestProject();
    std::vector<uint8_t> stub = FakeStub();
    std::vector<uint8_t> dialogs = FakeDialogBlock();
    std::vector<uint8_t> out;
    CSectionWriter writer(out);
    ASSERT_TRUE(WriteTestProgram(writer, project, stub, &dialogs, 5, ReadFileProc()));
    EXPECT_EQ(U32At(out, 46), stub.size());
    auto sections = SplitSections(out, stub.size());
    std::vector<uint16_t> ids;
    for (const auto& s : sections) ids.push_back(s.id);
    EXPECT_EQ(ids, (std::vector<uint16_t>{0x1239, 0x1234, 0x1237, 0x123D, 0x123B, 0x123E, 0x123E,
                                          0x1240, 0x123E, 0x7F7F}));
    EXPECT_EQ(sections[4].flags, 0);
    EXPECT_EQ(sections[4].body, (std::vector<uint8_t>{7, 0, 2, 0}));
    // Pre-packed dialog block stored byte for byte.
    EXPECT_TRUE(std::equal(dialogs.begin(), dialogs.end(), out.begin() + stub.size() + 8));
    EXPECT_EQ(std::vector<uint8_t>(out.end() - 12, out.end()),
              (std::vector<uint8_t>{0x7F, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TestProgramTest, MissingResources)
{
    CDataArray project = TestProject();
    std::vector<uint8_t> out;
    CSectionWriter writer(out);
    EXPECT_FALSE(WriteTestProgram(writer, project, {}, nullptr, -1, ReadFileProc()));
    EXPECT_TRUE(out.empty());

    // No dialog block: neither it nor the project sections.
    std::vector<uint8_t> stub = FakeStub();
    ASSERT_TRUE(WriteTestProgram(writer, project, stub, nullptr, -1, ReadFileProc()));
    auto sections = SplitSections(out, stub.size());
    EXPECT_EQ(sections[0].id, 0x123B);
    EXPECT_EQ(sections[0].body, (std::vector<uint8_t>{0xFF, 0xFF, 2, 0}));
}

TEST(TestProgramTest, PageCodes)
{
    std::pair<int, uint16_t> cases[] = {{-1, 0xFFFF}, {0, 0},  {1, 1}, {2, 4}, {3, 5},
                                        {4, 6},       {5, 7},  {9, 2}, {6, 0}, {7, 0},
                                        {8, 0},       {10, 0}, {-2, 0}};
    for (auto [page, code] : cases) EXPECT_EQ(TestPageCode(page), code) << page;
}

TEST(TestProgramTest, FileIsReplaced)
{
    ScratchDir dir;
    std::string path = dir.Write("test.exe", Bytes("old contents"));
    CDataArray project = TestProject();
    ASSERT_TRUE(WriteTestProgramFile(path, project, FakeStub(), nullptr, 1, ReadFileProc()));
    CFile in(path, CFile::Mode::Read);
    std::vector<uint8_t> bytes(in.GetLength());
    in.ReadExact(bytes.data(), bytes.size());
    EXPECT_EQ(bytes[0], 'M');
    EXPECT_EQ(U16At(bytes, 200), 0x123B);
    EXPECT_FALSE(WriteTestProgramFile("", project, FakeStub(), nullptr, 1, ReadFileProc()));
}

TEST(DataSectionTest, ContinuationNames)
{
    EXPECT_EQ(ContinuationFileName("A:\\setup.exe", 1), "A:\\setup.D01");
    EXPECT_EQ(ContinuationFileName("/out/setup.v2.exe", 12), "/out/setup.v2.D12");
    EXPECT_EQ(ContinuationFileName("/out/setup", 3), "/out/setup.D03");
    EXPECT_EQ(ContinuationFileName("/out.d/setup", 100), "/out.d/setup.D100");
    EXPECT_EQ(ContinuationFileName("C:\\a.b\\setup", 2), "C:\\a.b\\setup.D02");
}

TEST(DataSectionTest, HeaderChunkAndEmptyStream)
{
    std::vector<uint8_t> out;
    CSectionWriter writer(out);
    CMemorySource empty(nullptr, 0);
    WriteDataSection(writer, empty, 0);
    EXPECT_EQ(out, (std::vector<uint8_t>{0x7F, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    out.clear();
    std::vector<uint8_t> data(70000, 9);
    CMemorySource source(data.data(), data.size());
    WriteDataSection(writer, source, data.size());
    EXPECT_EQ(U32At(out, 4), 70000u);
    EXPECT_EQ(U32At(out, 8), 70000u);
    EXPECT_EQ(out.size(), 12 + 70000u);
    CMemorySource shortSource(data.data(), 10);
    EXPECT_THROW(WriteDataSection(writer, shortSource, 20), CFileException);
}

}  // namespace

namespace {

TEST(EntryPathTest, PathsThatWouldLeaveTheTargetAreRefused)
{
    using List = std::vector<std::string>;
    struct Case {
        const char* path;
        List parts;
    } cases[] = {
        {"docs\\a.txt", {"docs", "a.txt"}},
        {"a/b\\\\c", {"a", "b", "c"}},
        {".\\a", {"a"}},
        {"a..b\\..c", {"a..b", "..c"}},
        {"..\\evil", {}},
        {"a\\..\\..\\evil", {}},
        {"a/../b", {}},
        {"\\Windows\\x", {}},
        {"/etc/passwd", {}},
        {"C:\\x", {}},
        {"C:x", {}},
        {"a\\b:stream", {}},
        {"", {}},
        {".\\", {}},
    };
    for (const Case& c : cases) {
        std::string reason;
        EXPECT_EQ(SplitEntryPath(c.path, reason), c.parts) << c.path;
        EXPECT_EQ(reason.empty(), !c.parts.empty()) << c.path;
    }
}

}  // namespace

namespace {

TEST(WindowsNameTest, NamesWindowsRefusesOrAltersAreRefused)
{
    const char* refused[] = {
        "aux",        "AUX",    "CON.txt",     "con .txt",    "com1",       "Com9.log", "lpt0",
        "NUL.tar.gz", "prn",    "COM\xB9",     "lpt\xB2.txt", "COM\xB3",    "trail.",   "trail ",
        "co:lon.txt", "q?.txt", "a*b",         "a<b",         "a>b",        "a|b",      "a\"b",
        "a\\b",       "a/b",    "tab\there",   "nl\n",        "esc\x1b[2J", ".",        "..",
        "",           "CONIN$", "conout$.txt", "Conin$ .log"};
    for (const char* name : refused) {
        EXPECT_FALSE(WindowsNameProblem(name).empty()) << name;
    }
    EXPECT_FALSE(WindowsNameProblem(std::string(256, 'a')).empty());
    const char* kept[] = {"a.txt", "auxiliary", "console.txt", "com10",       "lpt",
                          "COM",   "nul_",      ".hidden",     "caf\xE9.txt", "COM\xB4",
                          "a..b",  " lead",     "x.con",       "CONIN",       "conout$x"};
    for (const char* name : kept) {
        EXPECT_EQ(WindowsNameProblem(name), "") << name;
    }
    EXPECT_EQ(WindowsNameProblem(std::string(255, 'a')), "");
    // The runtime's UTF-16 names (after macros are expanded) follow the same rule.
    for (const char16_t* name : {u"CONOUT$", u"com\u00B9.txt", u"a\u0001", u"x.", u"q?"}) {
        EXPECT_FALSE(WindowsNameProblem(std::u16string(name)).empty());
    }
    for (const char16_t* name : {u"\u65E5\u672C.txt", u"caf\u00E9", u"COM\u2074", u"\u0143UL"}) {
        EXPECT_EQ(WindowsNameProblem(std::u16string(name)), "");
    }
    EXPECT_FALSE(WindowsNameProblem(std::u16string(256, u'\u65E5')).empty());
    // Entry paths obey the same rule in every component.
    std::string reason;
    EXPECT_TRUE(SplitEntryPath("docs\\aux\\a.txt", reason).empty());
    EXPECT_EQ(reason, "a device name reserved by Windows");
    EXPECT_TRUE(SplitEntryPath("docs\\trail.\\a.txt", reason).empty());
}

TEST(ShownNameTest, NamesAreUtf8AndCannotReachTheTerminalRaw)
{
    EXPECT_EQ(ShownName("caf\xE9.txt"), "\"caf\xC3\xA9.txt\"");
    EXPECT_EQ(ShownName("\x80"), "\"\xE2\x82\xAC\"");
    EXPECT_EQ(ShownName("a\x1b[2Jb"), "\"a\\u001b[2Jb\"");
    EXPECT_EQ(ShownName("q\"\\\n\x81"), "\"q\\\"\\\\\\u000a\\u0081\"");
}

}  // namespace

namespace {

// One rule for velkanc's --version and the setup program's version switch.
TEST(VersionChoiceTest, NumberFromOneThenNameOrTitleInAnyCase)
{
    const std::vector<std::string> names = {"Full", "Lite", "12", "Caf\xE9"};
    const std::vector<std::string> titles = {"Product Pro", "", "", ""};
    struct Case {
        const char* choice;
        std::optional<size_t> index;
    } cases[] = {
        {"1", 0},
        {"2", 1},
        {"4", 3},
        {"0", std::nullopt},
        {"000000002", 1},
        {"12", 2},  // no version 12: the name "12"
        {"lite", 1},
        {"FULL", 0},
        {"product pro", 0},
        {"CAF\xC9", 3},
        {"1234567890", std::nullopt},
        {"", std::nullopt},
        {"Lit", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseVersion(names, titles, c.choice), c.index) << c.choice;
    }
}

}  // namespace
