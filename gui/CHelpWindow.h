// The application's help window: shows one topic page of the help folder (HTML) and follows
// its links.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace velkan {

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The folder of the help pages: beside the installed program (../share/velkan/help), else the
    // source tree's data/help; empty when neither exists.
    static QString HelpDirectory();

    // Shows topic (a path relative to the help folder); false when the page does not exist.
    bool ShowTopic(const QString& topic);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser;
};

}  // namespace velkan
