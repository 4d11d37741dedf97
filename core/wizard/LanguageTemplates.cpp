#include "core/wizard/LanguageTemplates.h"

#include <algorithm>
#include <filesystem>

#include "core/platform/CodePage.h"
#include "core/platform/DirectoryListing.h"
#include "core/platform/ExecutablePath.h"
#include "core/res/StringTable.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardTextFile.h"

namespace velkan {

namespace {

constexpr int kEnglishId = 1107;
constexpr char kFolderName[] = "Templ";
constexpr char kExtension[] = ".txt";

struct TemplateFile {
    std::string language;  // Windows-1252 title
    std::string fileName;  // host file name
};

// The folder's "*.txt" files that are not directories, in listing order.
std::vector<TemplateFile> ListTemplateFiles(const std::string& folder)
{
    std::vector<CDirEntry> entries;
    try {
        entries = ListDirectory(folder);
    } catch (const CFileException&) {
        return {};
    }
    const size_t extLength = sizeof kExtension - 1;
    std::vector<TemplateFile> files;
    for (const CDirEntry& e : entries) {
        if (e.isDirectory || e.name.size() <= extLength) continue;
        std::string_view ext(e.name.data() + e.name.size() - extLength, extLength);
        if (!EqualNoCase1252(ext, kExtension)) continue;
        auto title = Utf8ToCp1252(std::string_view(e.name).substr(0, e.name.size() - extLength));
        if (!title) continue;
        files.push_back({*title, e.name});
    }
    return files;
}

std::string JoinHost(const std::string& folder, const std::string& name)
{
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::string GetTemplatesFolder()
{
    std::filesystem::path exe = GetExecutablePath();
    std::filesystem::path folder =
        exe.empty() ? std::filesystem::path(kFolderName) : exe.parent_path() / kFolderName;
    return (folder / "").string();
}

std::vector<std::string> ListTemplateLanguages(const std::string& folder)
{
    const std::string english = LoadString(kEnglishId);
    std::vector<std::string> languages{english};
    for (const TemplateFile& f : ListTemplateFiles(folder)) {
        // One entry per name: the target's file system could not hold two that differ in case.
        bool known = std::any_of(languages.begin(), languages.end(), [&](const std::string& l) {
            return EqualNoCase1252(l, f.language);
        });
        if (!known) languages.push_back(f.language);
    }
    std::stable_sort(
        languages.begin(), languages.end(),
        [](const std::string& a, const std::string& b) { return ToLower1252(a) < ToLower1252(b); });
    return languages;
}

std::optional<std::string> FindLanguageTemplate(const std::string& folder,
                                                const std::string& language)
{
    std::optional<std::string> found;
    for (const TemplateFile& f : ListTemplateFiles(folder)) {
        if (f.language == language) return JoinHost(folder, f.fileName);
        if (!found && EqualNoCase1252(f.language, language)) found = JoinHost(folder, f.fileName);
    }
    return found;
}

NewProjectTexts DefaultNewProjectTexts()
{
    return {LoadString(1166), LoadString(1167), LoadString(1150)};
}

bool ApplyLanguageTemplate(std::vector<std::vector<std::string>>& texts, const std::string& folder,
                           const std::string& language, NewProjectTexts* extras)
{
    texts = CTextCatalogue::DefaultTexts();
    if (extras) *extras = DefaultNewProjectTexts();
    std::optional<std::string> path = FindLanguageTemplate(folder, language);
    if (!path) return false;
    std::optional<CFile> file;
    try {
        file.emplace(*path, CFile::Mode::Read);
    } catch (const CFileException&) {
        return false;  // as a missing template: the built-in texts stay
    }
    // One read for both: the wizard texts, then the new-project texts' page after them.
    std::vector<std::vector<std::string>> all = texts;
    all.resize(kNewProjectTextsPage + 1);
    NewProjectTexts defaults = DefaultNewProjectTexts();
    all[kNewProjectTextsPage] = {defaults.viewIntro, defaults.runIntro, defaults.uninstallIcon};
    ReadTextsFile(all, *file);
    std::vector<std::string> extra = all[kNewProjectTextsPage];
    all.resize(texts.size());
    texts.swap(all);
    if (extras) *extras = {extra[0], extra[1], extra[2]};
    return true;
}

}  // namespace velkan
