// The base of the File Options pages: each shows the options of the Files page's selection and
// writes every change straight into the selected files.
#pragma once

#include <QWidget>
#include <vector>

namespace velkan {

class CData;
class CFilesPage;

class COptPage : public QWidget {
    Q_OBJECT
public:
    COptPage(CFilesPage* filesPage, int templateId);

    // Shows the current selection.
    virtual void Refresh() = 0;
    int GetTemplateId() const { return m_nTemplateId; }

protected:
    CData* GetCurrent() const;
    std::vector<int> Selected() const;
    // The one selected file's index, or -1 unless exactly one row is selected.
    int SingleSelected() const;
    // The row's flags column and the project's modified flag, after a change to a file.
    void FileChanged(int fileIndex);
    CFilesPage* FilesPage() const { return m_filesPage; }

private:
    CFilesPage* m_filesPage;
    int m_nTemplateId;
};

}  // namespace velkan
