#include "gui/CStubBuildRunner.h"

#include "gui/IBuildReportSink.h"

namespace velkan {

void CStubBuildRunner::Build(const CDataArray&, const std::string&, IBuildReportSink& report,
                             IBuildHost&)
{
    report.AddLine(kMessage);
}

}  // namespace velkan
