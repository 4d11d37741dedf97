// The file list from the tree: a version's source folder scanned again into a fresh list that
// carries the settings of every path it already listed (paths compared as the list compares
// them, without regard to case), with what changed. The editor's Files page, its build and
// velkanc build and rescan all go through here, so they list the same files for the same tree.
#pragma once

#include <string>
#include <vector>

#include "core/model/CData.h"

namespace velkan {

class IScanHost;

struct FileListChanges {
    std::vector<std::string> added;  // paths found that the list did not hold (project text)
    std::vector<std::string> gone;   // paths the list held that the folder no longer has
    std::vector<std::string> notes;  // files the scan left out, and why (host text)
};

// Which of before's paths after lacks, and which it adds.
FileListChanges CompareFileLists(const CFileList& before, const CFileList& after);

// Makes files exactly what the source folder (a stored path, relative ones read from
// projectFolder) holds, keeping the settings of known paths. A scan that stops (cancelled, a
// folder that cannot be read) leaves the list as it was and rethrows. An empty source folder
// scans nothing and changes nothing.
FileListChanges RescanFileList(CFileList& files, const std::string& sourceDir, bool subDirs,
                               const std::string& projectFolder, IScanHost* host);

// The same for a version's own folder and sub-directory switch.
FileListChanges RescanVersion(CData& version, const std::string& projectFolder, IScanHost* host);

// The host folder that a version's stored source folder names, ending with '/'; empty when the
// version names none.
std::string SourceFolderOf(const CData& version, const std::string& projectFolder);

}  // namespace velkan
