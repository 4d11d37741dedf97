// The language templates shipped in data/Templ, each checked slot by slot against the built-in
// English texts: a translation must keep what the install program relies on (printf conversions,
// the title macro, access keys, line breaks, the single-space "nothing to show" texts) and must be
// exactly what the editor's export writes, so that nothing is lost when it is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/platform/CodePage.h"
#include "core/stream/CMemorySource.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/LanguageTemplates.h"
#include "core/wizard/WizardTextFile.h"

namespace velkan {
namespace {

using Texts = std::vector<std::vector<std::string>>;

const std::string kFolder = VELKAN_SOURCE_DIR "/data/Templ/";

const char* const kLanguages[] = {"Danish",  "Dutch",     "Finnish",    "French",  "German",
                                  "Italian", "Norwegian", "Portuguese", "Spanish", "Swedish"};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The printf conversions in order ("%s", "%d", "%%"): the install program formats the text with
// its arguments, so a lost, added or reordered conversion is a crash or a wrong message.
std::vector<std::string> Conversions(const std::string& text)
{
    static const std::regex conversion(R"(%[-+ #0]*[0-9]*(\.[0-9]+)?[A-Za-z%])");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), conversion), end; it != end; ++it) {
        found.push_back(it->str());
    }
    return found;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

// Title macros in either spelling: a translation may move the title to or from the start of a
// sentence, which changes "#Title" into "#title" and back.
size_t TitleMacros(const std::string& text)
{
    return Count(text, "#title") + Count(text, "#Title");
}

// Access keys: a single '&' marks the next character; "&&" is a literal ampersand.
size_t AccessKeys(const std::string& text)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
        } else {
            ++n;
        }
    }
    return n;
}

TEST(LanguageTemplateFiles, TheFolderOffersEveryLanguageAndEnglish)
{
    std::vector<std::string> expected(std::begin(kLanguages), std::end(kLanguages));
    expected.insert(expected.begin() + 2, "English");
    EXPECT_EQ(ListTemplateLanguages(kFolder), expected);
}

class LanguageTemplateFile : public ::testing::TestWithParam<const char*> {};

TEST_P(LanguageTemplateFile, EveryByteIsAWindows1252CharacterOnCrLfLines)
{
    const std::string bytes = ReadBytes(kFolder + GetParam() + ".txt");
    ASSERT_FALSE(bytes.empty());
    size_t line = 1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR on line " << line;
            continue;
        }
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "LF without CR on line " << line;
            ++line;
            continue;
        }
        ASSERT_GE(c, 0x20) << "control character on line " << line;
        ASSERT_NE(c, 0x7F) << "control character on line " << line;
        // The five bytes the code page leaves undefined come back as C1 controls.
        char32_t cp = Cp1252ToCodePoint(c);
        ASSERT_FALSE(cp >= 0x80 && cp <= 0x9F)
            << "byte 0x" << std::hex << int(c) << " is not a Windows-1252 character, line "
            << std::dec << line;
    }
}

TEST_P(LanguageTemplateFile, IsExactlyWhatTheExportWritesForEverySlot)
{
    const std::string bytes = ReadBytes(kFolder + GetParam() + ".txt");
    // A slot the file does not name keeps this and fails below.
    Texts texts = CTextCatalogue::DefaultTexts();
    for (auto& page : texts) {
        for (auto& text : page) text = "\x01missing";
    }
    // The new-project wizard's texts follow on a page of their own.
    texts.resize(kNewProjectTextsPage + 1);
    texts[kNewProjectTextsPage].assign(3, "\x01missing");
    CMemorySource source(bytes.data(), bytes.size());
    ReadTextsFile(texts, source);
    for (size_t page = 0; page < texts.size(); ++page) {
        for (size_t text = 0; text < texts[page].size(); ++text) {
            EXPECT_NE(texts[page][text], "\x01missing") << "slot " << page << "/" << text;
        }
    }
    // Same bytes back: every marker in catalogue order, each text followed by one empty line.
    const std::string exported = FormatTextsFile(texts);
    auto diff = std::mismatch(bytes.begin(), bytes.end(), exported.begin(), exported.end());
    if (diff.first != bytes.end() || diff.second != exported.end()) {
        size_t at = static_cast<size_t>(diff.first - bytes.begin());
        size_t lineStart = bytes.rfind('\n', at == 0 ? 0 : at - 1);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        ADD_FAILURE() << "differs from the export form at line "
                      << std::count(bytes.begin(), bytes.begin() + lineStart, '\n') + 1 << ": "
                      << Cp1252ToUtf8(bytes.substr(lineStart, 60));
    }
}

TEST_P(LanguageTemplateFile, KeepsTheMacrosPlaceholdersAndLayoutOfEverySlot)
{
    Texts texts;
    ASSERT_TRUE(ApplyLanguageTemplate(texts, kFolder, GetParam()));
    const Texts english = CTextCatalogue::DefaultTexts();
    ASSERT_EQ(texts.size(), english.size());
    size_t untranslated = 0;
    for (size_t page = 0; page < english.size(); ++page) {
        ASSERT_EQ(texts[page].size(), english[page].size());
        for (size_t text = 0; text < english[page].size(); ++text) {
            const std::string& en = english[page][text];
            const std::string& tr = texts[page][text];
            SCOPED_TRACE("slot " + std::to_string(page) + "/" + std::to_string(text) + ": " +
                         Cp1252ToUtf8(tr));
            EXPECT_EQ(Conversions(tr), Conversions(en));
            EXPECT_EQ(TitleMacros(tr), TitleMacros(en));
            // Any other number sign would be a misspelt macro ("#TITLE", "#titre").
            EXPECT_EQ(Count(tr, "#"), Count(en, "#"));
            EXPECT_EQ(AccessKeys(tr), AccessKeys(en));
            EXPECT_EQ(Count(tr, "\n"), Count(en, "\n"));
            EXPECT_EQ(Count(tr, "\r"), 0u);
            if (en == " " || en.empty()) {
                // " " means "not shown" (and a non-empty restart flag would force a restart).
                EXPECT_EQ(tr, en);
            } else {
                EXPECT_NE(tr.find_first_not_of(" \n"), std::string::npos);
                EXPECT_EQ(tr.front() == ' ' || tr.back() == ' ', false) << "stray blank";
                if (tr == en) ++untranslated;
            }
        }
    }
    // A few words are the same in English ("OK", "Information", "&Start"); a copy is not.
    EXPECT_LE(untranslated, 5u);
}

TEST_P(LanguageTemplateFile, TranslatesWhatTheNewProjectWizardWrites)
{
    Texts texts;
    NewProjectTexts translated;
    ASSERT_TRUE(ApplyLanguageTemplate(texts, kFolder, GetParam(), &translated));
    const NewProjectTexts english = DefaultNewProjectTexts();
    const std::pair<std::string, std::string> pairs[] = {
        {translated.viewIntro, english.viewIntro},
        {translated.runIntro, english.runIntro},
        {translated.uninstallIcon, english.uninstallIcon}};
    for (const auto& [tr, en] : pairs) {
        SCOPED_TRACE(Cp1252ToUtf8(tr));
        EXPECT_NE(tr, en);
        EXPECT_EQ(Conversions(tr), Conversions(en));
        EXPECT_EQ(TitleMacros(tr), TitleMacros(en));
        EXPECT_EQ(Count(tr, "#"), Count(en, "#"));
        EXPECT_EQ(Count(tr, "\n"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageTemplateFile, ::testing::ValuesIn(kLanguages),
                         [](const auto& paramInfo) { return std::string(paramInfo.param); });

}  // namespace
}  // namespace velkan
