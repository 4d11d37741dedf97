#include "gui/CMissingDirDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/CFolderBrowser.h"

namespace velkan {

CMissingDirDialog::CMissingDirDialog(QWidget* parent, const QString& missingDirectory)
    : QDialog(parent), m_edit(new QLineEdit(missingDirectory, this))
{
    setWindowTitle(tr("Cannot find directory"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Velkan cannot find the following directory. Please enter below a "
                               "valid directory name :"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    row->addWidget(m_edit, 1);
    auto* browse = new QPushButton(tr("..."), this);
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance("....") + 16);
    row->addWidget(browse);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    resize(440, sizeHint().height());

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &CMissingDirDialog::BrowseFolder);
    connect(m_edit, &QLineEdit::textChanged, this, &CMissingDirDialog::Validate);
    connect(m_edit, &QLineEdit::editingFinished, this, &CMissingDirDialog::Validate);

    Validate();
    m_edit->setFocus();
}

void CMissingDirDialog::Validate()
{
    QString text = m_edit->text();
    if (text.isEmpty()) return;
    if (!text.endsWith(QDir::separator())) text += QDir::separator();
    m_strDirectory = text;
    QFileInfo info(text);
    int state = info.isDir() && info.isExecutable() ? 1 : 0;
    if (state != m_nOkState) {
        m_nOkState = state;
        m_ok->setEnabled(state == 1);
    }
}

void CMissingDirDialog::BrowseFolder()
{
    CFolderBrowser browser(this, m_edit->text());
    if (browser.Browse() == CFolderBrowser::Chosen) {
        m_edit->setText(browser.Folder());
        Validate();
    }
}

}  // namespace velkan
