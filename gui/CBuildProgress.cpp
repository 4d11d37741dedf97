#include "gui/CBuildProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "gui/BuildReportFormat.h"
#include "gui/CUserPrompt.h"
#include "gui/QtText.h"

namespace velkan {

CBuildProgress::CBuildProgress(QStatusBar* statusBar, QWidget* parent)
    : m_statusBar(statusBar), m_parent(parent), m_watcher(false)
{
    if (!statusBar) return;
    statusBar->clearMessage();
    m_bar = new QProgressBar(statusBar);
    m_bar->setRange(0, kRange);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_text = new QLabel(" 00.00% ", statusBar);
    statusBar->insertWidget(0, m_bar, 3);
    statusBar->insertWidget(1, m_text, 1);
    m_bar->show();
    m_text->show();
    statusBar->repaint();
}

CBuildProgress::~CBuildProgress()
{
    delete m_bar;
    delete m_text;
}

void CBuildProgress::ShowProgress(int position)
{
    position = qBound(0, position, kRange);
    if (m_bar) m_bar->setValue(position);
    if (m_text) m_text->setText(FormatProgress(position));
    if (m_statusBar) m_statusBar->repaint();
}

bool CBuildProgress::PumpMessages()
{
    QCoreApplication::processEvents();
    return !m_bQuitting;
}

bool CBuildProgress::IsCancelKeyDown()
{
    return m_watcher.PollEscape();
}

bool CBuildProgress::AskYesNo(const std::string& text)
{
    return CUserPrompt::AskYesNo(m_parent, ToQt(text));
}

}  // namespace velkan
