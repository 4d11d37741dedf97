#include "core/wizard/WizardText.h"

#include "core/platform/CodePage.h"
#include "core/wizard/CTextCatalogue.h"

namespace velkan {

namespace {

constexpr std::string_view kLowerMacro = "#title";
constexpr std::string_view kUpperMacro = "#Title";

// Replaces the first occurrence of the macro again and again until none is left. A replacement
// can only form a new occurrence that overlaps the inserted title, so the search resumes a
// macro's length minus one before it instead of at the start: same result, linear scanning.
void ReplaceAll(std::string& text, std::string_view macro, std::string_view title, bool capitalise)
{
    size_t from = 0;
    for (;;) {
        size_t p = text.find(macro, from);
        if (p == std::string::npos) return;
        text.replace(p, macro.size(), title);
        if (capitalise && p < text.size()) text[p] = ToUpper1252(text[p]);
        from = p >= macro.size() - 1 ? p - (macro.size() - 1) : 0;
    }
}

}  // namespace

std::string ExpandTitle(std::string_view text, std::string_view title)
{
    std::string result(text);
    if (title.find(kLowerMacro) != std::string_view::npos ||
        title.find(kUpperMacro) != std::string_view::npos) {
        return result;
    }
    ReplaceAll(result, kLowerMacro, title, false);
    ReplaceAll(result, kUpperMacro, title, true);
    return result;
}

std::string TextToDisplay(std::string_view text)
{
    std::string display;
    display.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') {
            display += "\\n";
        } else if (c != '\r') {
            display += c;
        }
    }
    return display;
}

std::string DisplayToText(std::string_view display)
{
    std::string text;
    text.reserve(display.size());
    for (size_t i = 0; i < display.size(); ++i) {
        if (display[i] == '\\' && i + 1 < display.size() && display[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += display[i];
        }
    }
    return text;
}

std::string GetDefaultText(int page, int text)
{
    return CTextCatalogue::GetDefaultText(page, text);
}

}  // namespace velkan
