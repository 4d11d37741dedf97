#include "gui/CSetwellApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

#include "gui/CAboutDialog.h"
#include "gui/CCodePageGuard.h"
#include "gui/CEngineBuildRunner.h"
#include "gui/CHelpWindow.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CUserPrompt.h"
#include "gui/CVelkanCommandLine.h"
#include "gui/HelpTopics.h"
#include "gui/QtText.h"

namespace velkan {

CSetwellApp* CSetwellApp::s_instance = nullptr;

CSetwellApp::CSetwellApp(IBuildRunner* runner)
{
    if (!runner) {
        m_ownRunner = std::make_unique<CEngineBuildRunner>();
        runner = m_ownRunner.get();
    }
    m_runner = runner;
    s_instance = this;
    CCodePageGuard::Install();
}

CSetwellApp::~CSetwellApp()
{
    if (m_help) delete m_help.data();
    m_frame.reset();
    if (s_instance == this) s_instance = nullptr;
}

bool CSetwellApp::InitInstance(const QStringList& arguments)
{
    m_recent.Load();

    // The scratch file of the wizard test run, reserved now so that a test never fails for want
    // of a temporary name; deleted at exit.
    QTemporaryFile scratch(QDir::tempPath() + "/tmpXXXXXX");
    scratch.setAutoRemove(false);
    if (!scratch.open()) return false;
    m_strTempFile = scratch.fileName();
    scratch.close();

    CVelkanCommandLine commandLine;
    commandLine.ParseArguments(arguments);

    m_doc = std::make_unique<CSetwellDoc>();
    m_frame = std::make_unique<CMainFrame>(*this, *m_doc, *m_runner);
    m_doc->SetWindow(m_frame.get());
    // Every name the project is saved under joins the recent-file list (Save As too).
    connect(m_doc.get(), &CSetwellDoc::PathNameChanged, this, [this](const QString& path) {
        if (path.isEmpty()) return;
        m_recent.Add(QFileInfo(path).absoluteFilePath());
        if (m_frame) m_frame->RebuildRecentMenu();
    });
    m_doc->OnNewDocument();
    m_frame->show();

    if (!commandLine.m_strFileName.isEmpty()) {
        CSetwellDoc* doc = OpenDocumentFile(commandLine.m_strFileName, !commandLine.m_bBuild);
        if (doc && commandLine.m_bBuild) {
            if (CData* current = doc->m_project.GetCurrent()) {
                current->m_bAutoBuild = 1;
                current->m_bKeepOutputPath = 1;
                m_frame->GetView()->RefreshPages();
            }
        }
    } else if (CPrefGroup::General().Get(CPrefGroup::PrefWizard) != 0) {
        // New runs again once the window exists, so that the new-project wizard can show.
        QTimer::singleShot(0, this, [this] {
            if (m_doc && !m_doc->IsModified()) m_doc->OnNewDocument();
        });
    }
    return true;
}

void CSetwellApp::ExitInstance()
{
    if (!m_strTempFile.isEmpty()) {
        QFile::remove(m_strTempFile);
        m_strTempFile.clear();
    }
}

CSetwellDoc* CSetwellApp::OpenDocumentFile(const QString& path, bool remember)
{
    if (!m_doc->SaveModified()) return nullptr;
    QString absolute = QFileInfo(path).absoluteFilePath();
    if (!m_doc->OnOpenDocument(absolute)) {
        m_recent.Remove(absolute);
        if (m_frame) m_frame->RebuildRecentMenu();
        return nullptr;
    }
    if (absolute.endsWith(".vkt", Qt::CaseInsensitive)) {
        QString projectName = absolute.left(absolute.size() - 3) + "vkp";
        QFile existing(projectName);
        if (existing.open(QIODevice::ReadOnly)) {
            // Saving must not overwrite the project beside it without asking for a name.
            m_doc->SetPathName(QString());
            return m_doc.get();
        }
        m_doc->SetPathName(projectName);
        absolute = projectName;
    }
    if (remember) m_recent.Add(absolute);
    if (m_frame) m_frame->RebuildRecentMenu();
    return m_doc.get();
}

void CSetwellApp::OnFileNew()
{
    if (!m_doc->SaveModified()) return;
    m_doc->OnNewDocument();
}

void CSetwellApp::OnFileOpen()
{
    QString filter =
        CUserPrompt::QtFilter(LoadQString(128).section('\n', 3, 3) + "|*.vkp;*.vkt|" +
                              tr("Project as text (*.json)") + "|*.json|" + LoadQString(1168));
    QString path = CUserPrompt::OpenFileName(m_frame.get(), tr("Open"), QString(), filter);
    if (!path.isEmpty()) OpenDocumentFile(path);
}

void CSetwellApp::OnAppAbout()
{
    CAboutDialog dialog(m_frame.get());
    CUserPrompt::Exec(dialog);
}

void CSetwellApp::WinHelp(uint32_t data, bool isContextRequest)
{
    QString topic = HelpTopicFor(data, isContextRequest);
    if (!m_help) m_help = new CHelpWindow(nullptr);
    // A modal dialog blocks every window but its own: asked from one, the help window becomes
    // the dialog's own window so it takes input; otherwise it stands alone.
    QWidget* owner = QApplication::activeModalWidget();
    if (m_help->parentWidget() != owner) {
        QRect placed = m_help->geometry();
        m_help->setParent(owner, Qt::Window);
        m_help->setGeometry(placed);
    }
    if (!m_help->ShowTopic(topic)) {
        CUserPrompt::Information(m_frame.get(), tr("The Help is not installed on this machine."));
        return;
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

CHelpWindow* CSetwellApp::GetHelpWindow() const
{
    return m_help.data();
}

void CSetwellApp::Help(uint32_t data, bool isContextRequest)
{
    if (s_instance) s_instance->WinHelp(data, isContextRequest);
}

}  // namespace velkan
