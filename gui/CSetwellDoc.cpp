#include "gui/CSetwellDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <exception>

#include "core/model/CArchiveException.h"
#include "core/model/ProjectFile.h"
#include "core/platform/ProjectFolder.h"
#include "core/stream/CFileException.h"
#include "core/wizard/WizardTextFile.h"
#include "gui/CMissingDirDialog.h"
#include "gui/CPrefGroup.h"
#include "gui/CPreferencesDialog.h"
#include "gui/CSetwellView.h"
#include "gui/CUserPrompt.h"
#include "gui/CWizSheet.h"
#include "gui/CommitEdits.h"
#include "gui/QtText.h"
#include "gui/TemplatesFolder.h"

namespace velkan {

namespace {

// A directory that can be entered (what the target tests by making it the current directory).
bool CanEnter(const QString& dir)
{
    QFileInfo info(dir);
    return !dir.isEmpty() && info.isDir() && info.isExecutable();
}

bool CanRead(const QString& file)
{
    QFile f(file);
    return !file.isEmpty() && f.open(QIODevice::ReadOnly);
}

QString DriveOf(const QString& path)
{
    static const QRegularExpression drive("^[A-Za-z]:");
    QRegularExpressionMatch match = drive.match(path);
    return match.hasMatch() ? match.captured(0) : QString();
}

}  // namespace

CSetwellDoc::CSetwellDoc()
{
    m_project = NewProject();
    m_undo.Reset(false);
    connect(&m_undo, &CProjectUndo::Restored, this, &CSetwellDoc::RefreshView);
    connect(&m_undo, &CProjectUndo::ModifiedChanged, this, &CSetwellDoc::TitleChanged);
}

void CSetwellDoc::SetModifiedFlag(bool modified)
{
    if (modified) {
        RecordEdit(tr("Edit"));
    } else {
        m_undo.MarkSaved();
    }
    emit TitleChanged();
}

void CSetwellDoc::RecordEdit(const QString& what, QWidget* typedInto)
{
    m_undo.Record(what, typedInto);
    emit TitleChanged();
}

void CSetwellDoc::OnUndo()
{
    CommitFocusedEdit();
    m_undo.Undo();
}

void CSetwellDoc::OnRedo()
{
    CommitFocusedEdit();
    m_undo.Redo();
}

void CSetwellDoc::SetPathName(const QString& path)
{
    m_strPathName = path;
    emit TitleChanged();
    emit PathNameChanged(path);
}

QString CSetwellDoc::GetTitle() const
{
    if (m_strPathName.isEmpty()) return tr("Untitled");
    return QFileInfo(m_strPathName).fileName();
}

bool CSetwellDoc::OnNewDocument()
{
    m_project.Reset();
    m_project.m_versions.emplace_back();
    m_project.m_nCurrent = 0;
    m_strPathName.clear();
    m_bLoadChanged = false;
    // At start-up the window is not up yet: the application runs New again once it is.
    if (CPrefGroup::General().Get(CPrefGroup::PrefWizard) != 0 && m_window &&
        m_window->isVisible()) {
        CWizSheet wizard(m_window);
        if (CUserPrompt::Exec(wizard) == QDialog::Accepted) TakeWizardResult(wizard);
    }
    RefreshView();
    // Undoing starts from the new project as shown, the wizard's files scanned.
    m_undo.Reset(m_bLoadChanged);
    emit TitleChanged();
    return true;
}

void CSetwellDoc::TakeWizardResult(CWizSheet& wizard)
{
    if (!wizard.UseWizard()) {
        CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0);
        return;
    }
    m_project.CopyFrom(wizard.Result());
    m_project.m_nCurrent = 0;
    CData& version = *m_project.GetCurrent();
    // The Files page applies these to the files it finds in the source directory.
    version.m_bWizardPending = 1;
    version.m_strWizIconFile = FromQt(wizard.IconFile());
    version.m_strWizIconName = FromQt(wizard.IconName());
    version.m_bWizShortcut = wizard.Shortcut() ? 1 : 0;
    version.m_strWizViewFile = FromQt(wizard.ViewFile());
    version.m_strWizRunFile = FromQt(wizard.RunFile());
    version.m_strWizViewIntro = wizard.Texts().viewIntro;
    version.m_strWizRunIntro = wizard.Texts().runIntro;
    if (wizard.Uninstaller()) {
        version.m_strUninstFolder = version.m_strTitle;
        version.m_strUninstIcon =
            FromQt(ToQt(wizard.Texts().uninstallIcon).replace("%s", ToQt(version.m_strTitle)));
    } else {
        version.m_strUninstFile.clear();
    }
    m_bLoadChanged = true;
    m_undo.Reset(true);
}

bool CSetwellDoc::OnOpenDocument(const QString& path)
{
    CDataArray project;
    try {
        project = LoadProject(path.toStdString());
    } catch (const CArchiveException& e) {
        CUserPrompt::Error(m_window, tr("%1\n\n%2 %3")
                                         .arg(QDir::toNativeSeparators(path),
                                              QString::fromStdString(e.what()), ToQt(e.Detail())));
        return false;
    } catch (const std::exception& e) {
        CUserPrompt::Error(
            m_window, tr("Cannot open %1:\n\n%2")
                          .arg(QDir::toNativeSeparators(path), QString::fromStdString(e.what())));
        return false;
    }
    m_project.CopyFrom(project);
    m_project.m_nCurrent = 0;
    m_strPathName = path;
    m_bLoadChanged = false;
    RepairSourceDirectories(path);
    RefreshView();
    m_undo.Reset(m_bLoadChanged);
    emit TitleChanged();
    return true;
}

QString CSetwellDoc::OnProjectDrive(const QString& path, const QString& projectPath)
{
    QString drive = DriveOf(projectPath);
    QString rest = path.mid(DriveOf(path).size());
    return drive + rest;
}

void CSetwellDoc::RepairSourceDirectories(const QString& path)
{
    for (CData& version : m_project.m_versions) {
        if (version.m_strSourceDir.empty()) continue;
        QString dir = ToQt(version.m_strSourceDir);
        // A relative folder is read from the project's folder, as the build reads it.
        const std::string projectFolder = ProjectFolderOf(path.toStdString());
        if (CanEnter(QString::fromStdString(ResolveInFolder(dir.toStdString(), projectFolder))))
            continue;
        QString moved = OnProjectDrive(dir, path);
        if (!moved.isEmpty() && moved != dir && CanEnter(moved)) {
            version.m_strSourceDir = FromQt(moved);
            for (std::string* bitmap : {&m_project.m_strWizardBitmap, &m_project.m_strBackBitmap}) {
                QString file = ToQt(*bitmap);
                if (file.isEmpty() || CanRead(file)) continue;
                QString movedFile = OnProjectDrive(file, path);
                if (CanRead(movedFile)) *bitmap = FromQt(movedFile);
            }
            m_bLoadChanged = true;
            continue;
        }
        CMissingDirDialog dialog(m_window, dir);
        if (CUserPrompt::Exec(dialog) != QDialog::Accepted) break;
        version.m_strSourceDir = FromQt(QString::fromStdString(
            RelativeToFolder(dialog.Directory().toStdString(), projectFolder)));
        m_bLoadChanged = true;
    }
}

bool CSetwellDoc::OnSaveDocument(const QString& path)
{
    try {
        SaveProject(m_project, path.toStdString());
    } catch (const std::exception& e) {
        CUserPrompt::Error(
            m_window, tr("Cannot save %1:\n\n%2")
                          .arg(QDir::toNativeSeparators(path), QString::fromStdString(e.what())));
        return false;
    }
    m_strPathName = path;
    m_undo.MarkSaved();
    emit TitleChanged();
    emit PathNameChanged(path);
    return true;
}

bool CSetwellDoc::DoFileSave()
{
    return DoSave(m_strPathName);
}

bool CSetwellDoc::DoSave(const QString& path)
{
    CommitFocusedEdit();
    QString target = path;
    if (target.isEmpty()) {
        // The current name is proposed, so a project opened from text is saved as text again.
        QString filter = CUserPrompt::QtFilter(LoadQString(128).split('\n').value(3) + "|*.vkp|" +
                                               tr("Project as text (*.json)") + "|*.json||");
        QString initial = m_strPathName.isEmpty() ? GetTitle() : m_strPathName;
        target = CUserPrompt::SaveFileName(m_window, tr("Save As"), initial, filter);
        if (target.isEmpty()) return false;
        if (QFileInfo(target).suffix().isEmpty()) target += ".vkp";
    }
    return OnSaveDocument(target);
}

bool CSetwellDoc::SaveModified()
{
    CommitFocusedEdit();
    if (!IsModified()) return true;
    auto answer = CUserPrompt::Message(m_window, tr("Save changes to %1?").arg(GetTitle()),
                                       QMessageBox::Warning,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    return DoFileSave();
}

void CSetwellDoc::OnExportTexts()
{
    CommitFocusedEdit();
    CData* version = m_project.GetCurrent();
    if (!version) return;
    // Beside the project, never in the shipped templates, which an export could overwrite.
    QString folder =
        m_strPathName.isEmpty() ? QDir::homePath() : QFileInfo(m_strPathName).absolutePath();
    QString path = CUserPrompt::SaveFileName(m_window, tr("Export Wizard Texts"),
                                             folder + "/" + LoadQString(1007),
                                             CUserPrompt::QtFilter(LoadQString(1157)));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".txt";
    try {
        WriteTextsFile(version->m_texts, path.toStdString());
    } catch (const std::exception& e) {
        CUserPrompt::Error(m_window,
                           tr("Cannot write %1:\n\n%2")
                               .arg(QDir::toNativeSeparators(path), FromEngineText(e.what())));
    }
}

void CSetwellDoc::OnImportTexts()
{
    if (!m_project.GetCurrent()) return;
    QString path = CUserPrompt::OpenFileName(m_window, tr("Import Wizard Texts"),
                                             EditorTemplatesFolder() + "*.txt",
                                             CUserPrompt::QtFilter(LoadQString(1157)));
    if (path.isEmpty()) return;
    ImportTextsFile(path);
}

bool CSetwellDoc::ImportTextsFile(const QString& path)
{
    // A field still being typed into is stored before the refresh shows the imported texts.
    CommitFocusedEdit();
    CData* version = m_project.GetCurrent();
    if (!version) return false;
    TextPages texts = version->m_texts;
    try {
        ReadTextsFile(texts, path.toStdString());
    } catch (const std::exception& e) {
        CUserPrompt::Error(m_window,
                           tr("Cannot read %1:\n\n%2")
                               .arg(QDir::toNativeSeparators(path), FromEngineText(e.what())));
        return false;
    }
    if (texts != version->m_texts) {
        version->m_texts = texts;
        // Imported texts are a change like any other: undone in one step, asked to save.
        RecordEdit(tr("Import Wizard Texts"));
    }
    if (m_view) m_view->RefreshPages();
    return true;
}

void CSetwellDoc::OnPreferences()
{
    CPreferencesDialog dialog(m_window);
    if (dialog.Run() && m_view) m_view->NotifyPreferencesChanged();
}

void CSetwellDoc::RefreshView()
{
    if (m_view) m_view->RefreshAll();
}

}  // namespace velkan
