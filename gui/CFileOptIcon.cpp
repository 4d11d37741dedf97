#include "gui/CFileOptIcon.h"

#include <QCursor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "core/model/CData.h"
#include "gui/CMacroMenu.h"
#include "gui/QtText.h"

namespace velkan {

CFileOptIcon::CFileOptIcon(CFilesPage* filesPage)
    : COptPage(filesPage, kTemplateId),
      m_folder(new QLineEdit(this)),
      m_name(new QLineEdit(this)),
      m_args(new QLineEdit(this)),
      m_iconNumber(new QLineEdit(this)),
      m_macro(new QPushButton(">", this))
{
    auto* form = new QFormLayout(this);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    m_macro->setFixedWidth(m_macro->fontMetrics().horizontalAdvance(">") + 16);
    folderRow->addWidget(m_macro);
    auto* folderLabel = new QLabel(tr("&Folder :"), this);
    folderLabel->setBuddy(m_folder);
    form->addRow(folderLabel, folderRow);
    form->addRow(tr("&Name :"), m_name);
    form->addRow(tr("&Command line options :"), m_args);
    form->addRow(tr("&Icon number :"), m_iconNumber);
    // Digits only, as typed; a pasted sign is read as a signed number.
    m_iconNumber->setValidator(
        new QRegularExpressionValidator(QRegularExpression("-?[0-9]*"), m_iconNumber));

    connect(m_folder, &QLineEdit::textChanged, this, &CFileOptIcon::OnFolderChanged);
    connect(m_name, &QLineEdit::textChanged, this, &CFileOptIcon::OnNameChanged);
    connect(m_args, &QLineEdit::textChanged, this, &CFileOptIcon::OnArgsChanged);
    connect(m_iconNumber, &QLineEdit::textChanged, this, &CFileOptIcon::OnIconNumberChanged);
    connect(m_macro, &QPushButton::clicked, this, [this] {
        int id = CMacroMenu::Track(CMacroMenu::Macro3, this, QCursor::pos());
        if (id != 0) InsertMacro(id);
    });
}

void CFileOptIcon::Refresh()
{
    m_bUpdating = true;
    CData* version = GetCurrent();
    std::vector<int> selected = version ? Selected() : std::vector<int>();
    bool any = !selected.empty();
    m_folder->setEnabled(any);
    m_macro->setEnabled(any);
    QString folder;
    if (any) {
        const std::string& first =
            version->m_files[static_cast<size_t>(selected[0])].m_strMenuFolder;
        folder = ToQt(first);
        for (int index : selected) {
            if (!EqualNoCase1252(version->m_files[static_cast<size_t>(index)].m_strMenuFolder,
                                 first)) {
                folder.clear();
                break;
            }
        }
    }
    m_folder->setText(folder);
    int single = SingleSelected();
    bool one = version && single >= 0;
    for (QLineEdit* edit : {m_name, m_args, m_iconNumber}) edit->setEnabled(one);
    if (one) {
        const CFileItem& file = version->m_files[static_cast<size_t>(single)];
        m_name->setText(ToQt(file.m_strMenuName));
        m_args->setText(ToQt(file.m_strMenuArgs));
        m_iconNumber->setText(QString::number(file.m_nIconIndex));
    } else {
        m_name->clear();
        m_args->clear();
        m_iconNumber->clear();
    }
    m_bUpdating = false;
}

void CFileOptIcon::OnFolderChanged()
{
    CData* version = GetCurrent();
    if (m_bUpdating || !version) return;
    std::string folder = FromQt(m_folder->text());
    for (int index : Selected()) {
        CFileItem& file = version->m_files[static_cast<size_t>(index)];
        if (file.m_strMenuFolder == folder) continue;
        file.m_strMenuFolder = folder;
        FileChanged(index);
    }
}

void CFileOptIcon::OnNameChanged()
{
    CData* version = GetCurrent();
    int index = SingleSelected();
    if (m_bUpdating || !version || index < 0) return;
    std::string name = FromQt(m_name->text());
    CFileItem& file = version->m_files[static_cast<size_t>(index)];
    if (file.m_strMenuName == name) return;
    file.m_strMenuName = name;
    FileChanged(index);
}

void CFileOptIcon::OnArgsChanged()
{
    CData* version = GetCurrent();
    int index = SingleSelected();
    if (m_bUpdating || !version || index < 0) return;
    std::string args = FromQt(m_args->text());
    CFileItem& file = version->m_files[static_cast<size_t>(index)];
    if (file.m_strMenuArgs == args) return;
    file.m_strMenuArgs = args;
    FileChanged(index);
}

void CFileOptIcon::OnIconNumberChanged()
{
    CData* version = GetCurrent();
    int index = SingleSelected();
    if (m_bUpdating || !version || index < 0) return;
    bool ok = false;
    int value = m_iconNumber->text().toInt(&ok);
    if (!ok) value = 0;
    CFileItem& file = version->m_files[static_cast<size_t>(index)];
    if (file.m_nIconIndex == value) return;
    file.m_nIconIndex = value;
    FileChanged(index);
}

void CFileOptIcon::InsertMacro(int commandId)
{
    QString text = m_folder->text();
    if (CMacroMenu::Offers(CMacroMenu::Macro3, commandId)) text += CMacroMenu::TokenFor(commandId);
    // Written back even when unchanged, which stores the field on every selected file.
    if (text == m_folder->text()) {
        OnFolderChanged();
    } else {
        m_folder->setText(text);
    }
}

}  // namespace velkan
