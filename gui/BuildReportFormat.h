// How the Build page writes numbers: sizes with ',' between groups of three digits, the packing
// ratio, and the progress percentage.
#pragma once

#include <QString>
#include <cstdint>

namespace velkan {

struct ReportNumbers
{
    QString size;
    QString packed;
    QString ratio;
};

// 1200000 -> "1,200,000"; negative numbers keep their sign.
QString FormatThousands(int64_t value);

// The "Size", "Packed" and "Ratio" cells of a report line. A size of 0 leaves "Size" empty. A
// packed value of 0 shows "0" (kinds 1081 to 1083; "-" for any other kind) and "-" as ratio.
// Otherwise the ratio is 100 - packed * 100 / size (truncated), shown as 99 when that quotient is
// 0, and left empty when the size is 0.
ReportNumbers FormatReportNumbers(int kind, int64_t size, int64_t packed);

// Progress in hundredths of a percent as "%2.2d.%2.2d %%" (1234 -> "12.34 %").
QString FormatProgress(int position);

}  // namespace velkan
