#include "gui/CHelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace velkan {

CHelpWindow::CHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("Velkan Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    resize(640, 520);
}

void CHelpWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the help as it closes a dialog.
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString CHelpWindow::HelpDirectory()
{
    const QString candidates[] = {
        QCoreApplication::applicationDirPath() + "/../share/velkan/help",
        QStringLiteral(VELKAN_HELP_SOURCE_DIR),
    };
    for (const QString& dir : candidates) {
        if (QFileInfo::exists(dir + "/index.htm")) return QDir(dir).canonicalPath();
    }
    return QString();
}

bool CHelpWindow::ShowTopic(const QString& topic)
{
    QString dir = HelpDirectory();
    if (dir.isEmpty()) return false;
    QString file = dir + "/" + topic;
    if (!QFileInfo::exists(file)) return false;
    m_browser->setSearchPaths({dir});
    m_browser->setSource(QUrl::fromLocalFile(file));
    return true;
}

}  // namespace velkan
