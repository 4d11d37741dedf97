// Whether Windows can hold every folder name of a typed installation directory, so that the
// Directory page refuses "C:\bad<name" or "C:\Apps\CON" at once, with the reason, before it offers
// to create the folder.
#pragma once

#include <string>

namespace velkan::runtime {

// path: a full path as typed ("C:\...", "\\server\share\...", "\\?\C:\..."); "." and ".."
// components are steps, not names, and pass.
bool IsFolderNameWindowsHolds(const std::wstring& path);

}  // namespace velkan::runtime
