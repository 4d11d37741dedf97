#include "core/wizard/MiddleElision.h"

#include <algorithm>

namespace velkan {

namespace {

// The text keeping `kept` characters of path: its start, the elision, its end.
std::wstring Kept(const std::wstring& path, size_t kept)
{
    size_t slash = path.rfind(L'\\');
    size_t name = slash == std::wstring::npos ? path.size() : path.size() - slash;
    size_t tail = std::min(name, kept - kept / 3);
    size_t head = kept - tail;
    return path.substr(0, head) + kElision + path.substr(path.size() - tail);
}

}  // namespace

std::wstring ElideMiddle(const std::wstring& path, int width,
                         const std::function<int(const std::wstring&)>& measure)
{
    if (path.empty() || measure(path) <= width) return path;
    // The most characters that fit: the text's width grows with what it keeps.
    size_t low = 0, high = path.size() - 1;
    while (low < high) {
        size_t mid = (low + high + 1) / 2;
        if (measure(Kept(path, mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return Kept(path, low);
}

}  // namespace velkan
