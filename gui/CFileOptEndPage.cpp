#include "gui/CFileOptEndPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/model/CData.h"

namespace velkan {

CFileOptEndPage::CFileOptEndPage(CFilesPage* filesPage)
    : COptPage(filesPage, kTemplateId), m_view(new QCheckBox(this)), m_run(new QCheckBox(this))
{
    auto* layout = new QVBoxLayout(this);
    const std::pair<QCheckBox*, QString> boxes[] = {
        {m_view, tr("&Add a View button for this file to the end page of the install wizard.")},
        {m_run, tr("&Add a Run check-box for this file to the end page of the install wizard.")},
    };
    for (const auto& [box, text] : boxes) {
        // The long captions wrap in a label beside the box instead of widening the sheet.
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        label->setBuddy(box);
        box->setAccessibleName(QString(text).remove('&'));
        row->addWidget(box, 0, Qt::AlignTop);
        row->addWidget(label, 1);
        layout->addLayout(row);
    }
    layout->addStretch(1);
    connect(m_view, &QCheckBox::clicked, this,
            [this](bool checked) { OnClick(EndPageView, checked); });
    connect(m_run, &QCheckBox::clicked, this,
            [this](bool checked) { OnClick(EndPageRun, checked); });
}

void CFileOptEndPage::Refresh()
{
    CData* version = GetCurrent();
    int index = version ? SingleSelected() : -1;
    int endPage = index >= 0 ? version->m_files[static_cast<size_t>(index)].GetOption(OptEndPage)
                             : EndPageNone;
    m_view->setEnabled(index >= 0);
    m_run->setEnabled(index >= 0);
    m_view->setChecked(index >= 0 && endPage == EndPageView);
    m_run->setChecked(index >= 0 && endPage == EndPageRun);
}

void CFileOptEndPage::OnClick(EndPageAction kind, bool checked)
{
    CData* version = GetCurrent();
    int index = SingleSelected();
    if (!version || index < 0) return;
    if (checked) {
        (kind == EndPageView ? m_run : m_view)->setChecked(false);
        for (size_t i = 0; i < version->m_files.size(); ++i) {
            if (version->m_files[i].GetOption(OptEndPage) == kind) {
                version->m_files[i].SetOption(OptEndPage, EndPageNone);
                FileChanged(static_cast<int>(i));
            }
        }
        version->m_files[static_cast<size_t>(index)].SetOption(OptEndPage, kind);
    } else {
        version->m_files[static_cast<size_t>(index)].SetOption(OptEndPage, EndPageNone);
    }
    FileChanged(index);
}

}  // namespace velkan
