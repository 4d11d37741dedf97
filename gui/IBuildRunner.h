// The build as the Build page sees it: the project, the install program's path, a report sink
// and a host. The engine's build driver sits behind it; the page never knows how files are packed.
#pragma once

#include <string>

namespace velkan {

class CDataArray;
class IBuildHost;
class IBuildReportSink;

class IBuildRunner {
public:
    virtual ~IBuildRunner() = default;
    // Builds project into outputPath (a host path, UTF-8). Throws CUserAbort when the person
    // cancelled (nothing is shown) and any other exception for a failure (its message is shown).
    virtual void Build(const CDataArray& project, const std::string& outputPath,
                       IBuildReportSink& report, IBuildHost& host) = 0;
};

}  // namespace velkan
