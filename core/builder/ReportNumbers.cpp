#include "core/builder/ReportNumbers.h"

namespace velkan {

std::string FormatThousands(uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

ReportColumns FormatReportNumbers(int kind, uint64_t size, uint64_t packed)
{
    ReportColumns columns;
    if (size != 0) columns.size = FormatThousands(size);
    if (packed == 0) {
        columns.packed = kind >= 1081 && kind <= 1083 ? "0" : "-";
        columns.ratio = "-";
        return columns;
    }
    columns.packed = FormatThousands(packed);
    if (size != 0) {
        // A packed file larger than its source gives a negative ratio, as the share says.
        long long share = static_cast<long long>(packed * 100 / size);
        long long ratio = share == 0 ? 99 : 100 - share;
        columns.ratio = std::to_string(ratio) + "%";
    }
    return columns;
}

}  // namespace velkan
