// The folder browser of the pages and directory dialogs: opens on an initial folder and returns
// the folder the person chose.
#pragma once

#include <QString>

class QWidget;

namespace velkan {

class CFolderBrowser {
public:
    enum Result { Chosen = 1, Cancelled = 2 };

    CFolderBrowser(QWidget* owner, const QString& initialFolder);

    // Shows the dialog with title (string 9020 "Choose a directory" when empty).
    Result Browse(const QString& title = QString());
    // The chosen folder, without a trailing separator.
    const QString& Folder() const { return m_strFolder; }

    // The initial folder as the dialog receives it: at most 260 characters, every trailing
    // separator removed (so a drive root C:\ becomes C:).
    static QString NormalizeInitialFolder(const QString& folder);
    // Whether the dialog may open on folder (it exists and can be entered).
    static bool CanOpenOn(const QString& folder);
    // OK is allowed only for a selection with a non-empty file-system path that is a folder.
    static bool IsAcceptable(const QString& selection);

private:
    QWidget* m_owner;
    QString m_strFolder;
};

}  // namespace velkan
