#include "gui/CEditTextDialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "gui/DialogButtons.h"
#include "gui/QtText.h"

namespace velkan {

CEditTextDialog::CEditTextDialog(QWidget* parent, const std::string& text)
    : QDialog(parent), m_edit(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Edit Text"));
    QString shown = ToQt(text);
    shown.remove('\r');
    m_edit->setPlainText(shown);
    m_edit->setTabChangesFocus(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit, 1);
    layout->addWidget(MakeDialogButtons(this, kTemplateId));
    resize(520, 360);
}

std::string CEditTextDialog::Text() const
{
    QString text = m_edit->toPlainText();
    text.replace('\n', "\r\n");
    return FromQt(text);
}

}  // namespace velkan
