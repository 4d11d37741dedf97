#include "gui/CWizardTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <exception>

#include "core/builder/BuildPreparation.h"
#include "core/model/CDataArray.h"
#include "core/package/StubImage.h"
#include "core/package/TestProgram.h"
#include "core/platform/ProjectFolder.h"
#include "core/res/RuntimeResources.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CUserPrompt.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

CWizardTest::Launcher& CustomLauncher()
{
    static CWizardTest::Launcher launcher;
    return launcher;
}

// The process of the last test program; a second test waits until it has ended.
QPointer<QProcess>& Running()
{
    static QPointer<QProcess> process;
    return process;
}

bool s_customRunning = false;

bool StartProgram(const QString& program, QWidget* parent)
{
    if (CustomLauncher()) {
        s_customRunning = CustomLauncher()(program);
        return s_customRunning;
    }
    QString loader;
    QStringList arguments;
#ifdef Q_OS_WIN
    loader = program;
#else
    loader = CWizardTest::WineLoader();
    if (loader.isEmpty()) {
        CUserPrompt::Information(
            parent, QObject::tr("The test of the install wizard runs the Windows install program, "
                                "which needs Wine on this system. Install Wine (on Debian or "
                                "Ubuntu: sudo apt-get install wine64), or name its loader in the "
                                "VELKAN_WINE environment variable, then try again."));
        return false;
    }
    arguments << program;
#endif
    auto* process = new QProcess(QApplication::instance());
    process->setProgram(loader);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process](QProcess::ProcessError e) {
                         if (e == QProcess::FailedToStart) process->deleteLater();
                     });
    process->start();
    Running() = process;
    return true;
}

}  // namespace

void CWizardTest::SetLauncher(Launcher launcher)
{
    CustomLauncher() = std::move(launcher);
    s_customRunning = false;
}

bool CWizardTest::IsRunning()
{
    if (CustomLauncher()) return s_customRunning;
    QProcess* process = Running().data();
    return process && process->state() != QProcess::NotRunning;
}

QString CWizardTest::WineLoader()
{
    QString chosen = qEnvironmentVariable("VELKAN_WINE");
    if (!chosen.isEmpty()) {
        if (QFileInfo(chosen).isExecutable()) return chosen;
        return QStandardPaths::findExecutable(chosen);
    }
    // Debian's "wine" prefers the 32-bit loader, which cannot start where the kernel runs no
    // 32-bit programs; the 64-bit loader runs both kinds of install program.
    if (QFileInfo("/usr/lib/wine/wine64").isExecutable()) return "/usr/lib/wine/wine64";
    for (const char* name : {"wine64", "wine"}) {
        QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) return found;
    }
    return QString();
}

void CWizardTest::RunWizardTest(const CDataArray& project, const QString& path, int startPage,
                                QWidget* parent)
{
    // The running test program still uses the file: on Windows deleting it fails, and the test
    // ends there; the same rule holds on every system.
    if (path.isEmpty()) return;
    if (IsRunning()) {
        CUserPrompt::Information(
            parent, QCoreApplication::translate("CWizardTest",
                                                "The test of the install wizard is still running. "
                                                "Close it before starting another."));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<std::vector<uint8_t>> stub =
        LoadRuntimeResource(StubResourceId(project.m_nPlatform));
    std::optional<std::vector<uint8_t>> dialogs = LoadRuntimeResource(
        DialogBlockResourceId(project.m_nPlatform, !project.m_strWizardBitmap.empty()));
    QApplication::restoreOverrideCursor();
    if (!stub || stub->empty()) return;
    bool written = false;
    try {
        written = WriteTestProgramFile(QDir::toNativeSeparators(path).toStdString(), project, *stub,
                                       dialogs ? &*dialogs : nullptr, startPage);
    } catch (const std::exception& e) {
        CUserPrompt::Error(parent, FromEngineText(e.what()));
        return;
    }
    if (!written) return;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    StartProgram(path, parent);
}

void CWizardTest::Run(const CDataArray& project, int startPage, QWidget* parent)
{
    CSetwellApp* app = CSetwellApp::Instance();
    if (!app) return;
    // Its bitmaps are read from the project's folder, as a build reads them.
    CDataArray resolved = project;
    if (const CSetwellDoc* doc = app->GetDocument(); doc && !doc->GetPathName().isEmpty()) {
        try {
            ResolveProjectPaths(resolved, ProjectFolderOf(doc->GetPathName().toStdString()));
        } catch (const std::exception& e) {
            CUserPrompt::Error(parent, FromEngineText(e.what()));
            return;
        }
    }
    RunWizardTest(resolved, app->GetTempFile(), startPage, parent);
}

}  // namespace velkan
