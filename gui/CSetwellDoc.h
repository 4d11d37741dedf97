// The document: the one open project, its file name and its modified flag. New and Open empty
// and refill the same document; the view shows it.
#pragma once

#include <QObject>
#include <QString>

#include "core/model/CDataArray.h"
#include "gui/CProjectUndo.h"

class QWidget;

namespace velkan {

class CSetwellView;
class CWizSheet;

class CSetwellDoc : public QObject {
    Q_OBJECT
public:
    CSetwellDoc();

    void SetView(CSetwellView* view) { m_view = view; }
    CSetwellView* GetFirstView() const { return m_view; }
    // The window that owns the document's message boxes.
    void SetWindow(QWidget* window) { m_window = window; }
    QWidget* GetWindow() const { return m_window; }

    // Modified: the project differs from its file (or, new, from the empty project).
    bool IsModified() const { return m_undo.IsModified(); }
    // true: the project was edited, one undo step (RecordEdit named "Edit"); false: the
    // project as it is now counts as saved.
    void SetModifiedFlag(bool modified = true);
    // Every edit of the project ends here: one undo step named what ("Undo <what>").
    // typedInto: the field typed into, when the caller knows (see CProjectUndo::Record).
    void RecordEdit(const QString& what, QWidget* typedInto = nullptr);
    // The project changed without an edit (another version selected, the disk read again as a
    // page shows it): what undoing puts back starts from here.
    void ProjectShown() { m_undo.Resync(); }
    // True while an undo or redo puts the project back and the view reloads it.
    bool IsRestoring() const { return m_undo.IsRestoring(); }
    CProjectUndo& Undo() { return m_undo; }
    // Edit > Undo and Edit > Redo; a field being typed into is stored first.
    void OnUndo();
    void OnRedo();

    // The path of the file, empty for a new project.
    const QString& GetPathName() const { return m_strPathName; }
    void SetPathName(const QString& path);
    // The file name, or "Untitled".
    QString GetTitle() const;

    // A new project with one default version; refreshes the view.
    bool OnNewDocument();
    // Takes what the new-project wizard ended with (Finish): its project and choices, or the
    // author's wish to stop using it.
    void TakeWizardResult(CWizSheet& wizard);
    // Reads path into the document, repairs missing source directories and refreshes the view.
    // A file that cannot be read leaves the open project as it was, after a message naming the
    // file and the reason.
    bool OnOpenDocument(const QString& path);
    // Writes the project to path through a temporary file (the old file survives a failure).
    bool OnSaveDocument(const QString& path);

    // Save: to the document's path, or Save As when it has none.
    bool DoFileSave();
    // Save As: asks for a name (empty path) or saves to path.
    bool DoSave(const QString& path);
    // Asks "Save changes to %1?" while modified; false when the person cancelled or saving failed.
    bool SaveModified();

    // File > Export Wizard Texts: the current version's texts to a text file.
    void OnExportTexts();
    // File > Import Wizard Texts: a text file into the current version's texts; a file that
    // cannot be read leaves them unchanged.
    void OnImportTexts();
    // The reading step of the import; false (texts unchanged, message shown) on failure.
    bool ImportTextsFile(const QString& path);

    // Preferences command: runs the dialog, then tells the view on OK.
    void OnPreferences();

    // The same directory on the drive of projectPath ("D:\work\src\" with "E:\p\a.vkp" gives
    // "E:\work\src\"); without drive letters the directory itself.
    static QString OnProjectDrive(const QString& path, const QString& projectPath);

    CDataArray m_project;

signals:
    // The caption's parts (title or modified flag) changed.
    void TitleChanged();
    // The document's path changed (for the recent-file list).
    void PathNameChanged(const QString& path);

private:
    void RepairSourceDirectories(const QString& path);
    void RefreshView();

    CSetwellView* m_view = nullptr;
    QWidget* m_window = nullptr;
    QString m_strPathName;
    // New or Open changed the project as it took it (the wizard's result, a repaired folder).
    bool m_bLoadChanged = false;
    CProjectUndo m_undo{m_project};
};

}  // namespace velkan
