#include "runtime/wizard/WizardSequence.h"

#include <algorithm>

namespace velkan::runtime {

namespace {

// The button captions and the questions Cancel asks.
constexpr TextSlot kBackText{PageButtons, 0}, kNextText{PageButtons, 1}, kExitText{PageButtons, 2},
    kStartText{PageButtons, 3}, kOkText{PageButtons, 4}, kCancelText{PageButtons, 5};
constexpr TextSlot kInformationNextText{PageInformation, 2};
constexpr TextSlot kAskWhileInstalling{PageMessages, 13}, kAskBeforeInstalling{PageMessages, 14};

}  // namespace

bool IsBlankText(const std::string& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

CWizardSequence::CWizardSequence(const WizardFacts& facts) : m_facts(facts)
{
    m_pages.push_back(WizardPage::kPresentation);
    if (!facts.informationBlank) m_pages.push_back(WizardPage::kInformation);
    if (facts.versionCount > 1) m_pages.push_back(WizardPage::kVersion);
    m_pages.push_back(WizardPage::kDirectory);
    m_pages.push_back(WizardPage::kConfirmation);
    m_pages.push_back(WizardPage::kProgress);
    m_pages.push_back(WizardPage::kEnd);
}

bool CWizardSequence::Shows(WizardPage page) const
{
    return std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end();
}

WizardPage CWizardSequence::StartPage(uint16_t pageCode) const
{
    // A code between two pages (3, or a page left out) starts at the next page shown; a code past
    // the last page (0xFFFF among them) matches none and gives the first.
    for (WizardPage page : m_pages) {
        if (static_cast<uint16_t>(page) >= pageCode) return page;
    }
    return m_pages.front();
}

std::optional<WizardPage> CWizardSequence::Next(WizardPage page) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    if (it == m_pages.end() || it + 1 == m_pages.end()) return std::nullopt;
    return *(it + 1);
}

std::optional<WizardPage> CWizardSequence::Back(WizardPage page) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    if (it == m_pages.end() || it == m_pages.begin()) return std::nullopt;
    if (!m_facts.testMode && (page == WizardPage::kProgress || page == WizardPage::kEnd))
        return std::nullopt;
    return *(it - 1);
}

ButtonState CWizardSequence::BackButton(WizardPage page) const
{
    ButtonState state;
    state.caption = kBackText;
    state.enabled = Back(page).has_value();
    state.visible = m_facts.testMode || page != WizardPage::kEnd;
    return state;
}

ButtonState CWizardSequence::NextButton(WizardPage page, bool informationNextOverride) const
{
    ButtonState state;
    state.caption = kNextText;
    switch (page) {
    case WizardPage::kInformation:
        if (informationNextOverride) state.caption = kInformationNextText;
        break;
    case WizardPage::kConfirmation: state.caption = kStartText; break;
    case WizardPage::kProgress:
        // The run moves on by itself when the files are in place.
        state.enabled = m_facts.testMode;
        break;
    case WizardPage::kEnd: state.caption = kOkText; break;
    default: break;
    }
    return state;
}

ButtonState CWizardSequence::CancelButton(WizardPage page) const
{
    ButtonState state;
    state.caption = page == WizardPage::kProgress ? kCancelText : kExitText;
    state.visible = page != WizardPage::kEnd;
    state.enabled = state.visible;
    return state;
}

std::optional<TextSlot> CWizardSequence::CancelQuestion(WizardPage page) const
{
    if (page == WizardPage::kEnd) return std::nullopt;
    return page == WizardPage::kProgress ? kAskWhileInstalling : kAskBeforeInstalling;
}

}  // namespace velkan::runtime
