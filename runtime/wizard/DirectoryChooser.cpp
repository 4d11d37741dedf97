#include "runtime/wizard/DirectoryChooser.h"

#include "runtime/CPathMacros.h"
#include "runtime/RuntimePaths.h"
#include "runtime/WizardDialogs.h"
#include "runtime/wizard/TypedText.h"

namespace velkan::runtime {

namespace {

struct BrowseState {
    HWND owner = nullptr;
    const DirectoryChooserTexts* texts = nullptr;
    std::wstring folder;  // the folder listed, an existing one
    std::wstring chosen;
};

std::wstring WithSlash(const std::wstring& dir)
{
    return !dir.empty() && dir.back() == L'\\' ? dir : dir + L"\\";
}

// The nearest folder that exists on the way to path, or the first drive's root.
std::wstring ExistingFolder(std::wstring path)
{
    while (path.size() > 3 && !(GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
                                (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY))) {
        path = ParentDir(path);
    }
    if (path.size() >= 2 && path[1] == L':')
        return path.substr(0, 2) + (path.size() > 3 ? path.substr(2) : L"\\");
    return L"C:\\";
}

void FillBrowse(HWND window, const std::wstring& folder)
{
    HWND list = GetDlgItem(window, kIdFolderList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (folder.size() > 3) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L".."));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((WithSlash(folder) + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." &&
                name != L"..") {
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    HWND drives = GetDlgItem(window, kIdDriveCombo);
    SendMessageW(drives, CB_RESETCONTENT, 0, 0);
    wchar_t roots[512] = L"";
    DWORD length = GetLogicalDriveStringsW(511, roots);
    for (const wchar_t* root = roots; length && length < 511 && *root; root += lstrlenW(root) + 1) {
        std::wstring drive(root, 2);
        LRESULT at = SendMessageW(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive.c_str()));
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, drive.c_str(), 2, folder.c_str(),
                           2) == CSTR_EQUAL) {
            SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        }
    }
}

INT_PTR CALLBACK BrowseProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto state = reinterpret_cast<BrowseState*>(lParam);
        const DirectoryChooserTexts& texts = *state->texts;
        SetWindowTextW(window, texts.title.c_str());
        SetDlgItemTextW(window, kIdText1, texts.nameLabel.c_str());
        SetDlgItemTextW(window, kIdText2, texts.drivesLabel.c_str());
        SetDlgItemTextW(window, kIdNext, texts.ok.c_str());
        SetDlgItemTextW(window, kIdCancel, texts.cancel.c_str());
        SetDlgItemTextW(window, kIdDirEdit, state->chosen.c_str());
        FillBrowse(window, state->folder);
        // Over the middle of the wizard.
        RECT owner, own;
        GetWindowRect(state->owner, &owner);
        GetWindowRect(window, &own);
        SetWindowPos(window, nullptr, (owner.left + owner.right - (own.right - own.left)) / 2,
                     (owner.top + owner.bottom - (own.bottom - own.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        return TRUE;
    }
    auto state = reinterpret_cast<BrowseState*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!state || message != WM_COMMAND) return FALSE;
    auto open = [&](const std::wstring& folder) {
        state->folder = folder;
        SetDlgItemTextW(window, kIdDirEdit, folder.c_str());
        FillBrowse(window, folder);
    };
    switch (LOWORD(wParam)) {
    case kIdFolderList: {
        LRESULT at = SendDlgItemMessageW(window, kIdFolderList, LB_GETCURSEL, 0, 0);
        if (at == LB_ERR) return TRUE;
        wchar_t name[MAX_PATH] = L"";
        if (SendDlgItemMessageW(window, kIdFolderList, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0) >=
            MAX_PATH)
            return TRUE;
        SendDlgItemMessageW(window, kIdFolderList, LB_GETTEXT, static_cast<WPARAM>(at),
                            reinterpret_cast<LPARAM>(name));
        std::wstring target = lstrcmpW(name, L"..") == 0
                                  ? ExistingFolder(ParentDir(TrimSlash(state->folder)))
                                  : WithSlash(state->folder) + name;
        if (HIWORD(wParam) == LBN_DBLCLK) {
            open(target);
        } else if (HIWORD(wParam) == LBN_SELCHANGE) {
            SetDlgItemTextW(window, kIdDirEdit, target.c_str());
        }
        return TRUE;
    }
    case kIdDriveCombo:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            wchar_t drive[8] = L"";
            LRESULT at = SendDlgItemMessageW(window, kIdDriveCombo, CB_GETCURSEL, 0, 0);
            if (at != CB_ERR && SendDlgItemMessageW(window, kIdDriveCombo, CB_GETLBTEXTLEN,
                                                    static_cast<WPARAM>(at), 0) < 8) {
                SendDlgItemMessageW(window, kIdDriveCombo, CB_GETLBTEXT, static_cast<WPARAM>(at),
                                    reinterpret_cast<LPARAM>(drive));
                open(std::wstring(drive) + L"\\");
            }
        }
        return TRUE;
    case IDOK:
    case kIdNext:
        state->chosen = TypedText(GetDlgItem(window, kIdDirEdit));
        EndDialog(window, IDOK);
        return TRUE;
    case IDCANCEL:
    case kIdCancel: EndDialog(window, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

std::wstring ChooseDirectory(HWND owner, const void* dialogTemplate,
                             const DirectoryChooserTexts& texts, const std::wstring& proposed)
{
    if (!dialogTemplate) return {};
    BrowseState state;
    state.owner = owner;
    state.texts = &texts;
    state.chosen = proposed;
    state.folder = ExistingFolder(TrimSlash(proposed));
    INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             static_cast<LPCDLGTEMPLATEW>(dialogTemplate), owner,
                                             BrowseProc, reinterpret_cast<LPARAM>(&state));
    return answer == IDOK ? state.chosen : std::wstring();
}

}  // namespace velkan::runtime
