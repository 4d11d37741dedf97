#include "gui/CQtBuildHost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "gui/CUserPrompt.h"
#include "gui/QtText.h"

namespace velkan {

CQtBuildHost::CQtBuildHost(QWidget* window, QStatusBar* statusBar, QWidget* parent)
    : m_window(window), m_statusBar(statusBar), m_parent(parent)
{
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

CQtBuildHost::~CQtBuildHost()
{
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
    EndProgress();
}

void CQtBuildHost::BeginProgress()
{
    if (!m_statusBar || m_pane) return;
    m_statusBar->clearMessage();
    // The bar takes three quarters of the message pane, the text the rest, 2 pixels from the bar.
    m_pane = new QWidget(m_statusBar);
    auto* layout = new QHBoxLayout(m_pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_bar = new QProgressBar(m_pane);
    m_bar->setRange(0, kRange);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_text = new QLabel(" 00.00% ", m_pane);
    m_text->setFont(m_statusBar->font());
    layout->addWidget(m_bar, 3);
    layout->addWidget(m_text, 1);
    if (auto* message = m_statusBar->findChild<QWidget*>("messagePane");
        message && message->isVisible()) {
        m_hiddenPane = message;
        message->hide();
    }
    m_statusBar->insertWidget(0, m_pane, 1);
    m_pane->show();
    m_statusBar->repaint();
}

void CQtBuildHost::EndProgress()
{
    if (m_pane) delete m_pane.data();
    m_bar = nullptr;
    m_text = nullptr;
    if (m_hiddenPane) m_hiddenPane->show();
    m_hiddenPane = nullptr;
}

void CQtBuildHost::ShowProgress(uint32_t position, const std::string& text)
{
    if (!m_bar) return;
    m_bar->setValue(static_cast<int>(qMin<uint32_t>(position, kRange)));
    m_text->setText(QString::fromStdString(text));
    m_statusBar->repaint();
}

IBuildHost::PumpResult CQtBuildHost::Pump()
{
    QCoreApplication::processEvents();
    if (m_bQuit) return PumpResult::Quit;
    if (m_bEscape) {
        m_bEscape = false;
        return PumpResult::StopRequested;
    }
    return PumpResult::Continue;
}

bool CQtBuildHost::AskYesNo(const std::string& question)
{
    return CUserPrompt::AskYesNo(m_parent, FromEngineText(question));
}

void CQtBuildHost::ShowInformation(const std::string& text)
{
    CUserPrompt::Information(m_parent, FromEngineText(text));
}

void CQtBuildHost::ShowError(const std::string& text)
{
    CUserPrompt::Error(m_parent, FromEngineText(text));
}

bool CQtBuildHost::IsInWindow(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && m_window && widget->window() == m_window;
}

bool CQtBuildHost::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Quit:
        if (watched != QCoreApplication::instance()) break;
        // The application is asked to end: the build stops at its next pump, the quit is
        // repeated by the caller afterwards.
        m_bQuit = true;
        return true;
    case QEvent::Close:
        if (watched != m_window) break;
        m_bQuit = true;
        event->ignore();
        return true;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        if (!IsInWindow(watched)) break;
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) m_bEscape = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        // The project must not change under the build: the main window takes no input
        // meanwhile (message boxes are windows of their own and are not affected).
        if (IsInWindow(watched)) return true;
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velkan
