#include "core/model/ProjectJson.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/model/CJsonException.h"
#include "core/model/ProjectFile.h"
#include "core/wizard/CTextCatalogue.h"

using namespace velkan;

namespace {

// Every byte value, NUL and the code page's five undefined bytes included.
std::string AllBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

// A project that sets every stored field away from its default, with the values that are easiest
// to lose on the way through text: every byte, extreme numbers, a face name with bytes after its
// terminator, duplicate paths, an empty version.
CDataArray RichProject()
{
    CDataArray p = NewProject();
    p.m_strWizardBitmap = "wiz.bmp";
    p.m_strBackBitmap = AllBytes();
    p.m_strBackTitle = "Line 1\nLine \"2\"\t\\";
    p.m_strAuxFile = "aux";
    p.m_nWindowMode = 0;
    p.m_strOutputPath = "C:\\out\\setup.exe";
    p.m_nPlatform = 0;
    p.m_bExclusive = -7;
    p.m_nTitleReserved = INT32_MIN;
    p.m_crTitleColor = 0xFFFFFFFF;
    p.m_lfTitleFont.lfHeight = INT32_MAX;
    p.m_lfTitleFont.lfPitchAndFamily = 255;
    p.m_lfTitleFont.lfFaceName.fill('\x9D');
    p.m_lfTitleFont.lfFaceName[3] = 0;

    CData& v = p.m_versions[0];
    v.m_strName = "Pro \x80\xE9";
    v.m_strSourceDir = "/src/";
    v.m_bSubDirs = 0;
    CFileItem a("a.dll");
    a.m_nOptions = {1, 2, INT32_MIN, 0, 5, INT32_MAX};
    a.m_strMenuFolder = "Folder";
    a.m_strMenuName = "Name";
    a.m_strMenuArgs = "/x";
    a.m_nIconIndex = 3;
    a.m_strShortcutName = "Short";
    a.m_strShortcutArgs = "/y";
    v.m_files.push_back(a);
    v.m_files.push_back(CFileItem("A.DLL"));
    v.m_strTitle = "T";
    v.m_texts[0][0] = "";
    v.m_texts[4][1] = AllBytes();
    v.m_strUninstFile = "u.exe";
    v.m_strUninstFolder = "uf";
    v.m_strUninstIcon = "ui";
    v.m_strUninstExtra = "*.txt";
    v.m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software\\X", ""};
    v.m_nDirFlags = 14;
    v.m_strInstallDir = "#Program Files#\\X";
    v.m_nDirRootKey = 2;
    v.m_strDirKey = "k";
    v.m_strDirSubkey = "s";
    v.m_strDirIniFile = "f.ini";
    v.m_strDirIniSection = "sec";
    v.m_strDirIniEntry = "e";
    v.m_iniEntries.push_back({"x.ini", "S", "E", "V", 1});
    CRegInfo reg;
    reg.m_nRootKey = 3;
    reg.m_strKey = "K";
    reg.m_strSubkey = "S";
    reg.m_strValue = "V";
    reg.m_nFlags = -1;
    v.m_regEntries.push_back(reg);
    CFileInfo fs;
    fs.m_strFile = "f";
    fs.m_nOffsetMode = CFileInfo::String;
    fs.m_strOffset = "'ab' 0x00";
    fs.m_strText = "t";
    fs.m_nReserved1 = 0;
    fs.m_nReserved2 = 9;
    v.m_fileStrings.push_back(fs);

    p.m_versions.emplace_back();
    p.m_versions[1].m_strName = "";
    return p;
}

CDataArray Read(const std::string& text)
{
    return ReadProjectJson(text);
}

}  // namespace

TEST(ProjectJson, BinaryToTextToBinaryKeepsEveryByte)
{
    for (const CDataArray& project : {NewProject(), RichProject()}) {
        std::vector<unsigned char> binary = WriteProject(project);
        CDataArray fromBinary = ReadProject(binary.data(), binary.size());
        std::string text = WriteProjectJson(fromBinary);
        EXPECT_EQ(WriteProject(Read(text)), binary);
        // And the other way: text -> binary -> text gives the same text.
        std::vector<unsigned char> again = WriteProject(Read(text));
        EXPECT_EQ(WriteProjectJson(ReadProject(again.data(), again.size())), text);
    }
}

// A control character in a stored string, C1 included (the undefined Windows-1252 bytes), is
// written escaped in both the JSON and the text form, and reads back as the same byte.
TEST(ProjectJson, ControlCharactersAreWrittenEscaped)
{
    CDataArray project = NewProject();
    project.m_versions[0].m_strTitle = "a\x81\x1b[2J\x9D";
    std::string text = WriteProjectJson(project);
    EXPECT_NE(text.find("a\\u0081\\u001b[2J\\u009d"), std::string::npos);
    EXPECT_EQ(text.find("\xC2\x81"), std::string::npos);
    EXPECT_EQ(Read(text).m_versions[0].m_strTitle, project.m_versions[0].m_strTitle);
    EXPECT_EQ(JsonValue(std::string("x\xC2\x9By")).ToText(), "\"x\\u009by\"\n");
}

TEST(ProjectJson, LayoutIsStableAndLineOriented)
{
    CDataArray p = NewProject();
    p.m_versions[0].m_files.push_back(CFileItem("sub\\a.txt"));
    p.m_versions[0].m_iniEntries.push_back({"x.ini", "S", "E", "V\xE9", 0});
    std::string text = WriteProjectJson(p);
    EXPECT_EQ(text.substr(0, 32), "{\n  \"m_strWizardBitmap\": \"\",\n  \"");
    EXPECT_NE(
        text.find(
            "\n        {\"m_strPath\": \"sub\\\\a.txt\", \"m_nOptions\": [0, 0, 0, 1, 0, 0], "
            "\"m_strMenuFolder\": \"\", \"m_strMenuName\": \"\", \"m_strMenuArgs\": \"\", "
            "\"m_nIconIndex\": 0, \"m_strShortcutName\": \"\", \"m_strShortcutArgs\": \"\"}\n"),
        std::string::npos)
        << text;
    EXPECT_NE(
        text.find(
            "\n        {\"m_strFile\": \"x.ini\", \"m_strSection\": \"S\", \"m_strEntry\": \"E\", "
            "\"m_strValue\": \"V\xC3\xA9\", \"m_nFlags\": 0}\n"),
        std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\t'), std::string::npos);
    EXPECT_EQ(WriteProjectJson(Read(text)), text);
}

TEST(ProjectJson, LeftOutKeysTakeTheDefaults)
{
    EXPECT_EQ(WriteProject(Read("{}")), WriteProject(NewProject()));
    EXPECT_EQ(WriteProject(Read("\xEF\xBB\xBF{}")), WriteProject(NewProject()));
    EXPECT_THROW(Read(" \xEF\xBB\xBF{}"), CJsonException)
        << "a byte order mark only at the very start";

    CDataArray p = Read(R"({"m_nPlatform": 0, "m_versions": [
        {"m_strName": "Lite", "m_files": [{"m_strPath": "a.txt", "m_nOptions": [2]}],
         "m_texts": [["Welcome to \u00e9\u20ac"]]},
        {}]})");
    EXPECT_EQ(p.m_nPlatform, 0);
    EXPECT_EQ(p.m_strBackTitle, NewProject().m_strBackTitle);
    ASSERT_EQ(p.m_versions.size(), 2u);
    const CData& v = p.m_versions[0];
    EXPECT_EQ(v.m_strName, "Lite");
    EXPECT_EQ(v.m_strTitle, CData().m_strTitle);
    ASSERT_EQ(v.m_files.size(), 1u);
    EXPECT_EQ(v.m_files[0].m_nOptions, (std::array<int32_t, 6>{2, 0, 0, 1, 0, 0}));
    EXPECT_EQ(v.m_texts[0][0], "Welcome to \xE9\x80");
    EXPECT_EQ(v.m_texts[0][1], CTextCatalogue::GetDefaultText(0, 1));
    EXPECT_EQ(v.m_texts[10], CData().m_texts[10]);
    EXPECT_EQ(v.m_usages, CData().m_usages);
    EXPECT_EQ(p.m_versions[1].m_strName, "Default");
    EXPECT_TRUE(Read(R"({"m_versions": []})").m_versions.empty());

    // A face name of all 32 bytes, and one written with \u escapes.
    CDataArray f = Read(R"({"m_lfTitleFont": {"lfFaceName": "0123456789abcdef0123456789ABCDEF"}})");
    EXPECT_EQ(std::string(f.m_lfTitleFont.lfFaceName.data(), 32),
              "0123456789abcdef0123456789ABCDEF");
    EXPECT_EQ(f.m_lfTitleFont.lfWeight, 900);
    EXPECT_EQ(Read(R"({"m_lfTitleFont": {"lfFaceName": "A\u0000B"}})").m_lfTitleFont.lfFaceName[2],
              'B');
}

TEST(ProjectJson, MistakesAreRefusedNamingWhere)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        // Values that do not fit, named by their key path.
        {R"({"m_versions": [{}, {"m_files": [{}, {}, {}, {"m_nOptions": "0"}]}]})",
         "m_versions[1].m_files[3].m_nOptions: expected an array, found a string"},
        {R"({"m_versions": [{"m_files": [{"m_nOptions": [0, 1.5]}]}]})",
         "m_versions[0].m_files[0].m_nOptions[1]: expected a whole number from -2147483648 to "
         "2147483647, found 1.5"},
        {R"({"m_versions": [{"m_files": [{"m_nOptions": [0, 0, 0, 0, 0, 0, 0]}]}]})",
         "m_versions[0].m_files[0].m_nOptions: at most 6 options, found 7"},
        {R"({"m_nPlatform": 2147483648})",
         "m_nPlatform: expected a whole number from -2147483648 to 2147483647"},
        {R"({"m_nPlatform": 99999999999999999999})", "m_nPlatform: expected a whole number"},
        {R"({"m_nPlatform": -9223372036854775808})", "to 2147483647, found -9223372036854775808"},
        {R"({"m_nPlatform": 9223372036854775808})", "to 2147483647, found 9223372036854775808"},
        {R"({"m_crTitleColor": -1})",
         "m_crTitleColor: expected a whole number from 0 to 4294967295, found -1"},
        {R"({"m_lfTitleFont": {"lfItalic": 256}})",
         "m_lfTitleFont.lfItalic: expected a whole number from 0 to 255"},
        {R"({"m_lfTitleFont": {"lfFaceName": "0123456789abcdef0123456789ABCDEFx"}})",
         "m_lfTitleFont.lfFaceName: a face name holds at most 32 bytes"},
        {R"({"m_bExclusive": true})", "m_bExclusive: expected a number, found true or false"},
        {R"({"m_strTitle": "x"})", "m_strTitle: unknown key"},
        {R"({"m_versions": [{"m_regEntries": [{"m_nRootkey": 1}]}]})",
         "m_versions[0].m_regEntries[0].m_nRootkey: unknown key"},
        {R"({"m_versions": {}})", "m_versions: expected an array, found an object"},
        {R"({"m_versions": [{"m_texts": [[], [], [], [], [], [], [], [], [], [], [], []]}]})",
         "m_versions[0].m_texts: at most 11 wizard pages, found 12"},
        {R"([])", "the project: expected an object, found an array"},
        {R"({"m_versions": [{"m_iniEntries": [null]}]})",
         "m_versions[0].m_iniEntries[0]: expected an object, found null"},
        // Text the code page cannot hold is refused by name.
        {"{\"m_versions\": [{\"m_strTitle\": \"Snow \xE2\x98\x83\"}]}",
         "m_versions[0].m_strTitle: \"\xE2\x98\x83\" (U+2603) is a character that the Windows-1252 "
         "code page of "
         "projects cannot hold"},
        {R"({"m_versions": [{"m_regKeysToRemove": ["ok", "\ud83d\ude00"]}]})",
         "m_versions[0].m_regKeysToRemove[1]: \"\xF0\x9F\x98\x80\" (U+1F600)"},
        // Text that is not JSON, named by line and column.
        {"", "line 1, column 1: the text ends early: a value expected"},
        {"{\n  \"m_nPlatform\": 1,\n}", "line 3, column 1: a key in quotes expected"},
        {"{\"m_nPlatform\": 1} x", "line 1, column 20: text after the end of the JSON value"},
        {"{\"m_nPlatform\": 1, \"m_nPlatform\": 0}",
         "line 1, column 20: the key \"m_nPlatform\" is given twice"},
        {"{\"m_strAuxFile\": \"a\nb\"}", "line 1, column 20: a control character inside a string"},
        {"{\"m_strAuxFile\": \"\xC3\"}", "line 1, column 19: invalid UTF-8"},
        {"{\"m_strAuxFile\": \"\xC0\xAF\"}", "line 1, column 19: invalid UTF-8"},
        {R"({"m_strAuxFile": "\ud800"})", "a lone high surrogate"},
        {R"({"m_strAuxFile": "\x"})", "an unknown escape in a string"},
        {R"({"m_nPlatform": 01})", "line 1, column 18: ',' or '}' expected"},
        {R"({"m_nPlatform": tru})", "line 1, column 17: a value expected"},
        {"{\"m_strAuxFile\": \"abc", "the text ends inside a string"},
        {"{\"m_versions\": [", "the text ends early: a value expected"},
    };
    for (const Case& c : cases) {
        try {
            Read(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const CJsonException& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << "text: " << c.text << "\nmessage: " << e.what() << "\nexpected: " << c.message;
        }
    }
}

TEST(ProjectJson, HostileNestingIsRefusedWithoutExhaustingTheStack)
{
    std::string deep(100000, '[');
    EXPECT_THROW(Read(deep), CJsonException);
    std::string limit =
        std::string(JsonValue::kMaxDepth, '[') + std::string(JsonValue::kMaxDepth, ']');
    EXPECT_NO_THROW(JsonValue::Parse(limit));
    EXPECT_THROW(JsonValue::Parse("[" + limit + "]"), CJsonException);
}

// Text of many tiny values (an empty string is three bytes, a version "{}" three) may not cost
// memory out of proportion to it; lists of the same kinds at ordinary sizes are read.
TEST(ProjectJson, ListsOutOfProportionToTheTextAreRefused)
{
    auto repeated = [](const std::string& head, const std::string& item, size_t count,
                       const std::string& tail) {
        std::string text = head;
        for (size_t i = 0; i < count; ++i) text += (i ? "," : "") + item;
        return text + tail;
    };
    const std::string keys = "{\"m_versions\": [{\"m_regKeysToRemove\": [";
    const struct {
        const char* name;
        std::string text;
        bool refused;
    } cases[] = {
        {"2,000 empty keys", repeated(keys, "\"\"", 2000, "]}]}"), false},
        {"1,000,000 empty keys", repeated(keys, "\"\"", 1000000, "]}]}"), true},
        {"1,000,000 zeros", repeated("[", "0", 1000000, "]"), true},
        {"20 empty versions", repeated("{\"m_versions\": [", "{}", 20, "]}"), false},
        {"4,000 empty versions", repeated("{\"m_versions\": [", "{}", 4000, "]}"), true},
    };
    for (const auto& c : cases) {
        if (!c.refused) {
            EXPECT_NO_THROW(Read(c.text)) << c.name;
            continue;
        }
        try {
            Read(c.text);
            ADD_FAILURE() << c.name;
        } catch (const CJsonException& e) {
            EXPECT_NE(std::string(e.what()).find("memory"), std::string::npos) << e.what();
        }
    }
}

TEST(ProjectJson, FilesAreChosenByName)
{
    EXPECT_TRUE(IsJsonProjectPath("a/b.json"));
    EXPECT_TRUE(IsJsonProjectPath("B.JSON"));
    EXPECT_FALSE(IsJsonProjectPath("b.vkp"));
    EXPECT_FALSE(IsJsonProjectPath("json"));
    EXPECT_FALSE(IsJsonProjectPath("b.json.vkp"));
}
