// Path helpers of the runtime. Every path that comes from the package is checked here so that
// nothing is written outside its target directory, whatever the package says.
#pragma once

#include <string>

namespace velkan::runtime {

// This program's own path.
std::wstring OwnProgramPath();
// The directory part (without trailing backslash) and the name part of a path.
std::wstring ParentDir(const std::wstring& path);
std::wstring FileName(const std::wstring& path);
// The full form of a path (GetFullPathName).
std::wstring FullPath(const std::wstring& path);
// A drive path ("C:\...") or a UNC path.
bool IsAbsolute(const std::wstring& path);
// A name Windows stores as written (WindowsNameProblem: the one rule of the builder, extract
// and the runtime).
bool IsSafeComponent(const std::wstring& name);
// base\relative, checked to lie inside base after Windows resolves it; throws CPackageException.
std::wstring JoinInside(const std::wstring& base, const std::wstring& relative);
// A name for an icon or shortcut file: reserved characters replaced by '_'.
std::wstring SafeFileName(const std::wstring& name);
// A new folder of our own under the user's temporary folder; throws CInstallError.
std::wstring MakePrivateTempDir();
// Removes a directory with everything in it (best effort).
void RemoveTree(const std::wstring& dir);
// The form of a full path that Windows takes beyond MAX_PATH (\\?\ or \\?\UNC\ before it), for a
// path that long (or always, with always set); other paths unchanged.
std::wstring LongPath(const std::wstring& path, bool always = false);
// Whether dir is a folder holding nothing.
bool IsEmptyFolder(const std::wstring& dir);
// Where Windows puts an INI file of this name (a bare name lies in the Windows directory).
std::wstring IniPath(const std::wstring& file);
// The uninstaller's path without its extension: its data block and install log sit beside it
// as BASE.dat and BASE.log.
std::wstring UninstallDataBase(const std::wstring& uninstaller);

}  // namespace velkan::runtime
