#include "gui/CInstallSheet.h"

#include "gui/CBuildPage.h"
#include "gui/CFilesPage.h"
#include "gui/COptionsPage.h"
#include "gui/CUninstPage.h"
#include "gui/CWizardPagesPage.h"
#include "gui/CWriteInfoPage.h"
#include "gui/CSetwellDoc.h"

namespace velkan {

CInstallSheet::CInstallSheet(CSetwellDoc& doc, IBuildRunner& runner, QWidget* parent)
    : QTabWidget(parent), m_doc(doc)
{
    m_filesPage = new CFilesPage(this);
    m_buildPage = new CBuildPage(this, runner);
    m_pages = {
        m_filesPage,
        new CWizardPagesPage(this),
        new COptionsPage(this),
        new CWriteInfoPage(this),
        new CUninstPage(this),
        m_buildPage,
    };
    for (CPatchPage* page : m_pages) addTab(page, page->GetCaption());
    connect(this, &QTabWidget::currentChanged, this, &CInstallSheet::OnCurrentChanged);
    m_bCreated = true;
    OnCurrentChanged(currentIndex());
}

CDataArray& CInstallSheet::GetProject() const
{
    return m_doc.m_project;
}

CData* CInstallSheet::GetCurrent() const
{
    return m_doc.m_project.GetCurrent();
}

void CInstallSheet::OnCurrentChanged(int index)
{
    if (CPatchPage* old = m_pages.value(m_nActive); old && old->IsCreated() && m_nActive != index) {
        old->OnKillActive();
    }
    m_nActive = index;
    if (CPatchPage* page = m_pages.value(index)) {
        page->EnsureCreated();
        page->OnSetActive();
    }
}

void CInstallSheet::BuildNow()
{
    setCurrentWidget(m_buildPage);
    m_buildPage->OnBuild();
}

void CInstallSheet::RefreshBuildPage()
{
    if (m_buildPage->IsCreated()) m_buildPage->RefreshDisplay();
}

}  // namespace velkan
