// velkanc new --language: the new project's texts start from a language template found in the
// Templ folder beside velkanc (the build tree's copy of data/Templ).
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/model/ProjectFile.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardTextFile.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

const std::string kTemplates = VELKAN_SOURCE_DIR "/data/Templ/";

class NewLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir / "src");
        WriteFileText(m_dir / "src" / "app.exe", "MZ");
    }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }

    TempDir m_dir;
};

TEST_F(NewLanguage, TextsStartFromTheChosenTemplate)
{
    struct Case {
        const char* argument;
        const char* file;  // template in data/Templ, or nullptr for the built-in English texts
        const char* next;  // the Next button's caption afterwards
    } cases[] = {
        {"French", "French.txt", "&Suivant >"},
        {"gERMAN", "German.txt", "&Weiter >"},  // any case
        {"Finnish", "Finnish.txt", "&Seuraava >"},
        {"English", nullptr, "&Next >"},
        {"english", nullptr, "&Next >"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        auto r =
            RunVelkanc({"new", "--source", P("src"), "--language", c.argument, "-o", P("p.vkp")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        CDataArray project = LoadProject(P("p.vkp"));
        const CData& version = project.m_versions[0];
        auto expected = CTextCatalogue::DefaultTexts();
        if (c.file) ReadTextsFile(expected, kTemplates + c.file);
        EXPECT_EQ(version.m_texts, expected);
        EXPECT_EQ(version.m_texts[7][1], c.next);
        // The rest of the project is what new makes without a language.
        EXPECT_EQ(version.m_files.size(), 1u);
        EXPECT_EQ(version.m_strTitle, "MyProduct");
    }
}

// texts export then texts import with no edit leaves the project byte for byte as it was, for
// the built-in English texts and every template's.
TEST_F(NewLanguage, AnExportImportedUnchangedChangesNothing)
{
    std::vector<std::string> languages = {"English"};
    for (const auto& item : fs::directory_iterator(kTemplates)) {
        if (item.path().extension() == ".txt") languages.push_back(item.path().stem().string());
    }
    ASSERT_GT(languages.size(), 1u);
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        auto made =
            RunVelkanc({"new", "--source", P("src"), "--language", language, "-o", P("p.vkp")});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        const std::string before = ReadFileText(m_dir / "p.vkp");
        auto exported = RunVelkanc({"texts", "export", P("p.vkp"), P("texts.txt")});
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        auto imported = RunVelkanc({"texts", "import", P("p.vkp"), P("texts.txt")});
        ASSERT_EQ(imported.exitCode, 0) << imported.err;
        EXPECT_TRUE(ReadFileText(m_dir / "p.vkp") == before);
    }
}

TEST_F(NewLanguage, UnknownLanguageIsNamedWithTheAvailableOnes)
{
    auto r = RunVelkanc({"new", "--source", P("src"), "--language", "Klingon", "-o", P("p.vkp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("\"Klingon\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Danish, Dutch, English, Finnish, French, German, Italian, Norwegian, "
                         "Portuguese, Spanish, Swedish"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(P("p.vkp")));

    auto help = RunVelkanc({"new", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--language NAME"), std::string::npos);
}

TEST_F(NewLanguage, WithoutATemplatesFolderEnglishAloneIsOffered)
{
    fs::create_directories(m_dir / "bin");
    fs::copy_file(VELKANC_PATH, m_dir / "bin" / "velkanc");
    const std::string velkanc = P("bin/velkanc");

    auto french = RunVelkancAt(
        velkanc, {"new", "--source", P("src"), "--language", "French", "-o", P("p.vkp")});
    EXPECT_EQ(french.exitCode, 1);
    EXPECT_NE(french.err.find("the languages are: English (templates in " + P("bin/Templ/") + ")"),
              std::string::npos)
        << french.err;

    auto english = RunVelkancAt(
        velkanc, {"new", "--source", P("src"), "--language", "English", "-o", P("p.vkp")});
    ASSERT_EQ(english.exitCode, 0) << english.err;
    EXPECT_EQ(LoadProject(P("p.vkp")).m_versions[0].m_texts, CTextCatalogue::DefaultTexts());
}

}  // namespace
