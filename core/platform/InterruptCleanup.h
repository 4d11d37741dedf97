// Temporary files and folders that must not outlive an interrupted program (Ctrl-C, a kill): a
// small fixed table the signal handler can walk without allocating. Writers register what they
// create and unregister it once removed or renamed into place.
#pragma once

#include <string>

namespace velkan {

// Removes the registered paths and ends the program with exitCode on SIGINT and SIGTERM.
void InstallInterruptCleanup(int exitCode);

// A path to remove (a file, or an empty folder when folder is set) if the program is
// interrupted; returns a handle for UnregisterTempPath, or -1 when the table is full (the path
// then goes unguarded).
int RegisterTempPath(const std::string& path, bool folder);
void UnregisterTempPath(int handle);

}  // namespace velkan
