// The choice between installing for all users of the computer and for the current user only,
// shown on the Directory page when both are open (CInstaller::ScopeIsOpen). The author's texts
// and templates have no place for it, so the page gets two radio buttons of the runtime's own,
// with its own texts, on a row the page leaves free.
#pragma once

#include <windows.h>

namespace velkan::runtime {

// Adds the two buttons to the Directory page (once) and checks the one allUsers names.
void ShowScopeChoice(HWND page, bool allUsers);
// Whether "all users" is the checked one.
bool ScopeChoiceAllUsers(HWND page);

}  // namespace velkan::runtime
