// The Install info page: what the install program writes besides the files, as three lists of
// the current version: INI entries, registry values and strings written into installed files.
// Each list has Add, Edit and Remove; each row carries its entry's index in the version's list.
#pragma once

#include <vector>

#include "gui/CPatchPage.h"

class QPushButton;
class QTreeWidget;

namespace velkan {

class CWriteInfoPage : public CPatchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10005;
    enum List { IniList, RegList, FileList };

    explicit CWriteInfoPage(CInstallSheet* sheet);

    bool InitPage() override;
    void LoadFromProject() override;
    void PreferencesChanged() override { LoadFromProject(); }
    int GetHelpId() const override { return kTemplateId; }
    const AnchorEntry* GetAnchorTable() const override;
    void OnSetActive() override { LoadFromProject(); }

    void OnAdd(List list);
    void OnEdit(List list);
    void OnRemove(List list);

    QTreeWidget* ListControl(List list) const { return m_lists[list]; }
    QPushButton* RemoveButton(List list) const { return m_remove[list]; }
    // The item data (entry indexes) of the rows, top to bottom.
    std::vector<int> RowIndexes(List list) const;

protected:
    void OnSizeChanged(int width, int height) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int EntryCount(List list) const;
    void SetRowTexts(List list, int row, int index);
    // Runs the list's dialog on entry index (-1: a new entry); true when it was taken.
    bool EditEntry(List list, int index);
    void UpdateRemoveButton(List list);
    void SetInitialWidths();
    void ShowContextMenu(List list, const QPoint& pos);

    QTreeWidget* m_lists[3] = {};
    QPushButton* m_remove[3] = {};
    bool m_bWidthsSet = false;
};

}  // namespace velkan
