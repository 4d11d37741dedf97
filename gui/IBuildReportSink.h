// Where a build writes its report: one line per stored file or message, and the numbers of the
// current line.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class IBuildReportSink {
public:
    virtual ~IBuildReportSink() = default;
    // Appends a line (Windows-1252 text) and makes it the current line.
    virtual void AddLine(const std::string& text) = 0;
    // Gives the current line its size, packed size and ratio; kind is a report kind (1081 for
    // files and the uninstaller).
    virtual void SetNumbers(int kind, int64_t size, int64_t packed) = 0;
};

}  // namespace velkan
