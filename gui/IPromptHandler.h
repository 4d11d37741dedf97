// Where the editor's questions, messages and modal dialogs go. The application shows them to the
// person; the tests answer them from a script, so no test ever waits on a modal loop.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace velkan {

class IPromptHandler {
public:
    virtual ~IPromptHandler() = default;
    // A message box; returns the button chosen.
    virtual QMessageBox::StandardButton Message(QWidget* parent, const QString& text,
                                                QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons) = 0;
    // File and folder dialogs; an empty result means cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString FolderName(QWidget* parent, const QString& caption, const QString& dir) = 0;
    // Runs one of the editor's own dialogs modally; returns QDialog::Accepted or Rejected.
    virtual int Exec(QDialog& dialog) = 0;
};

}  // namespace velkan
