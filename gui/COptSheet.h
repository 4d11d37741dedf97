// The File Options sheet on the Files page: Start menu, Shortcut, View / Run and Advanced.
#pragma once

#include <QList>
#include <QTabWidget>

namespace velkan {

class CFileOptAdv;
class CFileOptEndPage;
class CFileOptIcon;
class CFileOptShortCut;
class CFilesPage;
class COptPage;

class COptSheet : public QTabWidget {
    Q_OBJECT
public:
    explicit COptSheet(CFilesPage* filesPage);

    // The active page shows the current selection.
    void RefreshActivePage();

    CFileOptIcon* IconPage() const { return m_icon; }
    CFileOptShortCut* ShortcutPage() const { return m_shortcut; }
    CFileOptEndPage* EndPage() const { return m_endPage; }
    CFileOptAdv* AdvancedPage() const { return m_advanced; }

private:
    CFileOptIcon* m_icon;
    CFileOptShortCut* m_shortcut;
    CFileOptEndPage* m_endPage;
    CFileOptAdv* m_advanced;
};

}  // namespace velkan
