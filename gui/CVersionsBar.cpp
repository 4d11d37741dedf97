#include "gui/CVersionsBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CommandIds.h"
#include "gui/QtText.h"

namespace velkan {

CVersionsBar::CVersionsBar(CSetwellDoc& doc, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_combo(new QComboBox(this)),
      m_add(new QPushButton(tr("&Add"), this)),
      m_del(new QPushButton(tr("&Del"), this)),
      m_exclusive(new QCheckBox(tr("&Mutually exclusive"), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 2);
    auto* label = new QLabel(tr("Version :"), this);
    label->setBuddy(m_combo);
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setObjectName("id1020");
    m_add->setToolTip(CommandShortName(IdVersionAdd));
    m_add->setStatusTip(CommandPrompt(IdVersionAdd));
    m_del->setToolTip(CommandShortName(IdVersionDel));
    m_del->setStatusTip(CommandPrompt(IdVersionDel));
    layout->addWidget(label);
    layout->addWidget(m_combo, 1);
    layout->addSpacing(8);
    layout->addWidget(m_add);
    layout->addWidget(m_del);
    layout->addSpacing(8);
    layout->addWidget(m_exclusive);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    connect(m_combo, qOverload<int>(&QComboBox::activated), this, &CVersionsBar::OnSelect);
    connect(m_combo->lineEdit(), &QLineEdit::textEdited, this, &CVersionsBar::OnRename);
    connect(m_add, &QPushButton::clicked, this, &CVersionsBar::OnAdd);
    connect(m_del, &QPushButton::clicked, this, &CVersionsBar::OnDel);
    connect(m_exclusive, &QCheckBox::toggled, this, &CVersionsBar::OnExclusive);
}

void CVersionsBar::Refresh()
{
    CDataArray& project = m_doc.m_project;
    m_bFilling = true;
    m_combo->clear();
    for (const CData& version : project.m_versions) m_combo->addItem(ToQt(version.m_strName));
    if (project.GetCurrent()) {
        m_combo->setCurrentIndex(project.m_nCurrent);
    } else {
        m_combo->setCurrentIndex(-1);
    }
    m_exclusive->setChecked(project.m_bExclusive != 0);
    // The last version cannot be deleted.
    m_del->setEnabled(project.m_versions.size() > 1);
    m_bFilling = false;
    if (CSetwellView* view = m_doc.GetFirstView()) view->RefreshPages();
}

void CVersionsBar::OnSelect(int index)
{
    if (index < 0) return;
    m_doc.m_project.m_nCurrent = index;
    Refresh();
}

void CVersionsBar::OnRename(const QString& text)
{
    CData* current = m_doc.m_project.GetCurrent();
    if (!current) return;
    std::string name = FromQt(text);
    if (name == current->m_strName) return;
    current->m_strName = name;
    // The list entry follows the typed name, without a refill while typing.
    m_combo->setItemText(m_doc.m_project.m_nCurrent, text);
    // Setting the entry's text clears the field's own typing, so the field is named here.
    m_doc.RecordEdit(tr("Rename Version"), m_combo->lineEdit());
}

void CVersionsBar::OnAdd()
{
    CDataArray& project = m_doc.m_project;
    CData copy;
    if (const CData* current = project.GetCurrent()) copy.CopyFrom(*current);
    copy.m_strName =
        FromQt(LoadQString(1188).replace("%d", QString::number(project.m_versions.size() + 1)));
    project.m_versions.push_back(std::move(copy));
    project.m_nCurrent = static_cast<int32_t>(project.m_versions.size() - 1);
    m_doc.RecordEdit(tr("Add Version"));
    Refresh();
}

void CVersionsBar::OnDel()
{
    CDataArray& project = m_doc.m_project;
    // No question: Edit > Undo brings the version back.
    if (project.m_versions.size() < 2 || !project.GetCurrent()) return;
    auto index = static_cast<size_t>(project.m_nCurrent);
    project.m_versions.erase(project.m_versions.begin() + static_cast<std::ptrdiff_t>(index));
    if (index >= project.m_versions.size()) index = project.m_versions.size() - 1;
    project.m_nCurrent = static_cast<int32_t>(index);
    m_doc.RecordEdit(tr("Delete Version"));
    Refresh();
}

void CVersionsBar::OnExclusive(bool checked)
{
    if (m_bFilling) return;
    m_doc.m_project.m_bExclusive = checked ? 1 : 0;
    // Not an edit that asks to be saved or makes a step of its own: the next step starts from it.
    m_doc.ProjectShown();
}

void CVersionsBar::FocusCombo()
{
    m_combo->setFocus();
}

}  // namespace velkan
