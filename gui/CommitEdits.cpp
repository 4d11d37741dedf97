#include "gui/CommitEdits.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace velkan {

void CommitFocusedEdit()
{
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (!focus) return;
    focus->clearFocus();
    // Leaving an in-place editor of a list ends it; only a widget that stays gets the focus back.
    if (focus && focus->isVisible()) focus->setFocus();
}

}  // namespace velkan
