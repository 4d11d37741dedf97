// The runtime's own texts follow the language of the package's texts: every template must be
// recognised as its language, from all its texts (the setup program) and from the uninstaller's
// texts alone (the uninstaller has no others), and every runtime text must exist in every
// language with the same "%s" and access key.
#include <gtest/gtest.h>

#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/LanguageTemplates.h"
#include "core/wizard/RuntimeTexts.h"
#include "core/wizard/TextLanguage.h"
#include "core/wizard/WizardPage.h"

namespace velkan {
namespace {

const std::string kFolder = VELKAN_SOURCE_DIR "/data/Templ/";

std::vector<std::string> Flat(const std::vector<std::vector<std::string>>& pages)
{
    std::vector<std::string> all;
    for (const auto& page : pages) all.insert(all.end(), page.begin(), page.end());
    return all;
}

TEST(TextLanguage, EveryTemplateIsRecognisedFromAllItsTextsAndFromTheUninstallersAlone)
{
    for (size_t l = 0; l < kRuntimeLanguageCount; ++l) {
        auto language = static_cast<RuntimeLanguage>(l);
        std::string name = RuntimeLanguageName(language);
        std::vector<std::vector<std::string>> texts;
        bool read = ApplyLanguageTemplate(texts, kFolder, name);
        EXPECT_EQ(read, language != RuntimeLanguage::English) << name;
        EXPECT_EQ(RuntimeLanguageName(DetectTextLanguage(Flat(texts))), name);
        EXPECT_EQ(RuntimeLanguageName(DetectTextLanguage(texts[PageUninstaller])), name);
    }
}

TEST(TextLanguage, TextsOfNoLanguageAreEnglish)
{
    EXPECT_EQ(DetectTextLanguage({}), RuntimeLanguage::English);
    EXPECT_EQ(DetectTextLanguage({"", " ", "#Title 1.0", "%s"}), RuntimeLanguage::English);
    // Upper case and Windows-1252 accents count as the words they are.
    EXPECT_EQ(DetectTextLanguage({"CLIQUEZ SUR SUIVANT POUR CONTINUER"}), RuntimeLanguage::French);
    EXPECT_EQ(DetectTextLanguage({"Klicka p\xE5 N\xE4sta f\xF6r att forts\xE4tta"}),
              RuntimeLanguage::Swedish);
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(RuntimeTexts, EveryTextIsInEveryLanguageWithItsPlaceholderAndAccessKey)
{
    const RuntimeText* all[] = {
        &kTextAllUsers,    &kTextProtectedFolder,      &kTextBadFolderName, &kTextAlreadyRunning,
        &kTextInvalidData, &kTextInvalidUninstallInfo, &kTextNotAllRemoved, &kTextLeftInUse,
        &kTextLeftDenied,  &kTextRemovedAtRestart};
    for (const RuntimeText* text : all) {
        std::string english = InLanguage(*text, RuntimeLanguage::English);
        for (size_t l = 0; l < kRuntimeLanguageCount; ++l) {
            std::string t = InLanguage(*text, static_cast<RuntimeLanguage>(l));
            EXPECT_FALSE(t.empty()) << english;
            EXPECT_EQ(Count(t, "%s"), Count(english, "%s")) << t;
            EXPECT_EQ(Count(t, "&"), Count(english, "&")) << t;
            EXPECT_EQ(Count(t, "%"), Count(english, "%")) << t;
        }
    }
}

}  // namespace
}  // namespace velkan
