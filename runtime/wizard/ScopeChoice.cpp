#include "runtime/wizard/ScopeChoice.h"

#include "runtime/WizardDialogs.h"
#include "runtime/wizard/TypedText.h"

namespace velkan::runtime {

namespace {

// The runtime's own texts for the choice (the package has none): short, in the wizard's voice.
const wchar_t* const kAllUsersText = L"For &all users of this computer";
const wchar_t* const kCurrentUserText = L"Only for &me";

// The row, in dialog units: the buttons side by side.
constexpr int kRowHeight = 10;
constexpr int kAllUsersWidth = 136;
constexpr int kCurrentUserLeft = 140;
constexpr int kCurrentUserWidth = 84;

// The top of the row, in the page's pixels: where the second, third or fourth text of the page
// is blank (the second and third are by default), else the lower half of the third text, which
// keeps its first line.
int RowTop(HWND page, int rowHeight)
{
    for (int id : {kIdText3, kIdText2, kIdText4}) {
        HWND text = GetDlgItem(page, id);
        if (!text || !TypedText(text).empty()) continue;
        RECT place;
        GetWindowRect(text, &place);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
        return place.top;
    }
    RECT place;
    HWND third = GetDlgItem(page, kIdText3);
    if (!third) {
        GetClientRect(page, &place);
        return place.bottom - rowHeight;
    }
    GetWindowRect(third, &place);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(third, nullptr, 0, 0, place.right - place.left, (place.bottom - place.top) / 2,
                 SWP_NOMOVE | SWP_NOZORDER);
    return place.bottom - rowHeight;
}

}  // namespace

void ShowScopeChoice(HWND page, bool allUsers)
{
    if (!GetDlgItem(page, kIdAllUsers)) {
        RECT all{0, 0, kAllUsersWidth, kRowHeight};
        RECT mine{kCurrentUserLeft, 0, kCurrentUserLeft + kCurrentUserWidth, kRowHeight};
        MapDialogRect(page, &all);
        MapDialogRect(page, &mine);
        int top = RowTop(page, all.bottom);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
        HINSTANCE instance = GetModuleHandleW(nullptr);
        // The first button opens a group of two: arrows move between them, Tab passes on.
        HWND allButton = CreateWindowExW(0, L"BUTTON", kAllUsersText,
                                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, all.left,
                                         top, all.right - all.left, all.bottom, page,
                                         reinterpret_cast<HMENU>(kIdAllUsers), instance, nullptr);
        HWND mineButton = CreateWindowExW(0, L"BUTTON", kCurrentUserText, WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                                          mine.left, top, mine.right - mine.left, mine.bottom, page,
                                          reinterpret_cast<HMENU>(kIdCurrentUser), instance, nullptr);
        for (HWND button : {allButton, mineButton}) {
            if (button) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        // The group ends at the page's first control, which the templates do not mark as a start.
        HWND first = GetWindow(page, GW_CHILD);
        if (first) SetWindowLongPtrW(first, GWL_STYLE, GetWindowLongPtrW(first, GWL_STYLE) | WS_GROUP);
    }
    CheckRadioButton(page, kIdAllUsers, kIdCurrentUser, allUsers ? kIdAllUsers : kIdCurrentUser);
}

bool ScopeChoiceAllUsers(HWND page)
{
    return IsDlgButtonChecked(page, kIdAllUsers) == BST_CHECKED;
}

}  // namespace velkan::runtime
