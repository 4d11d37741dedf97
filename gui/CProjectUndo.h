// Undo and redo of the project's edits. It keeps the project as it last stood; each edit becomes
// one step holding the project before and after it, and undoing or redoing puts one of them
// back. Typing into one field makes one step, not one per letter. The project counts as modified
// while the steps stand elsewhere than where it was last saved (or when it was modified before
// its first step, as a repaired or wizard-made project is).
#pragma once

#include <QObject>
#include <QUndoStack>
#include <memory>

class QLineEdit;
class QWidget;

#include "core/model/CDataArray.h"

namespace velkan {

class CProjectUndo : public QObject {
    Q_OBJECT
public:
    // Steps kept; each holds a copy of the project, so a large project cannot fill the memory.
    static constexpr int kStepLimit = 100;

    explicit CProjectUndo(CDataArray& project);

    QUndoStack& Stack() { return m_stack; }
    const QUndoStack& Stack() const { return m_stack; }

    // Forgets every step: the project as it is now is where undoing ends (New, Open).
    void Reset(bool modified);
    // The change from the last snapshot to the project as it is now becomes one step named what.
    // Steps typed into the same field in a row are one: typedInto names the field, or by default
    // the focused field when it holds typing of its own.
    void Record(const QString& what, QWidget* typedInto = nullptr);
    // Takes the project as it is now without a step, for changes that are not edits (another
    // version selected, a page reading the disk as it shows the project).
    void Resync();
    // The project as it is now is the saved one.
    void MarkSaved();
    bool IsModified() const;
    // True while a snapshot is being put back and the view reloads from it.
    bool IsRestoring() const { return m_bRestoring; }

    // The line edit that typing into widget goes to (an editable combo's own), or null.
    static QLineEdit* TextFieldOf(QObject* widget);

    void Undo() { m_stack.undo(); }
    void Redo() { m_stack.redo(); }

    using Snapshot = std::shared_ptr<const CDataArray>;
    // Puts snapshot back into the project and has the view show it (from a step).
    void Restore(const Snapshot& snapshot);

signals:
    // The project was put back: everything shown must be read again.
    void Restored();
    // IsModified() may have changed.
    void ModifiedChanged();

private:
    Snapshot TakeSnapshot() const;

    CDataArray& m_project;
    QUndoStack m_stack;
    Snapshot m_snapshot;
    // Modified before the first step (repaired on opening, made by the wizard).
    bool m_bBaseModified = false;
    bool m_bRestoring = false;
};

}  // namespace velkan
