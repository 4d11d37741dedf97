// Folders that are never an installation directory: a drive root, and the folders Windows and
// its users share (Windows, System, Program Files itself, Fonts, the profile folders...). An
// uninstall removes what it made in its installation directory and, with "Additional files to
// remove", more: in one of these folders that would reach far beyond the product.
#pragma once

#include <string>

#include "core/wizard/RuntimeTexts.h"

namespace velkan::runtime {

// Why such a folder is refused (UTF-8; the wizard says it in the language of its texts).
inline const char* const kProtectedFolderText = kTextProtectedFolder[0];

// The form folders are compared in: device prefixes (\\?\, \\.\, \\?\UNC\) off, "." and ".."
// resolved, trailing dots and spaces dropped, short names made long (where the path exists).
// Empty when the path cannot be made absolute.
std::wstring CanonicalPath(const std::wstring& path);

// True for a drive root, a share root (\\server\share) or one of the shared folders.
bool IsProtectedFolder(const std::wstring& dir);

}  // namespace velkan::runtime
