#include "gui/CCodePageGuard.h"

#include <QApplication>
#include <algorithm>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <QValidator>

#include "core/platform/CodePage.h"

namespace velkan {

namespace {

constexpr char kGuarded[] = "velkanCodePageGuard";

QString& Last()
{
    static QString last;
    return last;
}

void Tell(QWidget* widget, const QString& character)
{
    Last() = CCodePageGuard::Reason(character);
    QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), Last(), widget);
}

// Refuses an edit that would put an unwritable character into a line edit.
class CCodePageValidator : public QValidator {
public:
    explicit CCodePageValidator(QLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int&) const override
    {
        QString bad = CCodePageGuard::Unwritable(input);
        if (bad.isEmpty()) return Acceptable;
        Tell(m_edit, bad);
        return Invalid;
    }

private:
    QLineEdit* m_edit;
};

void GuardLineEdit(QLineEdit* edit)
{
    // A field with a validator of its own takes numbers only.
    if (edit->validator() || edit->property(kGuarded).toBool()) return;
    edit->setProperty(kGuarded, true);
    edit->setValidator(new CCodePageValidator(edit));
}

void GuardTextEdit(QPlainTextEdit* edit)
{
    if (edit->property(kGuarded).toBool()) return;
    edit->setProperty(kGuarded, true);
    QObject::connect(
        edit->document(), &QTextDocument::contentsChange, edit,
        [edit](int position, int, int added) {
            if (added <= 0) return;
            QTextCursor cursor(edit->document());
            int end = std::min(position + added, edit->document()->characterCount() - 1);
            cursor.setPosition(position);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            // Line breaks come back as paragraph separators.
            QString inserted = cursor.selectedText();
            inserted.replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n');
            QString bad = CCodePageGuard::Unwritable(inserted);
            if (bad.isEmpty()) return;
            // The whole insertion goes, as a refused paste into a line edit does.
            cursor.removeSelectedText();
            Tell(edit, bad);
        });
}

}  // namespace

void CCodePageGuard::Install()
{
    static CCodePageGuard* guard = nullptr;
    if (guard || !qApp) return;
    guard = new CCodePageGuard;
    guard->setParent(qApp);
    qApp->installEventFilter(guard);
}

void CCodePageGuard::Guard(QWidget* widget)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget)) GuardLineEdit(line);
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) GuardTextEdit(text);
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
        GuardLineEdit(combo->lineEdit());
}

QString CCodePageGuard::Unwritable(const QString& text)
{
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        char32_t code = it->unicode();
        if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
            code = QChar::surrogateToUcs4(*it, *(it + 1));
            if (!CodePointToCp1252(code)) return QString(it, 2);
            ++it;
            continue;
        }
        if (!CodePointToCp1252(code)) return QString(*it);
    }
    return QString();
}

QString CCodePageGuard::Reason(const QString& character)
{
    QString code =
        QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, '0');
    return tr("\u201C%1\u201D (U+%2) cannot be written in Windows-1252, the code page of install "
              "programs, so it was not entered.")
        .arg(character, code);
}

QString CCodePageGuard::LastRefusal()
{
    return Last();
}

bool CCodePageGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Polish && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // A file dialog's own fields name host files, which are checked where they are used.
        if (!qobject_cast<QFileDialog*>(widget->window())) Guard(widget);
    }
    return false;
}

}  // namespace velkan
