// A bitmap file the author chooses for the wizard, checked by the rule the build and the install
// wizard use: one the wizard cannot show is refused, saying why; a wizard bitmap larger than its
// field is taken, with a note that the wizard scales it down.
#pragma once

#include <QString>

class QWidget;

namespace velkan {

// True when the file may be taken. A file that cannot be read is taken as chosen: the build
// says so.
bool AcceptChosenBitmap(QWidget* parent, const QString& file, bool wizardBitmap);

}  // namespace velkan
