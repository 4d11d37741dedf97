#include "gui/CQtDiskHost.h"

#include "gui/CUserPrompt.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

constexpr int kInsertDisk = 2014;      // "Please insert disk number %d."
constexpr int kDiskHoldsFiles = 1186;  // "This disk contains files. ..."
constexpr int kDiskError = 2015;       // "Error: %s\n\nPlease insert disk number %d."

QString ReplaceFirst(QString text, const QString& what, const QString& with)
{
    qsizetype at = text.indexOf(what);
    if (at >= 0) text.replace(at, what.size(), with);
    return text;
}

}  // namespace

QString CQtDiskHost::InsertDiskText(int diskNumber)
{
    return ReplaceFirst(LoadQString(kInsertDisk), "%d", QString::number(diskNumber));
}

QString CQtDiskHost::DiskErrorText(const std::string& error, int diskNumber)
{
    // The number first: the error text itself may hold a "%d".
    QString text = ReplaceFirst(LoadQString(kDiskError), "%d", QString::number(diskNumber));
    return ReplaceFirst(text, "%s", FromEngineText(error));
}

bool CQtDiskHost::AskInsertDisk(int diskNumber)
{
    return CUserPrompt::Message(m_parent, InsertDiskText(diskNumber), QMessageBox::Information,
                                QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void CQtDiskHost::NotifyDiskHoldsFiles()
{
    CUserPrompt::Message(m_parent, LoadQString(kDiskHoldsFiles), QMessageBox::Information,
                         QMessageBox::Ok);
}

bool CQtDiskHost::AskRetryDisk(const std::string& error, int diskNumber)
{
    return CUserPrompt::Message(m_parent, DiskErrorText(error, diskNumber),
                                QMessageBox::Information,
                                QMessageBox::Retry | QMessageBox::Cancel) == QMessageBox::Retry;
}

}  // namespace velkan
