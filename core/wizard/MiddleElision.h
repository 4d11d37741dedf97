// A path shortened to fit a one-line place by leaving out its middle: the start of the path and
// the end of the file name stay, so that a person can still tell which folder and which file it
// is (the end of the text is cut instead when a name alone is wider than the place).
#pragma once

#include <functional>
#include <string>

namespace velkan {

// What stands for the characters left out.
inline constexpr wchar_t kElision[] = L"...";

// path as it fits in width, measured by width(text) in the same units (pixels of a font, or
// characters): whole when it fits; else its start, kElision and its end, keeping as many
// characters as fit. The end takes the file name (after the last backslash) first, but never more
// than two thirds of what is kept, so the start of the path shows too.
std::wstring ElideMiddle(const std::wstring& path, int width,
                         const std::function<int(const std::wstring&)>& measure);

}  // namespace velkan
