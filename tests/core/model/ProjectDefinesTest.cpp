#include "core/model/ProjectDefines.h"

#include <functional>

#include <gtest/gtest.h>

#include "core/model/ProjectFile.h"

using namespace velkan;

TEST(ProjectDefines, NamesAreReplacedAndDoubleDollarIsLiteral)
{
    const Defines defines = {{"V", "2.1"}, {"app.name", "Ed"}, {"EMPTY", ""}};
    struct Case {
        const char* text;
        const char* result;  // null: refused with error
        const char* error;
    } cases[] = {
        {"plain $ and { and }", "plain $ and { and }", nullptr},
        {"v${V}", "v2.1", nullptr},
        {"${app.name} ${V}${V}", "Ed 2.12.1", nullptr},
        {"[${EMPTY}]", "[]", nullptr},
        {"$${V}", "${V}", nullptr},
        {"$$${V}", "$${V}", nullptr},
        {"${NOPE}", nullptr, "where: ${NOPE} is used but not defined"},
        {"${V", nullptr, "where: a ${ that is never closed"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> used;
        if (c.result) {
            EXPECT_EQ(ExpandDefinesIn(c.text, defines, used, "where"), c.result) << c.text;
        } else {
            try {
                ExpandDefinesIn(c.text, defines, used, "where");
                ADD_FAILURE() << c.text;
            } catch (const CDefineError& e) {
                EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
            }
        }
    }
    EXPECT_TRUE(IsDefineName("A_b.c-1"));
    EXPECT_FALSE(IsDefineName("1A"));
    EXPECT_FALSE(IsDefineName(""));
    EXPECT_FALSE(IsDefineName("A B"));
}

TEST(ProjectDefines, EveryStringOfTheProjectIsFilledAndUsesAreNamed)
{
    CDataArray p = NewProject();
    p.m_strOutputPath = "out/${V}.exe";
    p.m_versions[0].m_files.push_back(CFileItem("a.txt"));
    p.m_versions[0].m_regEntries.push_back({1, "Software\\${CO}", "Version", "${V}", 0});
    const CDataArray before = p;
    auto used = ExpandDefines(p, {{"V", "3"}, {"CO", "Me"}, {"UNUSED", "x"}});
    EXPECT_EQ(used, (std::vector<std::pair<std::string, std::string>>{{"CO", "Me"}, {"V", "3"}}));
    EXPECT_EQ(p.m_strOutputPath, "out/3.exe");
    EXPECT_EQ(p.m_versions[0].m_regEntries[0].m_strKey, "Software\\Me");
    EXPECT_EQ(p.m_versions[0].m_regEntries[0].m_strValue, "3");

    CDataArray q = before;
    try {
        ExpandDefines(q, {{"V", "3"}});
        ADD_FAILURE();
    } catch (const CDefineError& e) {
        EXPECT_NE(std::string(e.what()).find("versions[0].registry[0].key: ${CO} is used but not "
                                             "defined"),
                  std::string::npos)
            << e.what();
    }
    // Without ${ the project is left exactly as it was.
    CDataArray plain = NewProject();
    plain.m_versions[0].m_files.push_back(CFileItem("odd/name"));
    EXPECT_TRUE(ExpandDefines(plain, {}).empty());
    EXPECT_EQ(plain.m_versions[0].m_files[0].m_strPath, "odd/name");
}

// Projects without ${ skip the expansion after a look at their stored bytes: a define in any kind
// of field (a font, a wizard text, a file's fields, the last version's) must still be seen.
TEST(ProjectDefines, ADefineInAnyKindOfFieldIsFilled)
{
    struct Case {
        const char* what;
        std::function<std::string&(CDataArray&)> field;
    };
    const Case cases[] = {
        {"background title", [](CDataArray& p) -> std::string& { return p.m_strBackTitle; }},
        {"wizard text",
         [](CDataArray& p) -> std::string& { return p.m_versions[0].m_texts[0][0]; }},
        {"file menu name",
         [](CDataArray& p) -> std::string& { return p.m_versions[1].m_files[0].m_strMenuName; }},
        {"file path",
         [](CDataArray& p) -> std::string& { return p.m_versions[1].m_files[0].m_strPath; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDataArray p = NewProject();
        p.m_versions.push_back(p.m_versions[0]);
        p.m_versions[1].m_files.push_back(CFileItem("a.txt"));
        c.field(p) = "x${V}";
        EXPECT_EQ(ExpandDefines(p, {{"V", "7"}}).size(), 1u);
        EXPECT_EQ(c.field(p), "x7");
    }
    CDataArray font = NewProject();
    font.m_lfTitleFont.SetFaceName("${FACE}");
    ExpandDefines(font, {{"FACE", "Arial"}});
    EXPECT_EQ(font.m_lfTitleFont.FaceName(), "Arial");
}
