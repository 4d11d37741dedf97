#include "core/wizard/LanguageTemplates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/wizard/CTextCatalogue.h"

namespace velkan {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::vector<std::string>>;

class LanguageTemplates : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velkan_templ_" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "Folder.txt");  // a directory is never a template
        Write("French.txt", "*0000*\r\nBienvenue\r\n\r\n*0703*\r\n&D\xE9marrer\r\n\r\n");
        Write("german.TXT", "*0000*\r\nWillkommen\r\n\r\n");
        Write("English.txt", "*0000*\r\nHello there\r\n\r\n");
        Write("Caf\xC3\xA9.txt", "");  // a UTF-8 name: the list shows it in Windows-1252
        Write("Bad\xFF.txt", "");      // not UTF-8: no Windows-1252 name, left out
        Write("readme.md", "");
        Write(".txt", "");  // no title
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::string Folder() const { return (m_dir / "").string(); }

    fs::path m_dir;
};

TEST_F(LanguageTemplates, ListOffersEachTextFileOnceWithEnglishSortedWithoutCase)
{
    EXPECT_EQ(ListTemplateLanguages(Folder()),
              (std::vector<std::string>{"Caf\xE9", "English", "French", "german"}));
    // A second spelling of a language the target file system could not tell apart.
    Write("FRENCH.txt", "");
    EXPECT_EQ(ListTemplateLanguages(Folder()).size(), 4u);
}

TEST_F(LanguageTemplates, MissingFolderOffersEnglishAlone)
{
    EXPECT_EQ(ListTemplateLanguages((m_dir / "nowhere" / "").string()),
              std::vector<std::string>{"English"});
}

TEST_F(LanguageTemplates, ApplyResetsToTheCatalogueThenReadsTheTemplate)
{
    const Texts defaults = CTextCatalogue::DefaultTexts();
    struct Case {
        const char* language;
        bool read;
        const char* welcome;  // page 0, text 0 afterwards
    } cases[] = {
        {"French", true, "Bienvenue"},
        {"FRENCH", true, "Bienvenue"},     // matched without regard to case
        {"German", true, "Willkommen"},    // found although the file says "german.TXT"
        {"English", true, "Hello there"},  // an English file is read like any other
        {"Klingon", false, "Welcome"},     // no template: the built-in texts
        {"Folder", false, "Welcome"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        Texts texts{{"stale"}};
        EXPECT_EQ(ApplyLanguageTemplate(texts, Folder(), c.language), c.read);
        ASSERT_EQ(texts.size(), defaults.size());
        EXPECT_EQ(texts[0][0], c.welcome);
        // Slots the template does not name are the defaults, not what the texts held before.
        EXPECT_EQ(texts[6], defaults[6]);
    }
    Texts texts;
    ApplyLanguageTemplate(texts, Folder(), "French");
    EXPECT_EQ(texts[7][3], "&D\xE9marrer");
}

TEST_F(LanguageTemplates, NewProjectTextsComeFromTheTemplateSlotBySlot)
{
    Write("Partial.txt", "*0000*\r\nHallo\r\n\r\n*9902*\r\nVerwijder %s\r\n\r\n");
    const NewProjectTexts english = DefaultNewProjectTexts();
    Texts texts;
    NewProjectTexts extras;
    ASSERT_TRUE(ApplyLanguageTemplate(texts, Folder(), "Partial", &extras));
    EXPECT_EQ(texts.size(), CTextCatalogue::DefaultTexts().size());
    EXPECT_EQ(texts[0][0], "Hallo");
    EXPECT_EQ(extras.uninstallIcon, "Verwijder %s");
    EXPECT_EQ(extras.viewIntro, english.viewIntro);  // a slot the template lacks stays English
    EXPECT_EQ(extras.runIntro, english.runIntro);
    extras.viewIntro = "stale";
    EXPECT_FALSE(ApplyLanguageTemplate(texts, Folder(), "Klingon", &extras));
    EXPECT_EQ(extras.viewIntro, english.viewIntro);
}

TEST_F(LanguageTemplates, ExactSpellingWinsOverAnotherCase)
{
    Write("french.txt", "*0000*\r\nminuscule\r\n\r\n");
    EXPECT_EQ(FindLanguageTemplate(Folder(), "French"), (m_dir / "French.txt").string());
    EXPECT_EQ(FindLanguageTemplate(Folder(), "french"), (m_dir / "french.txt").string());
    EXPECT_EQ(FindLanguageTemplate(Folder(), "Klingon"), std::nullopt);
}

TEST(LanguageTemplatesFolder, IsTemplBesideTheRunningProgram)
{
    fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(GetTemplatesFolder(), (exe.parent_path() / "Templ" / "").string());
}

}  // namespace
}  // namespace velkan
