#include "gui/CommitEdits.h"

#include <QApplication>
#include <QWidget>

namespace velkan {

void CommitFocusedEdit()
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    focus->clearFocus();
    focus->setFocus();
}

}  // namespace velkan
