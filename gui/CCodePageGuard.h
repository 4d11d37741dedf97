// Every text the author types ends up in the project as Windows-1252, the code page of install
// programs. The guard stops a character that code page cannot hold where it is typed (or
// pasted), and says why, instead of letting it turn into '?' when the project is saved.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace velkan {

class CCodePageGuard : public QObject {
    Q_OBJECT
public:
    // Watches every text field of the application as it is first shown.
    static void Install();
    // Guards one text field (line edit, editable combo box, plain text edit) and its children.
    static void Guard(QWidget* widget);
    // The first character of text the code page cannot hold, or an empty string.
    static QString Unwritable(const QString& text);
    // What the author is told, as shown last (for the tests).
    static QString Reason(const QString& character);
    static QString LastRefusal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velkan
