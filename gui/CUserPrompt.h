// The one door through which the editor asks the person something: message boxes, file and
// folder dialogs, and its own modal dialogs. By default they are shown; a handler set by the
// tests answers them instead.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QWidget;

namespace velkan {

class IPromptHandler;

class CUserPrompt {
public:
    static void SetHandler(IPromptHandler* handler);

    static QMessageBox::StandardButton Message(QWidget* parent, const QString& text,
                                               QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons);
    static void Information(QWidget* parent, const QString& text);
    static void Error(QWidget* parent, const QString& text);
    // Yes/No with a question icon; true for Yes.
    static bool AskYesNo(QWidget* parent, const QString& text);

    static QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter);
    static QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter);
    static QString FolderName(QWidget* parent, const QString& caption, const QString& dir);
    static int Exec(QDialog& dialog);

    // A "A|*.a|B|*.b||" filter of the string table as a Qt filter ("A;;B").
    static QString QtFilter(const QString& mfcFilter);

private:
    static IPromptHandler* s_handler;
};

}  // namespace velkan
