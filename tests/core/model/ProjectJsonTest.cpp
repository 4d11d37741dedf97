#include "core/model/ProjectJson.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "core/model/CJsonException.h"
#include "core/model/FileOption.h"
#include "core/model/ProjectFile.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardPage.h"

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

TEST(ProjectJson, DefaultsAreLeftOutAndAFileWithDefaultSettingsIsItsPath)
{
    CDataArray p = NewProject();
    CData& v = p.m_versions[0];
    v.m_strSourceDir = "app/";
    v.m_files.push_back(CFileItem("sub\\a.txt"));
    v.m_files.push_back(CFileItem("lib.dll"));  // its shared-DLL count is the default of a .dll
    CFileItem icon("app.exe");
    icon.m_strMenuFolder = "My App";
    icon.m_strMenuName = "App";
    v.m_files.push_back(icon);
    v.m_iniEntries.push_back({"x.ini", "S", "E", "V\xE9", 0});
    EXPECT_EQ(WriteProjectJson(p),
              "{\n"
              "  \"$schema\": \"velkan-project.schema.json\",\n"
              "  \"versions\": [\n"
              "    {\n"
              "      \"name\": \"Default\",\n"
              "      \"source\": \"app/\",\n"
              "      \"ini\": [\n"
              "        {\"file\": \"x.ini\", \"section\": \"S\", \"entry\": \"E\", \"value\": "
              "\"V\xC3\xA9\"}\n"
              "      ],\n"
              "      \"files\": [\n"
              "        \"sub/a.txt\",\n"
              "        \"lib.dll\",\n"
              "        {\"path\": \"app.exe\", \"startMenu\": {\"folder\": \"My App\", \"name\": "
              "\"App\"}}\n"
              "      ]\n"
              "    }\n"
              "  ]\n"
              "}\n");
}

// Every named value, written and read: the name a value is written as reads back to it.
TEST(ProjectJson, NamedValuesBothWays)
{
    struct Case {
        const char* json;  // a version's or a file's key and value
        std::function<int32_t(const CDataArray&)> field;
        int32_t value;
    };
    auto file = [](int option) {
        return [option](const CDataArray& p) {
            return p.m_versions[0].m_files[0].m_nOptions[static_cast<size_t>(option)];
        };
    };
    auto project = [](int32_t CDataArray::*member) {
        return [member](const CDataArray& p) { return p.*member; };
    };
    auto regRoot = [](const CDataArray& p) { return p.m_versions[0].m_regEntries[0].m_nRootKey; };
    const Case cases[] = {
        {R"("platform": "win32")", project(&CDataArray::m_nPlatform), 1},
        {R"("platform": "win31")", project(&CDataArray::m_nPlatform), 0},
        {R"("window": "full-screen")", project(&CDataArray::m_nWindowMode), 1},
        {R"("window": "small")", project(&CDataArray::m_nWindowMode), 0},
        {R"("exclusiveVersions": false)", project(&CDataArray::m_bExclusive), 0},
        {R"("exclusiveVersions": "raw:-7")", project(&CDataArray::m_bExclusive), -7},
        {R"(F"destination": "install-dir")", file(OptDestination), DestInstallDir},
        {R"(F"destination": "windows")", file(OptDestination), DestWindows},
        {R"(F"destination": "system")", file(OptDestination), DestSystem},
        {R"(F"destination": "fonts")", file(OptDestination), DestFonts},
        {R"(F"endPage": "none")", file(OptEndPage), EndPageNone},
        {R"(F"endPage": "view")", file(OptEndPage), EndPageView},
        {R"(F"endPage": "run")", file(OptEndPage), EndPageRun},
        {R"(F"sharedDll": true)", file(OptUsageCount), 1},
        {R"(F"install": "normal")", file(OptInstallMode), InstallNormal},
        {R"(F"install": "no-uninstall")", file(OptInstallMode), InstallKeep},
        {R"(F"install": "no-install")", file(OptInstallMode), InstallSkip},
        {R"(F"install": "directory-only")", file(OptInstallMode), InstallDirectoryOnly},
        {R"(F"special": "none")", file(OptSpecial), SpecialNone},
        {R"(F"special": "screen-saver")", file(OptSpecial), SpecialScreenSaver},
        {R"(F"special": "ocx")", file(OptSpecial), SpecialRegisterOcx},
        {R"(F"special": "raw:9")", file(OptSpecial), 9},
        {R"(F"external": true)", file(OptKeepExternal), 1},
        {R"(R"HKCR")", regRoot, 0},
        {R"(R"HKCU")", regRoot, 1},
        {R"(R"HKLM")", regRoot, 2},
        {R"(R"HKU")", regRoot, 3},
        {R"(R"HKEY_LOCAL_MACHINE")", regRoot, 2},
        {R"(R"raw:7")", regRoot, 7},
    };
    for (const Case& c : cases) {
        std::string json = c.json;
        std::string text;
        if (json[0] == 'F') {
            text = R"({"versions": [{"files": [{"path": "a.txt", )" + json.substr(1) + "}]}]}";
        } else if (json[0] == 'R') {
            text =
                R"({"versions": [{"registry": [{"key": "K", "root": )" + json.substr(1) + "}]}]}";
        } else {
            text = "{" + json + "}";
        }
        CDataArray p = Read(text);
        EXPECT_EQ(c.field(p), c.value) << text;
        // Written back under its name (the first name of a value with two).
        CDataArray again = Read(WriteProjectJson(p));
        EXPECT_EQ(c.field(again), c.value) << WriteProjectJson(p);
        if (json.find("raw:") == std::string::npos && json.find("HKEY_") == std::string::npos &&
            json.find("normal") == std::string::npos && json.find("none") == std::string::npos &&
            json.find("install-dir") == std::string::npos &&
            json.find("win32") == std::string::npos &&
            json.find("full-screen") == std::string::npos &&
            json.find("HKCR") == std::string::npos) {
            // A value away from its default is written, under the same name.
            std::string value = json.substr(json.find('"', 1));
            EXPECT_NE(WriteProjectJson(p).find(value), std::string::npos)
                << value << " in " << WriteProjectJson(p);
        }
    }
}

TEST(ProjectJson, ReadableFormsOfColoursFontsTextsAndTheInstallDirectory)
{
    CDataArray p = Read(R"({
        // People write comments,
        "titleColor": "#FF8000", /* and block comments */
        "titleFont": {"face": "Tahoma", "weight": 400, "italic": false},
        "versions": [
            {
                "name": "Pro",
                "installDir": {"path": "#Program Files#\\Pro", "changeable": false,
                               "registry": {"root": "HKLM", "key": "Software\\Me", "name": "Dir",
                                            "update": true}},
                "texts": {"end": {"viewButton": "Read %s"}, "buttons": {"next": "Go >"}},
                "files": ["a.txt", "docs/b.txt",],  // and trailing commas
            },
        ],
    })");
    EXPECT_EQ(p.m_crTitleColor, 0x000080FFu);
    EXPECT_EQ(p.m_lfTitleFont.FaceName(), "Tahoma");
    EXPECT_EQ(p.m_lfTitleFont.lfWeight, 400);
    EXPECT_EQ(p.m_lfTitleFont.lfItalic, 0);
    EXPECT_EQ(p.m_lfTitleFont.lfHeight, 50);  // left out: the default title font's
    const CData& v = p.m_versions[0];
    EXPECT_EQ(v.m_strInstallDir, "#Program Files#\\Pro");
    EXPECT_EQ(v.m_nDirFlags, kDirUpdateKey);
    EXPECT_EQ(v.m_nDirRootKey, 2);
    EXPECT_EQ(v.m_strDirSubkey, "Dir");
    EXPECT_EQ(v.m_texts[PageEnd][kEndViewText], "Read %s");
    EXPECT_EQ(v.m_texts[PageButtons][1], "Go >");
    EXPECT_EQ(v.m_texts[PageEnd][0], CTextCatalogue::GetDefaultText(PageEnd, 0));
    ASSERT_EQ(v.m_files.size(), 2u);
    EXPECT_EQ(v.m_files[1].m_strPath, "docs\\b.txt");
    // Written back in the same forms.
    std::string text = WriteProjectJson(p);
    EXPECT_NE(text.find("\"titleColor\": \"#FF8000\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"viewButton\": \"Read %s\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"changeable\": false"), std::string::npos) << text;
    EXPECT_NE(text.find("\"docs/b.txt\""), std::string::npos) << text;
    EXPECT_EQ(WriteProject(Read(text)), WriteProject(p));
    // An empty object is a new project; a project without versions has none.
    EXPECT_EQ(WriteProject(Read("{}")), WriteProject(NewProject()));
    EXPECT_TRUE(Read(R"({"versions": []})").m_versions.empty());
    EXPECT_EQ(Read(R"({"versions": [{"installDir": "C:\\X"}]})").m_versions[0].m_strInstallDir,
              "C:\\X");
}

TEST(ProjectJson, MistakesAreRefusedNamingLineAndKeyPath)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"{\n  \"platform\": 7\n}",
         "line 2: platform: expected one of win32, win31, found a number"},
        {R"({"platform": "win64"})", "platform: expected one of win32, win31, found \"win64\""},
        {R"({"window": "big"})", "window: expected one of full-screen, small"},
        {"{\"versions\": [{},\n {\"files\": [\"a\",\n {\"path\": \"b\", \"destination\": 9}]}]}",
         "line 3: versions[1].files[1].destination: expected one of install-dir, windows, "
         "system, fonts, found a number"},
        {R"({"versions": [{"files": [{"path": "b", "install": "sometimes"}]}]})",
         "versions[0].files[0].install: expected one of normal, no-uninstall, no-install, "
         "directory-only"},
        {R"({"versions": [{"files": [{"path": "b", "endPage": "open"}]}]})",
         "versions[0].files[0].endPage: expected one of none, view, run"},
        {R"({"versions": [{"files": [{"path": "b", "special": "dll"}]}]})",
         "versions[0].files[0].special: expected one of none, screen-saver, ocx"},
        {R"({"versions": [{"files": [{"path": "b", "sharedDll": 1}]}]})",
         "versions[0].files[0].sharedDll: expected true or false, found a number"},
        {R"({"versions": [{"files": [{"destination": "system"}]}]})",
         "versions[0].files[0]: \"path\" is required"},
        {R"({"versions": [{"files": [""]}]})", "versions[0].files[0]: a file needs a path"},
        {R"({"versions": [{"files": [7]}]})",
         "versions[0].files[0]: expected a path or an object, found a number"},
        {R"({"versions": [{"registry": [{"root": "HKEY_LOCAL"}]}]})",
         "versions[0].registry[0].root: expected one of HKCR, HKCU, HKLM, HKU"},
        {R"({"versions": [{"installDir": {"registry": {"root": 2}}}]})",
         "versions[0].installDir.registry.root: expected one of HKCR"},
        {R"({"versions": [{"installDir": {"otherFlags": 2}}]})",
         "versions[0].installDir.otherFlags: holds bits that have keys of their own"},
        {R"({"versions": [{"ini": [{"noOverwrite": "yes"}]}]})",
         "versions[0].ini[0].noOverwrite: expected true or false, found \"yes\""},
        {R"({"versions": [{"fileStrings": [{"at": "1", "find": "x"}]}]})",
         "versions[0].fileStrings[0]: give \"at\" or \"find\", not both"},
        {R"({"versions": [{"texts": {"ending": {}}}]})",
         "versions[0].texts.ending: unknown wizard page; the pages are presentation,"},
        {R"({"versions": [{"texts": {"end": {"view": "x"}}}]})",
         "versions[0].texts.end.view: unknown text of this page; its texts are title, success,"},
        {R"({"titleColor": "red"})", "titleColor: expected a colour \"#RRGGBB\", found \"red\""},
        {R"({"titleColor": "#12345G"})", "titleColor: expected a colour"},
        {R"({"titleColor": "raw:4294967296"})", "titleColor: expected a colour"},
        {R"({"titleFont": {"charSet": 256}})",
         "titleFont.charSet: expected a whole number from 0 to 255"},
        {R"({"titleFont": {"italic": "raw:256"}})", "titleFont.italic: a font's flag is a byte"},
        {R"({"titleFont": {"face": "0123456789abcdef0123456789ABCDEFx"}})",
         "titleFont.face: a face name holds at most 32 bytes"},
        {R"({"titleReserved": 2147483648})",
         "titleReserved: expected a whole number from -2147483648 to 2147483647"},
        {R"({"exclusiveVersions": "raw:x"})", "exclusiveVersions: expected true or false"},
        {R"({"m_versions": []})", "m_versions: unknown key"},
        {R"({"versions": [{"title": "x", "titel": "y"}]})", "versions[0].titel: unknown key"},
        {R"({"versions": {}})", "versions: expected an array, found an object"},
        {R"([])", "the project: expected an object, found an array"},
        {R"({"versions": [{"ini": [null]}]})",
         "versions[0].ini[0]: expected an object, found null"},
        // Text the code page cannot hold is refused by name.
        {"{\"versions\": [{\"title\": \"Snow \xE2\x98\x83\"}]}",
         "versions[0].title: \"\xE2\x98\x83\" (U+2603) is a character that the Windows-1252 "
         "code page of projects cannot hold"},
        // Text that is not JSON, named by line and column.
        {"", "line 1, column 1: the text ends early: a value expected"},
        {"{\n  \"platform\": \"win32\",,\n}", "line 2, column 23: a key in quotes expected"},
        {"[1,,]", "line 1, column 4: a value expected"},
        {"{\"platform\": 1} x", "line 1, column 17: text after the end of the JSON value"},
        {"{\"platform\": 1, \"platform\": 0}", "the key \"platform\" is given twice"},
        {"{\"auxFile\": \"a\nb\"}", "a control character inside a string"},
        {"{\"auxFile\": \"\xC3\"}", "invalid UTF-8"},
        {R"({"auxFile": "\ud800"})", "a lone high surrogate"},
        {"{/* open", "a comment that is never closed"},
        {"{\"versions\": [", "the text ends early: a value expected"},
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

TEST(ProjectJson, TheSchemaNamesEveryKeyTheReaderTakes)
{
    JsonValue schema = JsonValue::Parse(ProjectSchema());
    std::string text = ProjectSchema();
    // Every key a project of every field writes is in the schema.
    JsonValue every = ProjectToJson(RichProject(), JsonDetail::Every);
    std::function<void(const JsonValue&)> walk = [&](const JsonValue& v) {
        for (const auto& [key, value] : v.Members()) {
            EXPECT_NE(text.find("\"" + key + "\":"), std::string::npos) << key;
            walk(value);
        }
        for (const JsonValue& item : v.Items()) walk(item);
    };
    walk(every);
    EXPECT_NE(text.find("\"no-uninstall\""), std::string::npos);
    EXPECT_NE(text.find("\"viewButton\""), std::string::npos);
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
    const std::string keys = "{\"versions\": [{\"uninstaller\": {\"removeRegistryKeys\": [";
    const struct {
        const char* name;
        std::string text;
        bool refused;
    } cases[] = {
        {"2,000 empty keys", repeated(keys, "\"\"", 2000, "]}}]}"), false},
        {"1,000,000 empty keys", repeated(keys, "\"\"", 1000000, "]}}]}"), true},
        {"1,000,000 zeros", repeated("[", "0", 1000000, "]"), true},
        {"20 empty versions", repeated("{\"versions\": [", "{}", 20, "]}"), false},
        {"4,000 empty versions", repeated("{\"versions\": [", "{}", 4000, "]}"), true},
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
    EXPECT_TRUE(IsJsonProjectPath("c.jsonc"));
    EXPECT_FALSE(IsJsonProjectPath("b.vkp"));
    EXPECT_FALSE(IsJsonProjectPath("json"));
    EXPECT_FALSE(IsJsonProjectPath("b.json.vkp"));
}
