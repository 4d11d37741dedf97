#include "core/model/ProjectFile.h"

#include <gtest/gtest.h>

#include "core/model/CArchive.h"
#include "core/model/CArchiveException.h"
#include "core/wizard/CTextCatalogue.h"

using namespace velkan;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes Serialized(CFileItem item)
{
    CArchive ar;
    item.Serialize(ar);
    return ar.Bytes();
}

template <typename R>
R Deserialized(const Bytes& b)
{
    CArchive ar(b.data(), b.size());
    R record;
    record.Serialize(ar);
    EXPECT_EQ(ar.Remaining(), 0u);
    return record;
}

// Writes the texts of a version as a file would store them: a count of pages, then arrays.
void WriteTexts(CArchive& ar, const TextPages& pages)
{
    ar.WriteCount(pages.size());
    for (const auto& p : pages) ar.WriteStringArray(p);
}

// A version record of an older schema, with every field the schema has.
Bytes OldVersion(uint32_t schema, uint32_t flags, const TextPages& texts)
{
    CArchive ar;
    ar.WriteDword(schema);
    if (schema >= 0x00010002) {
        ar.WriteString("Pro");
        ar.WriteString("");
    }
    ar.WriteString("C:\\src\\");
    ar.WriteInt(0);
    ar.WriteCount(0);
    ar.WriteString("Title");
    WriteTexts(ar, texts);
    ar.WriteString("Un.exe");
    ar.WriteString("Folder");
    ar.WriteString("Icon");
    if (schema == 0x00010005) ar.WriteString("extra.txt");
    ar.WriteStringArray({"Software\\X"});
    ar.WriteDword(flags);
    ar.WriteString("#Program Files#\\X");
    if (schema > 0x00010000) {
        ar.WriteInt(2);
        for (const char* s : {"Key", "Sub", "x.ini", "Sect", "Entry"}) ar.WriteString(s);
    }
    for (int list = 0; list < 3; ++list) ar.WriteCount(0);
    return ar.Bytes();
}

void ExpectRefused(const Bytes& b, const char* message, CArchiveException::Kind kind)
{
    try {
        ReadProject(b.data(), b.size());
        ADD_FAILURE() << "accepted";
    } catch (const CArchiveException& e) {
        EXPECT_STREQ(e.what(), message);
        EXPECT_EQ(e.GetKind(), kind);
    }
}

}  // namespace

TEST(ProjectFile, DefaultFileRecordIsFortyThreeBytes)
{
    const Bytes expected = {0x05, 'a',  '.',  't',  'x', 't', 0x03, 0x70, 0x00, 0x00, 0,
                            0,    0,    0,    0,    0,   0,   0,    0,    0,    0,    0,
                            1,    0,    0,    0,    0,   0,   0,    0,    0,    0,    0,
                            0,    0x00, 0x00, 0x00, 0,   0,   0,    0,    0x00, 0x00};
    EXPECT_EQ(Serialized(CFileItem("a.txt")), expected);
}

TEST(ProjectFile, NewProjectHeader)
{
    Bytes b = WriteProject(NewProject());
    const Bytes head = {0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x09, 'M',  'y',  'P',
                        'r',  'o',  'd',  'u',  'c',  't',  0x00, 0x01, 0x00, 0x00,
                        0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
    ASSERT_GT(b.size(), head.size() + 60 + 2);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + static_cast<long>(head.size())), head);
    auto font = LogFont::DefaultTitleFont().ToBytes();
    EXPECT_TRUE(std::equal(font.begin(), font.end(), b.begin() + static_cast<long>(head.size())));
    size_t count = head.size() + 60;
    EXPECT_EQ(b[count], 0x01);
    EXPECT_EQ(b[count + 1], 0x00);
    EXPECT_EQ(b[count + 2], 0x05);  // the version's schema 0x00010005 follows
    EXPECT_EQ(b[count + 4], 0x01);
}

TEST(ProjectFile, RoundTripKeepsEveryStoredField)
{
    CDataArray p = NewProject();
    p.m_strWizardBitmap = "w.bmp";
    p.m_strBackTitle = "Line1\nLine2";
    p.m_nWindowMode = 0;
    p.m_nTitleReserved = 7;
    p.m_crTitleColor = 0x00123456;
    p.m_lfTitleFont.SetFaceName("Times New Roman");
    p.m_bExclusive = 0;
    p.m_nPlatform = 0;
    CData& v = p.m_versions[0];
    v.m_strSourceDir = "/src/";
    CFileItem f("sub\\LIB.DLL");
    f.m_strMenuName = "Lib";
    f.m_nIconIndex = -3;
    v.m_files.push_back(f);
    v.m_texts[6][31] = std::string(300, 'z');
    v.m_iniEntries.push_back({"a.ini", "S", "E", "#InstallDir#", 1});
    v.m_regEntries.push_back({2, "Software\\X", "Dir", "v", 0});
    CFileInfo fi;
    fi.m_strFile = "x.bin";
    fi.m_nOffsetMode = 1;
    fi.m_strOffset = "\"ABC\"";
    v.m_fileStrings.push_back(fi);
    p.m_versions.emplace_back();
    p.m_versions[1].m_strName = "Pro";

    Bytes once = WriteProject(p);
    CDataArray back = ReadProject(once.data(), once.size());
    EXPECT_EQ(WriteProject(back), once);
    ASSERT_EQ(back.m_versions.size(), 2u);
    EXPECT_EQ(back.m_versions[0].m_files[0], f);
    EXPECT_EQ(back.m_versions[0].m_fileStrings[0], fi);
    EXPECT_EQ(back.m_lfTitleFont, p.m_lfTitleFont);
    EXPECT_EQ(back.m_strBackTitle, "Line1\nLine2");
}

TEST(ProjectFile, FileRecordSchemas)
{
    struct Case {
        int32_t schema;
        std::vector<int32_t> options;  // as stored after the schema (oldest form: ignored, n, ...)
        bool shortcut;
        std::array<int32_t, 6> expected;
    } cases[] = {
        {0x7009, {1, 2, 1, 0, 2, 1}, true, {1, 2, 1, 0, 2, 1}},
        {0x7003, {3, 1, 0, 2, 1, 0}, true, {3, 1, 0, 2, 1, 0}},
        {0x7002, {2, 2, 1, 3, 2}, true, {2, 2, 1, 3, 2, 0}},
        // A 0x7001 record carries the shortcut fields: the reading steps take them from 0x7001 on.
        {0x7001, {1, 2}, true, {1, 2, 0, 1, 0, 0}},
        {0x7000, {99, 7, 1, 1, 1, 1, 1, 1, 5}, false, {1, 1, 1, 1, 1, 1}},
        {-5, {0, 1, 3}, false, {3, 0, 0, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        CArchive ar;
        ar.WriteString("f.dll");
        ar.WriteInt(c.schema);
        for (int32_t o : c.options) ar.WriteInt(o);
        ar.WriteString("Folder");
        ar.WriteString("Name");
        ar.WriteString("");
        ar.WriteInt(4);
        if (c.shortcut) {
            ar.WriteString("Short");
            ar.WriteString("-x");
        }
        CFileItem item = Deserialized<CFileItem>(ar.Bytes());
        EXPECT_EQ(item.m_nOptions, c.expected) << std::hex << c.schema;
        EXPECT_EQ(item.m_strMenuName, "Name");
        EXPECT_EQ(item.m_nIconIndex, 4);
        EXPECT_EQ(item.m_strShortcutName, c.shortcut ? "Short" : "");
    }
}

TEST(ProjectFile, OlderVersionSchemas)
{
    struct Case {
        uint32_t schema;
        uint32_t flags;
        int32_t expectedFlags;
        const char* name;
        const char* dirKey;
        const char* extra;
    } cases[] = {
        {0x00010005, 13, 13, "Pro", "Key", "extra.txt"},
        {0x00010004, 13, 13, "Pro", "Key", ""},
        {0x00010003, 4, 4, "Pro", "Key", ""},
        {0x00010002, 7, 2, "Pro", "Key", ""},
        {0x00010002, 0, 0, "Pro", "Key", ""},
        {0x00010001, 1, 2, "Default", "Key", ""},
        {0x00010000, 1, 2, "Default", "", ""},
    };
    for (const Case& c : cases) {
        CData v = Deserialized<CData>(OldVersion(c.schema, c.flags, {{"Hello"}}));
        EXPECT_EQ(v.m_nDirFlags, c.expectedFlags) << std::hex << c.schema;
        EXPECT_EQ(v.m_strName, c.name);
        EXPECT_EQ(v.m_strDirKey, c.dirKey);
        EXPECT_EQ(v.m_strUninstExtra, c.extra);
        EXPECT_EQ(v.m_strInstallDir, "#Program Files#\\X");
        EXPECT_EQ(v.m_texts[0][0], "Hello");
        EXPECT_EQ(v.m_texts[0][1], CTextCatalogue::GetDefaultText(0, 1));
    }
}

TEST(ProjectFile, StoredTextsOverlayTheCatalogueByPosition)
{
    // Page 6 with only 31 texts, and a 12th page with an extra text: the missing text gets its
    // default, the extra page vanishes.
    TextPages stored(12);
    stored[6].assign(31, "t");
    stored[11] = {"extra"};
    stored[0].assign(CTextCatalogue::TextCount(0) + 2, "p0");
    CData v = Deserialized<CData>(OldVersion(0x00010005, 2, stored));
    ASSERT_EQ(v.m_texts.size(), 11u);
    ASSERT_EQ(v.m_texts[6].size(), static_cast<size_t>(CTextCatalogue::TextCount(6)));
    EXPECT_EQ(v.m_texts[6][30], "t");
    EXPECT_EQ(v.m_texts[6][31], CTextCatalogue::GetDefaultText(6, 31));
    EXPECT_EQ(v.m_texts[0].size(), static_cast<size_t>(CTextCatalogue::TextCount(0)));
    EXPECT_EQ(v.m_usages[6][31], CTextCatalogue::GetUsage(6, 31));
}

TEST(ProjectFile, OldProjectSchemasGetDefaults)
{
    LogFont custom = LogFont::DefaultTitleFont();
    custom.lfHeight = 12;
    for (uint32_t schema : {0x00020000u, 0x00020001u, 0x00020002u}) {
        CArchive ar;
        ar.WriteDword(schema);
        for (const char* s : {"w.bmp", "b.bmp", "Back", "aux"}) ar.WriteString(s);
        ar.WriteInt(0);
        ar.WriteString("out.exe");
        ar.WriteInt(0);
        ar.WriteInt(0);
        if (schema >= 0x00020002) {
            ar.WriteInt(9);
            ar.WriteDword(0x0000FF00);
        }
        if (schema >= 0x00020001) ar.WriteFont(custom);
        ar.WriteCount(0);
        CDataArray p = ReadProject(ar.Bytes().data(), ar.Bytes().size());
        EXPECT_EQ(p.m_nTitleReserved, schema >= 0x00020002 ? 9 : 0);
        EXPECT_EQ(p.m_crTitleColor, schema >= 0x00020002 ? 0x0000FF00u : 0x00FFFFFFu);
        EXPECT_EQ(p.m_lfTitleFont, schema >= 0x00020001 ? custom : LogFont::DefaultTitleFont());
        EXPECT_EQ(p.m_bExclusive, 0);
        EXPECT_EQ(p.m_strOutputPath, "out.exe");
    }
}

TEST(ProjectFile, SingleVersionLayoutOpensAsOneDefaultVersion)
{
    for (uint32_t schema : {0x00010000u, 0x00010001u, 0x00010002u, 0x00010003u}) {
        CArchive ar;
        ar.WriteDword(schema);
        ar.WriteString("C:\\src\\");
        ar.WriteInt(1);
        ar.WriteCount(1);
        CFileItem("a.txt").Serialize(ar);
        ar.WriteString("Title");
        WriteTexts(ar, {{"Welcome"}});
        ar.WriteString("Un.exe");
        ar.WriteString("Folder");
        ar.WriteString("Icon");
        ar.WriteStringArray({"Software\\Y"});
        for (const char* s : {"w.bmp", "b.bmp", "Back", "aux"}) ar.WriteString(s);
        ar.WriteInt(0);
        if (schema >= 0x00010003) {
            ar.WriteInt(3);
            ar.WriteDword(0x00ABCDEF);
        }
        if (schema >= 0x00010002) {
            ar.WriteFont(LogFont{});
            ar.WriteInt(6);
        } else {
            ar.WriteInt(1);
        }
        ar.WriteString("C:\\Inst");
        if (schema > 0x00010000) {
            ar.WriteInt(1);
            for (const char* s : {"Key", "Sub", "x.ini", "Sect", "Entry"}) ar.WriteString(s);
        }
        ar.WriteString("out.exe");
        ar.WriteInt(0);

        CDataArray p = ReadProject(ar.Bytes().data(), ar.Bytes().size());
        ASSERT_EQ(p.m_versions.size(), 1u) << std::hex << schema;
        const CData& v = p.m_versions[0];
        EXPECT_EQ(v.m_strName, "Default");
        EXPECT_EQ(v.m_files.size(), 1u);
        EXPECT_EQ(v.m_texts[0][0], "Welcome");
        EXPECT_EQ(v.m_nDirFlags, schema >= 0x00010002 ? 6 : 2);
        EXPECT_EQ(v.m_strDirIniEntry, schema > 0x00010000 ? "Entry" : "");
        EXPECT_EQ(p.m_crTitleColor, schema >= 0x00010003 ? 0x00ABCDEFu : 0x00FFFFFFu);
        EXPECT_EQ(p.m_lfTitleFont, schema >= 0x00010002 ? LogFont{} : LogFont::DefaultTitleFont());
        EXPECT_EQ(p.m_bExclusive, 1);
        EXPECT_EQ(p.m_strOutputPath, "out.exe");
        EXPECT_EQ(p.m_nPlatform, 0);
        Bytes written = WriteProject(p);
        EXPECT_EQ(Bytes(written.begin(), written.begin() + 4), (Bytes{0x03, 0x00, 0x02, 0x00}));
    }
}

TEST(ProjectFile, RefusalsCarryTheProductTexts)
{
    using K = CArchiveException::Kind;
    Bytes project = WriteProject(NewProject());
    // The first version record starts after the project's fields; change its schema to 0x00010006.
    Bytes badVersion = project;
    size_t at = 4 + 1 + 1 + 10 + 1 + 4 + 1 + 4 + 4 + 4 + 4 + 60 + 2;
    ASSERT_EQ(badVersion[at], 0x05);
    badVersion[at] = 0x06;
    ExpectRefused(badVersion, "Incorrect version!", K::BadSchema);
    ExpectRefused({0x04, 0x00, 0x02, 0x00}, "Incorrect version!", K::BadSchema);
    ExpectRefused({0x00, 0x00, 0x00, 0x00}, "Incorrect version!", K::BadSchema);

    auto withEntry = [](auto entry, uint32_t schema) {
        CDataArray p = NewProject();
        using E = decltype(entry);
        if constexpr (std::is_same_v<E, CIniInfo>) p.m_versions[0].m_iniEntries.push_back(entry);
        if constexpr (std::is_same_v<E, CRegInfo>) p.m_versions[0].m_regEntries.push_back(entry);
        if constexpr (std::is_same_v<E, CFileInfo>) p.m_versions[0].m_fileStrings.push_back(entry);
        Bytes b = WriteProject(p);
        // The entry's schema is the only 01 30 00 00 in the file.
        for (size_t i = 0; i + 4 <= b.size(); ++i) {
            if (b[i] == 0x01 && b[i + 1] == 0x30 && b[i + 2] == 0 && b[i + 3] == 0) {
                b[i] = static_cast<unsigned char>(schema);
                b[i + 1] = static_cast<unsigned char>(schema >> 8);
            }
        }
        return b;
    };
    ExpectRefused(withEntry(CIniInfo{}, 0x3002), "Incorrect version", K::BadSchema);
    ExpectRefused(withEntry(CRegInfo{}, 0x3000), "Incorrect version!", K::BadSchema);
    ExpectRefused(withEntry(CFileInfo{}, 0x3002), "Incorrect version!", K::BadSchema);

    // Every proper prefix of a valid file is refused as a file that ends early.
    for (size_t n = 0; n < project.size(); n += (n < 200 ? 1 : 97)) {
        ExpectRefused(Bytes(project.begin(), project.begin() + static_cast<long>(n)),
                      "Unexpected file format.", K::EndOfFile);
    }
}

// Lists of tiny records may not make a file cost memory out of proportion to its size: a string
// is one byte in the file but a string object in memory, a version a few dozen bytes but a whole
// catalogue of texts. Such files are refused; ordinary lists of the same kinds are read.
TEST(ProjectFile, ListsOutOfProportionToTheFileAreRefused)
{
    using K = CArchiveException::Kind;
    auto withKeys = [](size_t count) {
        CDataArray p = NewProject();
        p.m_versions[0].m_regKeysToRemove.assign(count, "");
        return WriteProject(p);
    };
    auto withVersions = [](size_t count) {
        CDataArray p = NewProject();
        CData bare = p.m_versions[0];
        for (auto& page : bare.m_texts) page.clear();
        p.m_versions.assign(count, bare);
        return WriteProject(p);
    };
    const struct {
        const char* name;
        Bytes bytes;
        bool refused;
    } cases[] = {
        {"2,000 empty keys to remove", withKeys(2000), false},
        {"400,000 empty keys to remove", withKeys(400000), true},
        {"20 versions without stored texts", withVersions(20), false},
        {"4,000 versions without stored texts", withVersions(4000), true},
    };
    for (const auto& c : cases) {
        if (!c.refused) {
            EXPECT_NO_THROW(ReadProject(c.bytes.data(), c.bytes.size())) << c.name;
            continue;
        }
        try {
            ReadProject(c.bytes.data(), c.bytes.size());
            ADD_FAILURE() << c.name;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetKind(), K::EndOfFile) << c.name;
            EXPECT_NE(e.Detail().find("out of proportion"), std::string::npos) << e.Detail();
        }
    }
}

TEST(ProjectFile, NewKeepsTheTitleFontButResetsTheColour)
{
    CDataArray p = NewProject();
    p.m_lfTitleFont.SetFaceName("Courier");
    p.m_crTitleColor = 0x000000FF;
    p.Reset();
    p.m_versions.emplace_back();
    EXPECT_EQ(p.m_lfTitleFont.FaceName(), "Courier");
    EXPECT_EQ(p.m_crTitleColor, 0x00FFFFFFu);
}
