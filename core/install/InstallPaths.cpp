#include "core/install/InstallPaths.h"

#include <vector>

#include "core/install/WideText.h"

namespace velkan::install {

bool IsInside(std::wstring_view path, std::wstring_view dir)
{
    while (!dir.empty() && dir.back() == L'\\') dir.remove_suffix(1);
    if (path.size() < dir.size() || !SameName(path.substr(0, dir.size()), dir)) return false;
    return path.size() == dir.size() || path[dir.size()] == L'\\';
}

bool MatchesExtra(std::wstring_view name, std::wstring_view pattern)
{
    if (pattern == L"*") return true;
    return pattern.size() > 1 && pattern[0] == L'.' && name.size() > pattern.size() &&
           SameName(name.substr(name.size() - pattern.size()), pattern);
}

std::wstring PlainPath(std::wstring_view path)
{
    std::wstring text(path);
    for (wchar_t& c : text) {
        if (c == L'/') c = L'\\';
    }
    std::wstring root;
    std::wstring_view rest;
    auto starts = [&](std::wstring_view prefix) {
        return text.size() >= prefix.size() &&
               SameName(std::wstring_view(text).substr(0, prefix.size()), prefix);
    };
    if (starts(L"\\\\?\\UNC\\")) {
        text = L"\\\\" + text.substr(8);
    } else if (starts(L"\\\\?\\") || starts(L"\\\\.\\")) {
        text = text.substr(4);
    }
    std::wstring_view view(text);
    if (view.size() >= 2 && view[1] == L':' &&
        ((view[0] >= L'A' && view[0] <= L'Z') || (view[0] >= L'a' && view[0] <= L'z'))) {
        if (view.size() > 2 && view[2] != L'\\') return {};  // relative to a drive's current folder
        root = std::wstring(1, static_cast<wchar_t>(UpperUnit(view[0]))) + L":";
        rest = view.substr(2);
    } else if (view.size() > 2 && view[0] == L'\\' && view[1] == L'\\') {
        // \\server\share is the root of a network path.
        size_t server = view.find(L'\\', 2);
        if (server == std::wstring_view::npos || server == 2) return {};
        size_t share = view.find(L'\\', server + 1);
        if (share == server + 1) return {};
        root = std::wstring(view.substr(0, share));
        rest = share == std::wstring_view::npos ? std::wstring_view() : view.substr(share);
    } else {
        return {};
    }
    std::vector<std::wstring> names;
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find(L'\\', pos);
        if (end == std::wstring_view::npos) end = rest.size();
        std::wstring name(rest.substr(pos, end - pos));
        pos = end + 1;
        if (name == L"..") {
            if (names.empty()) return {};
            names.pop_back();
            continue;
        }
        if (name == L".") continue;
        while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
        if (!name.empty()) names.push_back(name);
    }
    std::wstring out = root;
    for (const std::wstring& name : names) out += L"\\" + name;
    if (names.empty() && root.size() == 2) out += L"\\";
    return out;
}

}  // namespace velkan::install
