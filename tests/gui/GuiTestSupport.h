// What the editor's tests share: prompts answered from a script, settings in a private folder,
// a build runner that records its calls, small stand-ins for the install runtime, and small
// helpers for projects on disk.
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
    QList<QMessageBox::StandardButtons> messageButtons;
    QList<QMessageBox::Icon> messageIcons;
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

    BuildResult Build(const CDataArray& project, const BuildInputs& inputs,
                      const BuildSettings& settings, CBuildReport& report, IBuildHost& host,
                      IDiskHost& disks) override;

    Ending ending = Ending::Normal;
    int calls = 0;
    std::string lastOutputPath;
    DeltaSearch lastDeltaSearch = DeltaSearch::Window;
    bool lastShareEqualFiles = false;
    // Seen during the build: whether the Build button and the tabs were enabled.
    std::function<void()> during;
};

// Small runtime images carrying the markers the build looks for (no working program), in place
// of every runtime resource until the object goes; or, with missing set, with none at all.
class CFakeRuntime {
public:
    enum class Kind { Fake, Missing };
    explicit CFakeRuntime(Kind kind = Kind::Fake);
    ~CFakeRuntime();
};

// Writes files (relative paths with '/') under dir, creating sub-directories.
void MakeFiles(const QString& dir, const QStringList& relativePaths);
// Writes one file of the given bytes.
void WriteFile(const QString& path, const QByteArray& bytes);

}  // namespace velkan
