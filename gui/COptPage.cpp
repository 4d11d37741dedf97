#include "gui/COptPage.h"

#include "gui/CFilesPage.h"

namespace velkan {

COptPage::COptPage(CFilesPage* filesPage, int templateId)
    : QWidget(nullptr), m_filesPage(filesPage), m_nTemplateId(templateId)
{
}

CData* COptPage::GetCurrent() const
{
    return m_filesPage->GetCurrent();
}

std::vector<int> COptPage::Selected() const
{
    return m_filesPage->SelectedFiles();
}

int COptPage::SingleSelected() const
{
    std::vector<int> selected = Selected();
    return selected.size() == 1 ? selected.front() : -1;
}

void COptPage::FileChanged(int fileIndex)
{
    m_filesPage->UpdateRowCode(fileIndex);
    m_filesPage->SetProjectModified();
}

}  // namespace velkan
