// The macro tokens of paths and the small pop-up menus that insert them into a field.
#pragma once

#include <QPoint>
#include <QString>

class QMenu;
class QWidget;

namespace velkan {

class CMacroMenu {
public:
    enum Position { Macro1 = 7, Macro2 = 8, Macro3 = 9 };

    // The token a command inserts ("#Start Menu#" for 5009), empty for none.
    static QString TokenFor(int commandId);
    // Whether the menu at position offers the command.
    static bool Offers(int position, int commandId);
    // The menu at position, with each entry's data its command id.
    static QMenu* CreateMenu(int position, QWidget* parent);
    // Shows the menu at the cursor; the chosen command id, or 0.
    static int Track(int position, QWidget* parent, const QPoint& globalPos);
};

}  // namespace velkan
