#include "gui/CSetwellView.h"

#include <QApplication>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/wizard/WizardPage.h"
#include "gui/CInstallSheet.h"
#include "gui/CPatchPage.h"
#include "gui/CSetwellDoc.h"
#include "gui/CVersionsBar.h"
#include "gui/CommitEdits.h"
#include "gui/CWizardTest.h"

namespace velkan {

CSetwellView::CSetwellView(CSetwellDoc& doc, IBuildRunner& runner, QWidget* parent)
    : QWidget(parent), m_doc(doc)
{
    m_doc.SetView(this);
    m_bar = new CVersionsBar(doc, this);
    m_sheet = new CInstallSheet(doc, runner, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(m_bar);
    // The sheet never gets smaller than its pages were designed; a window smaller than that (a
    // small or high-density screen) scrolls the sheet instead of growing past the screen.
    auto* scroller = new QScrollArea(this);
    scroller->setWidget(m_sheet);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    layout->addWidget(scroller, 1);
}

void CSetwellView::RefreshPages()
{
    for (CPatchPage* page : m_sheet->Pages()) {
        if (page->IsCreated()) page->LoadFromProject();
    }
    if (m_sheet->IsCreated()) m_sheet->RefreshBuildPage();
    // What the pages read from the disk as they reload is where the next edit starts.
    m_doc.ProjectShown();
}

void CSetwellView::RefreshAll()
{
    // The bar's refresh ends with RefreshPages.
    m_bar->Refresh();
}

void CSetwellView::NotifyPreferencesChanged()
{
    for (CPatchPage* page : m_sheet->Pages()) {
        if (page->IsCreated()) page->PreferencesChanged();
    }
}

void CSetwellView::OnTest()
{
    CommitFocusedEdit();
    CWizardTest::Run(m_doc.m_project, kNoStartPage, window());
}

void CSetwellView::OnBuild()
{
    CommitFocusedEdit();
    if (m_sheet) m_sheet->BuildNow();
}

void CSetwellView::FocusNextPane(bool forward)
{
    (void)forward;  // two panes: either direction goes to the other one
    if (m_bar->isAncestorOf(focusWidget()) || focusWidget() == m_bar) {
        m_sheet->setFocus();
        if (QWidget* page = m_sheet->currentWidget()) page->setFocus();
    } else {
        m_bar->FocusCombo();
    }
}

}  // namespace velkan
