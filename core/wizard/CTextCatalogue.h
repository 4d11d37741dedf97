// The catalogue of wizard texts: the 11 pages of the install wizard, the text slots of each page
// in order, and each slot's default text and usage note (both from the string table).
#pragma once

#include <string>
#include <vector>

#include "core/wizard/WizardPage.h"

namespace velkan {

class CTextCatalogue {
public:
    // Number of text slots of a page; 0 for a page outside 0..10.
    static int TextCount(int page);
    // Default text of a slot; empty for a reserved slot or a slot outside the catalogue.
    static std::string GetDefaultText(int page, int text);
    // Every page's default texts, in catalogue shape: what a version's texts start as.
    static std::vector<std::vector<std::string>> DefaultTexts();
    // Usage note of a slot; empty for a reserved slot or a slot outside the catalogue.
    static std::string GetUsage(int page, int text);
    // String id of the page's name in the Wizard Texts page list; 0 for the unlisted pages 8, 10.
    static int PageNameId(int page);
    // The page's name from the string table; empty for the unlisted pages and outside 0..10.
    static std::string GetPageName(int page);

    // The names of a page and of a slot in a project as text ("end", "viewButton"); empty
    // outside the catalogue.
    static const char* PageKey(int page);
    static const char* SlotKey(int page, int text);

    // String ids behind a slot; 0 for a reserved slot (no text, no note) or outside the catalogue.
    static int DefaultTextId(int page, int text);
    static int UsageId(int page, int text);
};

}  // namespace velkan
