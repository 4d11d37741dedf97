#include "core/builder/SourcePaths.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/model/PathCompare.h"
#include "core/platform/CodePage.h"

namespace velkan {

namespace {

namespace fs = std::filesystem;

// The entry of folder whose name equals name as the target compares names (a file renamed only
// in case keeps its listed spelling, which a case-sensitive host would not find); the smallest
// such name when several differ only in case, so the choice does not hang on listing order.
std::string EntryNoCase(const std::string& folder, const std::string& name)
{
    const std::optional<std::string> wanted = Utf8ToCp1252(name);
    if (!wanted) return {};
    std::string best;
    std::error_code error;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string entry = it->path().filename().string();
        const std::optional<std::string> text = Utf8ToCp1252(entry);
        if (text && EqualsNoCase(*text, *wanted) && (best.empty() || entry < best)) best = entry;
    }
    return best;
}

}  // namespace

std::string SourceDirOf(const CData& version)
{
    std::string dir = Cp1252ToUtf8(version.m_strSourceDir);
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string HostPathIn(const std::string& sourceDir, const CFileItem& item)
{
    std::string relative = item.m_strPath;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::string listed = sourceDir + Cp1252ToUtf8(relative);
    std::error_code error;
    if (fs::exists(fs::symlink_status(listed, error)) || relative.empty()) return listed;
    // Not there as listed: look each part up as the target would, ignoring case.
    std::string path = sourceDir;
    const std::string host = Cp1252ToUtf8(relative);
    for (size_t start = 0; start <= host.size();) {
        size_t end = host.find('/', start);
        if (end == std::string::npos) end = host.size();
        const std::string part = host.substr(start, end - start);
        std::string found = part;
        if (!fs::exists(fs::symlink_status(path + part, error))) {
            found = EntryNoCase(path, part);
            if (found.empty()) return listed;
        }
        path += found;
        if (end < host.size()) path += '/';
        start = end + 1;
    }
    return path;
}

}  // namespace velkan
