// Which language a package's texts are written in, so that the install runtime speaks it too.
// The package carries the author's texts but no language, and every reader of the format must go
// on reading it: so the runtime tells the language from the texts themselves, by counting words
// that are frequent in installer texts of one language and rare in the others. The author's own
// wording is recognised as well as a template's; texts that match no language are English.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/wizard/RuntimeTexts.h"

namespace velkan {

// The language of Windows-1252 texts, given one after another (a version's wizard texts, or the
// uninstaller's).
class CLanguageScore {
public:
    void Add(const std::string& text);
    // The language with the most words; English on a tie and for texts of no language.
    RuntimeLanguage Best() const;

private:
    std::array<int, kRuntimeLanguageCount> m_score{};
};

RuntimeLanguage DetectTextLanguage(const std::vector<std::string>& texts);

}  // namespace velkan
