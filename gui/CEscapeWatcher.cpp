#include "gui/CEscapeWatcher.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace velkan {

CEscapeWatcher::CEscapeWatcher(bool blockInput) : m_bBlockInput(blockInput)
{
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

CEscapeWatcher::~CEscapeWatcher()
{
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool CEscapeWatcher::PollEscape()
{
    QCoreApplication::processEvents();
    bool pressed = m_bPressed;
    m_bPressed = false;
    return pressed;
}

bool CEscapeWatcher::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_bPressed = true;
            return true;
        }
        return m_bBlockInput;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_bPressed = true;
            return true;
        }
        return m_bBlockInput;
    default: return QObject::eventFilter(watched, event);
    }
}

}  // namespace velkan
