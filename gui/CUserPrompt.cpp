#include "gui/CUserPrompt.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QStringList>

#include "gui/IPromptHandler.h"
#include "gui/QtText.h"

namespace velkan {

IPromptHandler* CUserPrompt::s_handler = nullptr;

void CUserPrompt::SetHandler(IPromptHandler* handler)
{
    s_handler = handler;
}

QMessageBox::StandardButton CUserPrompt::Message(QWidget* parent, const QString& text,
                                                 QMessageBox::Icon icon,
                                                 QMessageBox::StandardButtons buttons)
{
    if (s_handler) return s_handler->Message(parent, text, icon, buttons);
    // The main window's title names the program in every box, as the system boxes do.
    QMessageBox box(icon, LoadQString(128).section(QLatin1Char('\n'), 0, 0), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void CUserPrompt::Information(QWidget* parent, const QString& text)
{
    Message(parent, text, QMessageBox::Information, QMessageBox::Ok);
}

void CUserPrompt::Error(QWidget* parent, const QString& text)
{
    Message(parent, text, QMessageBox::Warning, QMessageBox::Ok);
}

bool CUserPrompt::AskYesNo(QWidget* parent, const QString& text)
{
    return Message(parent, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString CUserPrompt::OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                  const QString& filter)
{
    if (s_handler) return s_handler->OpenFileName(parent, caption, dir, filter);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString CUserPrompt::SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                  const QString& filter)
{
    if (s_handler) return s_handler->SaveFileName(parent, caption, dir, filter);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString CUserPrompt::FolderName(QWidget* parent, const QString& caption, const QString& dir)
{
    if (s_handler) return s_handler->FolderName(parent, caption, dir);
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

int CUserPrompt::Exec(QDialog& dialog)
{
    if (s_handler) return s_handler->Exec(dialog);
    return dialog.exec();
}

QString CUserPrompt::QtFilter(const QString& mfcFilter)
{
    QStringList parts = mfcFilter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // The names already show their patterns ("Executable Files (*.exe)"); Qt reads the
        // patterns from the parentheses, so only add them when they are missing.
        filters << (name.contains('(') ? name : name + " (" + patterns + ")");
    }
    return filters.join(";;");
}

}  // namespace velkan
