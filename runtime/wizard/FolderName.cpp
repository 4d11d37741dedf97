#include "runtime/wizard/FolderName.h"

#include "core/platform/WindowsName.h"

namespace velkan::runtime {

bool IsFolderNameWindowsHolds(const std::wstring& path)
{
    size_t at = 0;
    if (path.rfind(L"\\\\?\\", 0) == 0) at = 4;
    if (path.size() >= at + 2 && path[at + 1] == L':') at += 2;
    size_t end = at;
    for (; at <= path.size(); at = end + 1) {
        end = path.find_first_of(L"\\/", at);
        if (end == std::wstring::npos) end = path.size();
        std::wstring name = path.substr(at, end - at);
        if (name.empty() || name == L"." || name == L"..") continue;
        // The rule reads Windows-1252; characters beyond it are letters to Windows, and the
        // Latin-1 range it shares holds every character the rule looks at.
        std::string narrow;
        for (wchar_t c : name) narrow += c < 0x100 ? static_cast<char>(c) : 'x';
        if (!WindowsNameProblem(narrow).empty()) return false;
    }
    return true;
}

}  // namespace velkan::runtime
