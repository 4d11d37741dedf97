// The build runner of an editor built without the build engine: it only says so in the report.
#pragma once

#include "gui/IBuildRunner.h"

namespace velkan {

class CStubBuildRunner : public IBuildRunner {
public:
    static constexpr char kMessage[] = "The build engine is not available in this version.";

    void Build(const CDataArray& project, const std::string& outputPath,
               IBuildReportSink& report, IBuildHost& host) override;
};

}  // namespace velkan
