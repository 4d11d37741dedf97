#include "gui/CProjectUndo.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QUndoCommand>
#include <utility>

namespace velkan {

namespace {

// The id shared by the steps of typing; mergeWith then requires the same field.
constexpr int kTypingId = 1;

class CProjectStep : public QUndoCommand {
public:
    CProjectStep(CProjectUndo& owner, CProjectUndo::Snapshot before, CProjectUndo::Snapshot after,
                 QWidget* field, const QString& what)
        : QUndoCommand(what),
          m_owner(owner),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_field(field)
    {
    }

    int id() const override { return m_field ? kTypingId : -1; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const CProjectStep*>(other);
        if (!m_field || next->m_field != m_field) return false;
        m_after = next->m_after;
        return true;
    }

    void undo() override { m_owner.Restore(m_before); }

    void redo() override
    {
        // Pushed after the edit was made: the first redo has nothing to do.
        if (m_bDone) m_owner.Restore(m_after);
        m_bDone = true;
    }

private:
    CProjectUndo& m_owner;
    CProjectUndo::Snapshot m_before;
    CProjectUndo::Snapshot m_after;
    QPointer<QWidget> m_field;
    bool m_bDone = false;
};

// The field being typed into: a focused line edit (an editable combo's own included) holding typing
// of its own since it was last filled (which clears its history). A field just entered, whose
// predecessor stores its text on leaving, is not it.
QWidget* TypingField()
{
    QLineEdit* edit = CProjectUndo::TextFieldOf(QApplication::focusWidget());
    return edit && edit->isUndoAvailable() ? edit : nullptr;
}

}  // namespace

CProjectUndo::CProjectUndo(CDataArray& project) : m_project(project)
{
    m_stack.setUndoLimit(kStepLimit);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &CProjectUndo::ModifiedChanged);
    m_snapshot = TakeSnapshot();
}

QLineEdit* CProjectUndo::TextFieldOf(QObject* widget)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(widget);
}

CProjectUndo::Snapshot CProjectUndo::TakeSnapshot() const
{
    auto copy = std::make_shared<CDataArray>();
    copy->CopyFrom(m_project);
    return copy;
}

void CProjectUndo::Reset(bool modified)
{
    m_stack.clear();
    m_bBaseModified = modified;
    m_snapshot = TakeSnapshot();
    emit ModifiedChanged();
}

void CProjectUndo::Record(const QString& what, QWidget* typedInto)
{
    // What a page does while the view reloads a snapshot is no edit of its own.
    if (m_bRestoring) return;
    Snapshot after = TakeSnapshot();
    Snapshot before = std::exchange(m_snapshot, after);
    m_stack.push(new CProjectStep(*this, std::move(before), std::move(after),
                                  typedInto ? typedInto : TypingField(), what));
    emit ModifiedChanged();
}

void CProjectUndo::Resync()
{
    if (!m_bRestoring) m_snapshot = TakeSnapshot();
}

void CProjectUndo::MarkSaved()
{
    m_bBaseModified = false;
    m_stack.setClean();
    emit ModifiedChanged();
}

bool CProjectUndo::IsModified() const
{
    return m_bBaseModified || !m_stack.isClean();
}

void CProjectUndo::Restore(const Snapshot& snapshot)
{
    m_bRestoring = true;
    m_project.CopyFrom(*snapshot);
    m_snapshot = snapshot;
    emit Restored();
    m_bRestoring = false;
}

}  // namespace velkan
