// The install wizard's pages, numbered two ways. The catalogue's text pages address a version's
// texts (m_texts[page][text], the version block's text blocks) and are what the editor calls a
// page. The runtime's page codes name the wizard's own pages, in the order it shows them; a test
// program names the page it starts at by one.
#pragma once

#include <cstdint>

namespace velkan {

enum TextPage {
    PagePresentation = 0,
    PageInformation = 1,
    PageDirectory = 2,
    PageConfirmation = 3,
    PageProgress = 4,
    PageEnd = 5,
    PageMessages = 6,       // the application title, message boxes, the folder chooser
    PageButtons = 7,        // button captions
    PageUninstaller = 8,    // the uninstaller's texts, edited on the Uninstaller page
    PageVersionChoice = 9,  // "Choose the version to install"
    PageReserved = 10,      // three reserved slots and an extra button caption
    kTextPageCount = 11,
};

// No page has code 3: a test program naming it starts at the next page shown, as for a page the
// wizard leaves out.
enum class WizardPageCode : uint16_t {
    kPresentation = 0,
    kInformation = 1,
    kVersion = 2,
    kDirectory = 4,
    kConfirmation = 5,
    kProgress = 6,
    kEnd = 7,
};

// The Information page's scrollable text; the wizard leaves the page out when it is blank.
constexpr int kInformationText = 1;
// The End page's lines above its View button and Run check box, shown only with them.
constexpr int kEndViewIntroText = 2;
constexpr int kEndRunIntroText = 3;
// The End page's View button caption (a format given the file's name) and Run check-box caption.
constexpr int kEndViewText = 5;
constexpr int kEndRunText = 6;
// The End page's restart question, and the slot whose non-blank text asks it after every install
// (the slot is never shown).
constexpr int kEndRestartText = 7;
constexpr int kEndForceRestartText = 8;

// A test run that names no particular page (the editor's Test command), and its page code.
constexpr int kNoStartPage = -1;
constexpr uint16_t kNoStartPageCode = 0xFFFF;

// Each wizard page and the text page that holds its texts.
struct WizardPageTexts {
    WizardPageCode page;
    TextPage texts;
};
constexpr WizardPageTexts kWizardPageTexts[] = {
    {WizardPageCode::kPresentation, PagePresentation},
    {WizardPageCode::kInformation, PageInformation},
    {WizardPageCode::kVersion, PageVersionChoice},
    {WizardPageCode::kDirectory, PageDirectory},
    {WizardPageCode::kConfirmation, PageConfirmation},
    {WizardPageCode::kProgress, PageProgress},
    {WizardPageCode::kEnd, PageEnd},
};

// The wizard page showing a text page's texts; the first page for a text page no wizard page
// shows.
constexpr WizardPageCode WizardPageOf(int textPage)
{
    for (const WizardPageTexts& p : kWizardPageTexts) {
        if (p.texts == textPage) return p.page;
    }
    return WizardPageCode::kPresentation;
}

// The text page holding a wizard page's texts.
constexpr TextPage TextPageOf(WizardPageCode page)
{
    for (const WizardPageTexts& p : kWizardPageTexts) {
        if (p.page == page) return p.texts;
    }
    return PagePresentation;
}

}  // namespace velkan
