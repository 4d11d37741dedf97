// Paths a project stores (source folders, bitmaps, the auxiliary file, the output) may be relative
// to the folder that holds the project file: they are read from there, never from the current
// directory, so a project checked in beside its tree builds the same from any place it is copied
// to. All paths here are host paths (UTF-8).
#pragma once

#include <string>
#include <string_view>

namespace velkan {

// The absolute folder of a project file, ending with '/'; for an empty path (an untitled
// project) the current directory.
std::string ProjectFolderOf(const std::string& projectPath);

// Whether a stored path names its place by itself: it begins with a separator or a drive letter.
bool IsAbsoluteStoredPath(std::string_view path);

// A stored path as a host path: an absolute one as it is; a relative one (with '/' or '\' between
// its names) joined to the folder. An empty path stays empty; a trailing separator is kept.
std::string ResolveInFolder(const std::string& path, const std::string& folder);

// The path to store for a host path: relative to the folder when it lies inside it ("./" for the
// folder itself), else the path as given. A trailing separator is kept.
std::string RelativeToFolder(const std::string& path, const std::string& folder);

}  // namespace velkan
