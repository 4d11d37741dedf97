#include "core/platform/ProjectFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velkan {

namespace {

bool EndsWithSeparator(std::string_view path)
{
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

}  // namespace

std::string ProjectFolderOf(const std::string& projectPath)
{
    std::error_code ec;
    std::filesystem::path given = projectPath.empty() ? std::filesystem::path("untitled")
                                                      : std::filesystem::path(projectPath);
    std::filesystem::path file = std::filesystem::absolute(given, ec);
    if (ec) file = std::filesystem::path(projectPath);
    return WithSlash(file.lexically_normal().parent_path().string());
}

bool IsAbsoluteStoredPath(std::string_view path)
{
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string ResolveInFolder(const std::string& path, const std::string& folder)
{
    if (path.empty() || IsAbsoluteStoredPath(path)) return path;
    // A project may be written on Windows: its relative paths separate names with '\', which
    // the scan refuses inside a name anyway.
    std::string relative = path;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    std::string joined =
        (std::filesystem::path(WithSlash(folder)) / relative).lexically_normal().string();
    if (EndsWithSeparator(path)) joined = WithSlash(joined);
    return joined;
}

std::string RelativeToFolder(const std::string& path, const std::string& folder)
{
    if (path.empty() || folder.empty()) return path;
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return path;
    std::string normal = absolute.lexically_normal().string();
    std::string base = WithSlash(std::filesystem::path(folder).lexically_normal().string());
    if (WithSlash(normal) == base) return "./";
    if (normal.compare(0, base.size(), base) != 0) return path;
    std::string relative = normal.substr(base.size());
    if (EndsWithSeparator(path)) relative = WithSlash(relative);
    return relative;
}

}  // namespace velkan
