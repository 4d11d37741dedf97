// Language templates: wizard text files, one per language and named after it ("French.txt"), kept
// in the folder "Templ" beside the program. The new-project wizard and `velkanc new --language`
// offer them; choosing one starts a version's texts from that language instead of the built-in
// English texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velkan {

// The templates folder: "Templ" in the folder of the running executable, as a host path with a
// trailing separator. Relative to the current directory when the executable cannot be found.
std::string GetTemplatesFolder();

// The languages a new project can start from: the titles (file names without ".txt", any case)
// of the folder's text files, and "English", whose texts are built in, once even when the folder
// holds an English file. Windows-1252 names, sorted without regard to case; a missing or
// unreadable folder offers English alone. Names the code page cannot hold are left out.
std::vector<std::string> ListTemplateLanguages(const std::string& folder);

// Host path of the template of language (Windows-1252) in folder, the title matched without
// regard to case, as the target's file system does; nullopt when the folder has none.
std::optional<std::string> FindLanguageTemplate(const std::string& folder,
                                                const std::string& language);

// Texts the new-project wizard writes into a project besides the wizard texts: the End page's
// lines above the View button and the launch box (set only when the author chose such a file),
// and the name of the uninstaller's icon ("%s" stands for the product title). A template holds
// them under the markers of page kNewProjectTextsPage, a page the wizard texts do not have, so
// that readers of the wizard texts skip them.
struct NewProjectTexts {
    std::string viewIntro;
    std::string runIntro;
    std::string uninstallIcon;
};
constexpr size_t kNewProjectTextsPage = 99;
// The built-in English ones.
NewProjectTexts DefaultNewProjectTexts();

// Resets texts to the catalogue's defaults, then reads the language's template over them when
// there is one that can be opened. Returns whether a template was read. A template that fails
// part-way throws CFileException and leaves the defaults. When extras is given it gets the
// template's new-project texts, the English ones for each the template lacks.
bool ApplyLanguageTemplate(std::vector<std::vector<std::string>>& texts, const std::string& folder,
                           const std::string& language, NewProjectTexts* extras = nullptr);

}  // namespace velkan
