// The "Size", "Packed" and "Ratio" columns of a build report line, as the Build page and velkanc
// both show them: sizes with ',' between groups of three digits, a packed 0 as "0" (or "-" for
// kinds other than 1081-1083) with the ratio "-", and the ratio 100 - packed x 100 / size
// (truncated), shown as 99% when the packed share rounds down to 0.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

struct ReportColumns {
    std::string size;
    std::string packed;
    std::string ratio;
    bool operator==(const ReportColumns&) const = default;
};

// 1200000 -> "1,200,000".
std::string FormatThousands(uint64_t value);

ReportColumns FormatReportNumbers(int kind, uint64_t size, uint64_t packed);

}  // namespace velkan
