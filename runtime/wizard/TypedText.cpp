#include "runtime/wizard/TypedText.h"

namespace velkan::runtime {

std::wstring TypedText(HWND control)
{
    int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
    const wchar_t* blanks = L" \t\r\n";
    size_t start = text.find_first_not_of(blanks);
    if (start == std::wstring::npos) return std::wstring();
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

}  // namespace velkan::runtime
