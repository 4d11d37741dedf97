// What every build does to a project before the build driver sees it, in the editor and in
// velkanc alike, so both make the same setup program from the same project and tree: the
// defines are put in, the paths stored relative to the project are read from its folder, each
// version's file list is scanned again from its source folder (keeping every known file's
// settings), and a project that would make an empty or unusable setup program is stopped.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/builder/CInstallBuild.h"
#include "core/model/CDataArray.h"
#include "core/model/FileListRescan.h"
#include "core/stream/CError.h"

namespace velkan {

class IScanHost;

struct BuildInputs {
    std::string projectFolder;                   // host folder of the project file
    std::map<std::string, std::string> defines;  // NAME -> value (UTF-8), for ${NAME}
    bool rescan = true;                          // false: the stored lists as they are
    std::string projectName;                     // names the project in messages
};

struct PreparedBuild {
    CDataArray project;  // what to build: defines put in, paths absolute, lists scanned
    std::vector<FileListChanges> changes;  // per version
    std::vector<std::pair<std::string, std::string>> definesUsed;
    struct Warning {
        std::string text;   // the report line (project text)
        std::string about;  // the version it concerns ("version 2 (Beta)")
    };
    std::vector<Warning> warnings;  // shown like the build's own warnings

    // The report's lines for the defines used and, per version, the files new and gone
    // (project text).
    std::vector<std::string> ReportLines() const;
};

// A project that cannot be built as it stands; the message names what and where.
class CPrepareError : public CError {
public:
    using CError::CError;
};

// Makes the paths a project stores relative to its folder (bitmaps, auxiliary file, output,
// source folders) absolute, as every build and test program reads them. Throws CPrepareError for
// a path the project's code page cannot hold.
void ResolveProjectPaths(CDataArray& project, const std::string& projectFolder);

// Throws CPrepareError (a name used but not defined, a folder or file that cannot be used, a
// project with nothing to install) and CFileException (a source folder that cannot be read).
PreparedBuild PrepareBuild(const CDataArray& project, const BuildInputs& inputs,
                           IScanHost* host = nullptr);

// The host path of the setup program the project names (its output path with the defines put
// in, a relative one read from the project's folder); empty when it names none. Throws
// CDefineError.
std::string StoredOutputPath(const CDataArray& project, const BuildInputs& inputs);

// The build as the editor and velkanc run it: PrepareBuild, its report lines, its warnings (asked
// about as the build's own are), then the build of the prepared project. A project that cannot
// be prepared fails through the host like any failed build.
BuildResult BuildFromProject(const CDataArray& project, const BuildInputs& inputs,
                             CBuildReport& report, IBuildHost& host, IDiskHost& disks,
                             const BuildSettings& settings);

}  // namespace velkan
