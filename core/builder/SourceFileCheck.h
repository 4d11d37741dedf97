// What the build accepts from the source tree before it stores a file: a name Windows keeps as
// written (so the setup program cannot fail at the end user's), and a regular file to read (a
// FIFO or a device would hang the build or feed it without end).
#pragma once

#include <string>

namespace velkan {

// Throws CFileException naming hostPath when the entry path (Windows-1252, backslashes) holds a
// name Windows refuses or alters, or when read is set and hostPath exists but is not a regular
// file (links are followed: a link to a device is refused as the device is). A missing file is
// left to the reading that follows.
void CheckSourceFile(const std::string& hostPath, const std::string& entryPath, bool read);

}  // namespace velkan
