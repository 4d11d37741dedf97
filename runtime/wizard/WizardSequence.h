// Which pages the install wizard shows, in which order, and where Back, Next and Cancel lead.
// Portable code: the Windows wizard follows it, and the native tests check it without Windows.
//
// Pages carry the runtime's page codes, the numbers a test program names its start page by.
// The Information page is left out when its text is blank, the version choice when the package
// holds one version. In a real run there is no way back once files are being written: Progress
// and End have no Back. In a test program nothing is written, so every page is reachable both ways.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/wizard/WizardPage.h"

namespace velkan::runtime {

using WizardPage = WizardPageCode;

struct WizardFacts {
    size_t versionCount = 1;
    bool informationBlank = false;  // the Information page's text holds nothing to read
    bool directoryReadOnly = false;
    bool testMode = false;
};

// A text slot of the version's wizard texts: (page, text number).
struct TextSlot {
    int page = 0;
    int text = 0;
};

// Where a button of a page leads and what it says.
struct ButtonState {
    bool enabled = true;
    bool visible = true;
    TextSlot caption;
};

class CWizardSequence {
public:
    explicit CWizardSequence(const WizardFacts& facts);

    // The pages shown, in order.
    const std::vector<WizardPage>& Pages() const { return m_pages; }
    bool Shows(WizardPage page) const;
    // The page a test program starts at: the one its code names, or the next page shown after
    // it when that one is left out; an unknown code and 0xFFFF give the first page.
    WizardPage StartPage(uint16_t pageCode) const;
    std::optional<WizardPage> Next(WizardPage page) const;
    std::optional<WizardPage> Back(WizardPage page) const;
    bool DirectoryEditable() const { return !m_facts.directoryReadOnly; }

    // The buttons of a page. Next on the Information page may carry the author's own caption
    // (an "I agree" for a licence): nextOverride says the page's slot for it is not blank.
    ButtonState BackButton(WizardPage page) const;
    ButtonState NextButton(WizardPage page, bool informationNextOverride) const;
    ButtonState CancelButton(WizardPage page) const;
    // Whether Cancel asks before it ends the wizard, and with which text.
    std::optional<TextSlot> CancelQuestion(WizardPage page) const;

private:
    WizardFacts m_facts;
    std::vector<WizardPage> m_pages;
};

// Whether a text holds nothing but spaces and line breaks (the catalogue's " " means "none").
bool IsBlankText(const std::string& text);

}  // namespace velkan::runtime
