#include "gui/LogFontQt.h"

#include <QColor>
#include <cstdlib>

#include "gui/QtText.h"

namespace velkan {

QFont ToQFont(const LogFont& font)
{
    QFont result(ToQt(font.FaceName()));
    if (font.lfHeight != 0) result.setPixelSize(std::abs(font.lfHeight));
    if (font.lfWeight > 0)
        result.setWeight(static_cast<QFont::Weight>(qBound(1, font.lfWeight, 1000)));
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    return result;
}

LogFont FromQFont(const LogFont& font, const QFont& chosen)
{
    LogFont result = font;
    result.SetFaceName(FromQt(chosen.family()));
    int pixels = chosen.pixelSize();
    if (pixels <= 0 && chosen.pointSizeF() > 0) {
        // Points at the 96 dots per inch that the title's size was chosen for.
        pixels = static_cast<int>(chosen.pointSizeF() * 96.0 / 72.0 + 0.5);
    }
    if (pixels > 0) result.lfHeight = font.lfHeight < 0 ? -pixels : pixels;
    result.lfWeight = static_cast<int32_t>(chosen.weight());
    result.lfItalic = chosen.italic() ? 1 : 0;
    result.lfUnderline = chosen.underline() ? 1 : 0;
    result.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    return result;
}

LogFont FromQFont(const LogFont& font, const QFont& chosen, const QFont& shown)
{
    LogFont all = FromQFont(font, chosen);
    LogFont result = font;
    if (chosen.family() != shown.family()) result.lfFaceName = all.lfFaceName;
    if (chosen.pixelSize() != shown.pixelSize() || chosen.pointSizeF() != shown.pointSizeF()) {
        result.lfHeight = all.lfHeight;
    }
    if (chosen.weight() != shown.weight()) result.lfWeight = all.lfWeight;
    if (chosen.italic() != shown.italic()) result.lfItalic = all.lfItalic;
    if (chosen.underline() != shown.underline()) result.lfUnderline = all.lfUnderline;
    if (chosen.strikeOut() != shown.strikeOut()) result.lfStrikeOut = all.lfStrikeOut;
    return result;
}

QColor ToQColor(uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

uint32_t FromQColor(const QColor& color)
{
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

}  // namespace velkan
