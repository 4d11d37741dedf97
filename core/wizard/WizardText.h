// Operations on single wizard texts: the title macro and the one-line display form used by the
// editor lists.
#pragma once

#include <string>
#include <string_view>

namespace velkan {

// Replaces the "#title" macro by the title and "#Title" by the title with its first letter
// upper-cased (the code page's single-byte upper-casing). Only these two exact spellings are
// macros. A title that itself contains either spelling leaves the text unchanged.
std::string ExpandTitle(std::string_view text, std::string_view title);

// One-line form of a text: each line feed becomes backslash + "n", carriage returns are dropped.
std::string TextToDisplay(std::string_view text);
// Inverse of the display form: each backslash + "n" becomes a line feed; nothing else changes.
std::string DisplayToText(std::string_view display);

// The default text of a slot (CTextCatalogue::GetDefaultText); empty outside the catalogue and
// for the reserved slots.
std::string GetDefaultText(int page, int text);

}  // namespace velkan
