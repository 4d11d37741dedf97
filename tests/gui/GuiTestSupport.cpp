#include "tests/gui/GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <stdexcept>

#include "core/model/CUserAbort.h"
#include "gui/CUserPrompt.h"
#include "gui/IBuildHost.h"
#include "gui/IBuildReportSink.h"

namespace velkan {

CScriptedPrompts::CScriptedPrompts()
{
    CUserPrompt::SetHandler(this);
}

CScriptedPrompts::~CScriptedPrompts()
{
    CUserPrompt::SetHandler(nullptr);
}

QMessageBox::StandardButton CScriptedPrompts::Message(QWidget*, const QString& text,
                                                      QMessageBox::Icon,
                                                      QMessageBox::StandardButtons buttons)
{
    messages << text;
    if (!answers.isEmpty()) return answers.takeFirst();
    if (buttons & QMessageBox::No) return QMessageBox::No;
    return QMessageBox::Ok;
}

QString CScriptedPrompts::OpenFileName(QWidget*, const QString&, const QString&, const QString&)
{
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString CScriptedPrompts::SaveFileName(QWidget*, const QString&, const QString& dir,
                                       const QString&)
{
    saveDialogDirs << dir;
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString CScriptedPrompts::FolderName(QWidget*, const QString&, const QString&)
{
    return folderNames.isEmpty() ? QString() : folderNames.takeFirst();
}

int CScriptedPrompts::Exec(QDialog& dialog)
{
    ++dialogCount;
    return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
}

CTestSettings::CTestSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

CTestSettings::~CTestSettings() = default;

void CRecordingRunner::Build(const CDataArray&, const std::string& outputPath,
                             IBuildReportSink& report, IBuildHost& host)
{
    ++calls;
    lastOutputPath = outputPath;
    report.AddLine("a.txt");
    report.SetNumbers(1081, 1200000, 300000);
    host.ShowProgress(5000);
    if (during) during();
    if (ending == Ending::Cancel) throw CUserAbort();
    if (ending == Ending::Fail) throw std::runtime_error("disk full while writing");
}

void MakeFiles(const QString& dir, const QStringList& relativePaths)
{
    for (const QString& relative : relativePaths) {
        QString path = dir + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot create test file");
        file.write("x");
    }
}

}  // namespace velkan
