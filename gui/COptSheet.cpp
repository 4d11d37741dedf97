#include "gui/COptSheet.h"

#include <QTabBar>

#include "gui/CFileOptAdv.h"
#include "gui/CFileOptEndPage.h"
#include "gui/CFileOptIcon.h"
#include "gui/CFileOptShortCut.h"

namespace velkan {

COptSheet::COptSheet(CFilesPage* filesPage)
    : m_icon(new CFileOptIcon(filesPage)),
      m_shortcut(new CFileOptShortCut(filesPage)),
      m_endPage(new CFileOptEndPage(filesPage)),
      m_advanced(new CFileOptAdv(filesPage))
{
    addTab(m_icon, tr("Start &menu"));
    addTab(m_shortcut, tr("S&hortcut"));
    addTab(m_endPage, tr("&View/Run"));
    addTab(m_advanced, tr("Advan&ced"));
    // All four tabs in view at the page's size: compact tabs, scroll arrows only as a last resort.
    setStyleSheet("QTabBar::tab { padding: 3px 5px; }");
    tabBar()->setExpanding(false);
    setUsesScrollButtons(true);
    setDocumentMode(false);
    connect(this, &QTabWidget::currentChanged, this, &COptSheet::RefreshActivePage);
}

void COptSheet::RefreshActivePage()
{
    if (auto* page = qobject_cast<COptPage*>(currentWidget())) page->Refresh();
}

}  // namespace velkan
