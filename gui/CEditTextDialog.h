// "Edit Text": the multi-line text of the Information page's scroll box, which does not fit a
// row of the texts list.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace velkan {

class CEditTextDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 155;

    CEditTextDialog(QWidget* parent, const std::string& text);

    // The text as typed, each line break stored as carriage return and line feed, as the
    // install program's multi-line box shows it.
    std::string Text() const;
    QPlainTextEdit* Edit() const { return m_edit; }

private:
    QPlainTextEdit* m_edit;
};

}  // namespace velkan
