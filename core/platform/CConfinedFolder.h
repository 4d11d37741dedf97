// A folder that files are written into from untrusted names (extraction of a setup program): the
// confinement is enforced by the file system, not by the text of the path. Every component is
// opened relative to its parent without following links, so a link already in the folder (to a
// folder or a file elsewhere) is refused rather than written through; every file is written under
// an exclusive, unpredictable temporary name and renamed into place only when complete.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/stream/IByteSink.h"

namespace velkan {

class CConfinedFolder {
public:
    // Creates the folder (and its parents) when missing and opens it; the folder itself is the
    // caller's choice and may be reached through links. Throws CFileException.
    explicit CConfinedFolder(const std::string& path);
    ~CConfinedFolder();
    CConfinedFolder(const CConfinedFolder&) = delete;
    CConfinedFolder& operator=(const CConfinedFolder&) = delete;

    // Writes the file at the relative path given as its components (host names, none empty, "."
    // or ".."; folders created as needed) with the bytes the writer produces. A component that is
    // a symbolic link, or a file where a folder is expected, is refused. Any exception (from the
    // writer too) leaves no file behind and the previous file of that name untouched. Throws
    // CFileException naming display.
    void WriteFile(const std::vector<std::string>& parts, const std::string& display,
                   const std::function<void(IByteSink&)>& writer);

private:
    int m_fd = -1;
    std::string m_path;
};

}  // namespace velkan
