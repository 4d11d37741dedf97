// How the uninstaller removes its own file, which Windows keeps while the program runs, without
// ever handing a path to a command shell: a copy of the program in a new private temporary folder
// is started with only two handle numbers on its command line. It reads the paths to remove from
// an inherited pipe (so no one but this process can give it any), waits for this process to end,
// and removes them by API: the uninstaller's file, then the folders given, deepest first, each
// only when empty.
#pragma once

#include <string>
#include <vector>

namespace velkan::runtime {

// Starts the helper for these paths; false when it could not be started.
bool RemoveAfterExit(const std::wstring& file, const std::vector<std::wstring>& emptyFolders);

// In the helper (its command line carries the switch): does its work and returns true; false in
// any other program run.
bool RunRemovalHelperIfAsked();

}  // namespace velkan::runtime
