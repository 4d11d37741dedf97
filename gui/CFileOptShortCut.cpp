#include "gui/CFileOptShortCut.h"

#include <QFormLayout>
#include <QLineEdit>

#include "core/model/CData.h"
#include "gui/QtText.h"

namespace velkan {

CFileOptShortCut::CFileOptShortCut(CFilesPage* filesPage)
    : COptPage(filesPage, kTemplateId), m_name(new QLineEdit(this)), m_args(new QLineEdit(this))
{
    auto* form = new QFormLayout(this);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->addRow(tr("&Desktop shortcut name :"), m_name);
    form->addRow(tr("&Command line options :"), m_args);
    connect(m_name, &QLineEdit::textChanged, this, &CFileOptShortCut::OnChanged);
    connect(m_args, &QLineEdit::textChanged, this, &CFileOptShortCut::OnChanged);
}

void CFileOptShortCut::Refresh()
{
    m_bUpdating = true;
    CData* version = GetCurrent();
    int index = version ? SingleSelected() : -1;
    m_name->setEnabled(index >= 0);
    m_args->setEnabled(index >= 0);
    if (index >= 0) {
        const CFileItem& file = version->m_files[static_cast<size_t>(index)];
        m_name->setText(ToQt(file.m_strShortcutName));
        m_args->setText(ToQt(file.m_strShortcutArgs));
    } else {
        m_name->clear();
        m_args->clear();
    }
    m_bUpdating = false;
}

void CFileOptShortCut::OnChanged()
{
    CData* version = GetCurrent();
    int index = SingleSelected();
    if (m_bUpdating || !version || index < 0) return;
    CFileItem& file = version->m_files[static_cast<size_t>(index)];
    std::string name = FromQt(m_name->text());
    std::string args = FromQt(m_args->text());
    if (file.m_strShortcutName == name && file.m_strShortcutArgs == args) return;
    file.m_strShortcutName = name;
    file.m_strShortcutArgs = args;
    FileChanged(index);
}

}  // namespace velkan
