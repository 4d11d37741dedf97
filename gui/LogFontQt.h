// The title font between the model's 60-byte font description and Qt: the fields a QFont can
// say (face, size, weight, italic, underline, strike-out) are taken from it; the rest (width,
// angles, character set, precisions, quality, pitch) stay as they were.
#pragma once

#include <QFont>

#include "core/model/LogFont.h"

namespace velkan {

QFont ToQFont(const LogFont& font);
// font with the fields a QFont can express replaced by those of chosen. A height stored as a
// character height (negative) stays one.
LogFont FromQFont(const LogFont& font, const QFont& chosen);
// The same, but only for what differs between chosen and shown, the font the dialog started
// with: a face this system lacks (the dialog shows a stand-in) or a size it rounds stays as
// stored unless the author changed it.
LogFont FromQFont(const LogFont& font, const QFont& chosen, const QFont& shown);

// Colours as the model stores them (0x00BBGGRR).
QColor ToQColor(uint32_t colorRef);
uint32_t FromQColor(const QColor& color);

}  // namespace velkan
