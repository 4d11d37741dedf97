// Folders that are never an installation directory: a drive root, and the folders Windows and
// its users share (Windows, System, Program Files itself, Fonts, the profile folders...). An
// uninstall removes what it made in its installation directory and, with "Additional files to
// remove", more: in one of these folders that would reach far beyond the product.
#pragma once

#include <string>

namespace velkan::runtime {

// Why such a folder is refused (UTF-8).
inline constexpr const char* kProtectedFolderText =
    "refused as installation directory (a drive root or a folder Windows shares)";

// The form folders are compared in: device prefixes (\\?\, \\.\, \\?\UNC\) off, "." and ".."
// resolved, trailing dots and spaces dropped, short names made long (where the path exists).
// Empty when the path cannot be made absolute.
std::wstring CanonicalPath(const std::wstring& path);

// True for a drive root, a share root (\\server\share) or one of the shared folders.
bool IsProtectedFolder(const std::wstring& dir);

}  // namespace velkan::runtime
