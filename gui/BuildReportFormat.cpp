#include "gui/BuildReportFormat.h"

namespace velkan {

QString FormatThousands(int64_t value)
{
    bool negative = value < 0;
    // Through unsigned so that the most negative value has a magnitude too.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    QString digits = QString::number(magnitude);
    QString result;
    int count = 0;
    for (int i = static_cast<int>(digits.size()) - 1; i >= 0; --i) {
        if (count > 0 && count % 3 == 0) result.prepend(',');
        result.prepend(digits[i]);
        ++count;
    }
    return negative ? "-" + result : result;
}

ReportNumbers FormatReportNumbers(int kind, int64_t size, int64_t packed)
{
    ReportNumbers cells;
    if (size != 0) cells.size = FormatThousands(size);
    if (packed == 0) {
        cells.packed = (kind >= 1081 && kind <= 1083) ? "0" : "-";
        cells.ratio = "-";
    } else {
        cells.packed = FormatThousands(packed);
        if (size != 0) {
            int64_t g = packed * 100 / size;
            int64_t ratio = g == 0 ? 99 : 100 - g;
            cells.ratio = QString("%1%").arg(ratio);
        }
    }
    return cells;
}

QString FormatProgress(int position)
{
    return QString("%1.%2 %")
        .arg(position / 100, 2, 10, QChar('0'))
        .arg(position % 100, 2, 10, QChar('0'));
}

}  // namespace velkan
