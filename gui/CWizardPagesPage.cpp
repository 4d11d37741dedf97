#include "gui/CWizardPagesPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "core/model/CDataArray.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardPage.h"
#include "gui/CEditTextDialog.h"
#include "gui/CInstallSheet.h"
#include "gui/CUserPrompt.h"
#include "gui/CWizardTest.h"
#include "gui/CWizardTextList.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

enum ControlId {
    IdPageList = 1009,
    IdTitle = 1042,
    IdPreview = 1109,
    IdTexts = 1014,
    IdUsageGroup = 1062,
    IdUsage = 1041,
};

constexpr AnchorEntry kAnchors[] = {
    {IdPageList, CAnchorLayout::AnchorStretchWidth},
    {IdPreview, CAnchorLayout::AnchorMoveRight},
    {IdTexts, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorStretchHeight},
    {IdUsageGroup, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorMoveDown},
    {IdUsage, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorMoveDown},
    {0, 0},
};

}  // namespace

CWizardPagesPage::CWizardPagesPage(CInstallSheet* sheet)
    : CPatchPage(sheet, kTemplateId, tr("Wizard Texts"), QSize(360, 230))
{
}

const AnchorEntry* CWizardPagesPage::GetAnchorTable() const
{
    return kAnchors;
}

bool CWizardPagesPage::InitPage()
{
    auto* pageLabel = new QLabel(tr("&Page :"), this);
    Place(pageLabel, 0, 7, 8, 40, 9);
    m_pages = new QComboBox(this);
    Place(m_pages, IdPageList, 50, 6, 246, 13);
    pageLabel->setBuddy(m_pages);
    m_preview = new QPushButton(tr("&Preview"), this);
    Place(m_preview, IdPreview, 303, 5, 50, 14);
    auto* titleLabel = new QLabel(tr("&Replace #title macro by :"), this);
    Place(titleLabel, 0, 7, 26, 100, 9);
    m_title = new QLineEdit(this);
    Place(m_title, IdTitle, 110, 24, 186, 13);
    titleLabel->setBuddy(m_title);
    m_list = new CWizardTextList(this);
    Place(m_list, IdTexts, 7, 42, 346, 138);
    m_usageGroup = new QGroupBox(tr("Usage"), this);
    Place(m_usageGroup, IdUsageGroup, 7, 184, 346, 40);
    m_usage = new QLabel(this);
    m_usage->setWordWrap(true);
    m_usage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(m_usage, IdUsage, 13, 195, 334, 26);

    // Every page with a name, in order: not the uninstaller's, edited on a page of its own, nor
    // the last page's reserved slots.
    for (int page = 0; page < kTextPageCount; ++page) {
        if (CTextCatalogue::PageNameId(page) == 0) continue;
        m_pages->addItem(ToQt(CTextCatalogue::GetPageName(page)), page);
    }
    m_pages->setCurrentIndex(0);
    m_preview->setEnabled(true);
    // The column twice as wide as the list, as the original list shows long texts.
    m_list->setColumnWidth(0, 2 * m_list->viewport()->width());

    connect(m_pages, &QComboBox::currentIndexChanged, this, [this] {
        FillTexts();
        m_usage->clear();
    });
    connect(m_title, &QLineEdit::editingFinished, this, &CWizardPagesPage::CommitTitle);
    connect(m_preview, &QPushButton::clicked, this, &CWizardPagesPage::OnPreview);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CWizardPagesPage::ShowUsage);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CWizardPagesPage::OnEdit);
    connect(m_list, &CWizardTextList::LabelEdited, this, &CWizardPagesPage::OnLabelEdited);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CWizardPagesPage::ShowContextMenu);

    setTabOrder(m_pages, m_preview);
    setTabOrder(m_preview, m_title);
    setTabOrder(m_title, m_list);
    LoadFromProject();
    return true;
}

int CWizardPagesPage::SelectedPage() const
{
    return m_pages ? m_pages->currentData().toInt() : 0;
}

void CWizardPagesPage::SelectPage(int page)
{
    if (!m_pages) return;
    int index = m_pages->findData(page);
    if (index >= 0) m_pages->setCurrentIndex(index);
}

void CWizardPagesPage::LoadFromProject()
{
    if (!m_list) return;
    CData* version = GetCurrent();
    if (!version) return;
    m_title->setText(ToQt(version->m_strTitle));
    FillTexts();
}

void CWizardPagesPage::FillTexts()
{
    CData* version = GetCurrent();
    if (!version) return;
    int page = SelectedPage();
    m_list->SetNoInPlaceRow(page == PageInformation ? kInformationText : -1);
    m_list->Fill(version, page);
    // The pages the wizard shows; the version choice only when there is a choice.
    bool preview = page <= PageEnd ||
                   (page == PageVersionChoice && GetSheet()->GetProject().m_versions.size() > 1);
    m_preview->setEnabled(preview);
}

void CWizardPagesPage::CommitTitle()
{
    CData* version = GetCurrent();
    if (!version) return;
    std::string title = FromQt(m_title->text());
    if (title == version->m_strTitle) return;
    version->m_strTitle = title;
    SetProjectModified();
}

void CWizardPagesPage::ShowUsage()
{
    m_usage->setText(m_list->UsageOfSelection(GetCurrent()));
}

bool CWizardPagesPage::ContextMenuEnabled() const
{
    return m_list && !m_list->SelectedSlots().empty();
}

void CWizardPagesPage::ShowContextMenu(const QPoint& pos)
{
    QMenu menu(this);
    QAction* edit = menu.addAction(tr("&Edit"));
    QAction* reset = menu.addAction(tr("&Default"));
    edit->setEnabled(ContextMenuEnabled());
    reset->setEnabled(ContextMenuEnabled());
    QAction* chosen = menu.exec(m_list->viewport()->mapToGlobal(pos));
    if (chosen == edit) OnEdit();
    if (chosen == reset) OnDefault();
}

void CWizardPagesPage::OnEdit()
{
    CData* version = GetCurrent();
    std::vector<int> selected = m_list->SelectedSlots();
    if (!version || selected.empty()) return;
    if (SelectedPage() == PageInformation && selected.front() == kInformationText) {
        std::string& text = version->m_texts[PageInformation][kInformationText];
        CEditTextDialog dialog(this, text);
        if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return;
        text = dialog.Text();
        m_list->UpdateRow(version, kInformationText);
        SetProjectModified();
        return;
    }
    m_list->EditFirstSelected();
}

void CWizardPagesPage::OnLabelEdited(int row, const QString& typed)
{
    if (m_list->EndLabelEdit(GetCurrent(), row, typed)) SetProjectModified();
}

void CWizardPagesPage::OnDefault()
{
    if (m_list->DefaultSelected(GetCurrent())) SetProjectModified();
}

void CWizardPagesPage::OnPreview()
{
    CommitTitle();
    CWizardTest::Run(GetSheet()->GetProject(), SelectedPage(), this);
}

}  // namespace velkan
