// What the editor's tests share: prompts answered from a script, settings in a private folder,
// a build runner that records its calls, and small helpers for projects on disk.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "core/model/CDataArray.h"
#include "gui/IBuildRunner.h"
#include "gui/IPromptHandler.h"

namespace velkan {

class CScriptedPrompts : public IPromptHandler {
public:
    CScriptedPrompts();
    ~CScriptedPrompts() override;

    QMessageBox::StandardButton Message(QWidget* parent, const QString& text,
                                        QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons) override;
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString SaveFileName(QWidget*, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString FolderName(QWidget*, const QString& caption, const QString& dir) override;
    int Exec(QDialog& dialog) override;

    // Answers in order; when they run out, messages get No (or OK), names get "" (cancel).
    QList<QMessageBox::StandardButton> answers;
    QStringList fileNames;
    QStringList folderNames;
    // Handles a dialog; without one, dialogs are rejected.
    std::function<int(QDialog&)> onDialog;

    QStringList messages;
    QStringList saveDialogDirs;
    int dialogCount = 0;
};

// Settings in a folder of their own, removed at the end.
class CTestSettings {
public:
    CTestSettings();
    ~CTestSettings();
    QString Folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

class CRecordingRunner : public IBuildRunner {
public:
    enum class Ending { Normal, Cancel, Fail };

    void Build(const CDataArray& project, const std::string& outputPath,
               IBuildReportSink& report, IBuildHost& host) override;

    Ending ending = Ending::Normal;
    int calls = 0;
    std::string lastOutputPath;
    // Seen during the build: whether the Build button and the tabs were enabled.
    std::function<void()> during;
};

// Writes files (relative paths with '/') under dir, creating sub-directories.
void MakeFiles(const QString& dir, const QStringList& relativePaths);

}  // namespace velkan
