// The Files page: the source directory, the scan of its files (optionally with sub-directories)
// into the current version's file list, the list with each file's flags, and the File Options
// sheet that edits the selected files. Options of files whose path is unchanged survive a
// re-scan.
#pragma once

#include <QTimer>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/model/CFileList.h"
#include "core/model/FileOption.h"
#include "gui/CPatchPage.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velkan {

class COptSheet;

class CFilesPage : public CPatchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 160;
    static constexpr int kBuildTimerMs = 100;

    explicit CFilesPage(CInstallSheet* sheet);

    bool InitPage() override;
    void LoadFromProject() override;
    void PreferencesChanged() override;
    int GetHelpId() const override { return kTemplateId; }
    const AnchorEntry* GetAnchorTable() const override;
    void OnKillActive() override;

    // The order of the list: root files first (locale-aware, case-sensitive), then by directory
    // and name without regard to case. <0, 0, >0.
    static int CompareFileEntries(const std::string& a, const std::string& b);

    // Scans path into the current version's list, keeping the settings of known paths. False,
    // with the list, the directory and the sub-directory flag as they were, when the directory
    // cannot be entered or the scan stopped (Escape, a read error).
    bool RescanFiles(const std::string& path);
    void FillFileList();
    void CommitDirectory();
    void BrowseDirectory();
    void ToggleSubdirectories();
    void SelectAll(bool select);
    void OnRefresh();
    void RunPendingBuild();

    // For the File Options pages.
    void GetSelectionOptions(std::array<int, kFileOptionCount>& values,
                             std::array<int, kFileOptionCount>& enabled) const;
    void SetSelectionOption(int option, int value);
    void UpdateRowCode(int fileIndex);
    // The file indexes of the selected rows, top to bottom.
    std::vector<int> SelectedFiles() const;

    QTreeWidget* FileList() const { return m_list; }
    QLineEdit* DirectoryEdit() const { return m_directory; }
    QCheckBox* SubDirsBox() const { return m_subDirs; }
    COptSheet* OptionsSheet() const { return m_optSheet; }
    QTimer& BuildTimer() { return m_buildTimer; }
    // The context menu's entries as shown now: {Select All enabled, Unselect enabled}.
    std::pair<bool, bool> ContextMenuState() const;

protected:
    void OnSizeChanged(int width, int height) override;

private:
    void ShowContextMenu(const QPoint& pos);
    void SetColumnWidths();
    void ShowStatusText(const QString& text);
    QTreeWidgetItem* RowOfFile(int fileIndex) const;
    void KeepOptionsOfDroppedFiles(const CFileList& before, CData& version);

    QTreeWidget* m_list = nullptr;
    QLineEdit* m_directory = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_subDirs = nullptr;
    QWidget* m_placeholder = nullptr;
    COptSheet* m_optSheet = nullptr;
    QTimer m_buildTimer;
    // The files of sub-directories switched off, per version name, with their options: switched
    // on again, the files still there come back as they were.
    std::map<std::string, CFileList> m_setAside;
};

}  // namespace velkan
