// Temporary files and folders that must not outlive an interrupted program (Ctrl-C, a kill): a
// small fixed table the signal handler can walk without allocating. Writers register what they
// create and unregister it once removed or renamed into place.
#pragma once

#include <csignal>
#include <string>

namespace velkan {

// The signals that stop a program as Ctrl-C does: Ctrl-C, a kill or a CI timeout, a closed
// terminal.
inline constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

// On any of kInterruptSignals: removes the registered paths, writes message (one line, kept by
// the caller for the program's life; may be null) to stderr and ends the program with exitCode.
void InstallInterruptCleanup(int exitCode, const char* message = nullptr);

// A path to remove (a file, or an empty folder when folder is set) if the program is
// interrupted; returns a handle for UnregisterTempPath, or -1 when the table is full (the path
// then goes unguarded).
int RegisterTempPath(const std::string& path, bool folder);
void UnregisterTempPath(int handle);

}  // namespace velkan
