// The Build page: the target platform, the Build button and the build's report. While a build
// runs, the button, the tabs, the menus and the toolbar are disabled.
#pragma once

#include <optional>

#include "core/builder/CBuildReport.h"
#include "core/builder/CInstallBuild.h"
#include "gui/CPatchPage.h"

class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace velkan {

class IBuildRunner;

class CBuildPage : public CPatchPage, public CBuildReport {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 136;
    enum Column { ColFile, ColPacked, ColSize, ColRatio };

    CBuildPage(CInstallSheet* sheet, IBuildRunner& runner);

    bool InitPage() override;
    void LoadFromProject() override;
    void PreferencesChanged() override;
    int GetHelpId() const override { return kTemplateId; }
    const AnchorEntry* GetAnchorTable() const override;
    void OnSetActive() override;

    // The platform buttons from the project.
    void RefreshDisplay();
    // The Build button: asks for the output path unless it is kept, runs the build with the
    // window's commands disabled, and enables them again whatever the build's end. A close of
    // the window during the build cancels it and is repeated afterwards (exit status 1).
    void OnBuild();
    // How the last press of Build ended; none when no build started (no version, no path).
    std::optional<BuildStatus> LastResult() const { return m_lastResult; }
    // The exit status of a command-line build that ended so (BuildExitCode); one that did not
    // start counts as stopped.
    static int ExitStatusFor(std::optional<BuildStatus> result);
    void ClearReport();
    bool IsBuilding() const { return m_bBuilding; }

    void AddLine(const std::string& text) override;
    void SetNumbers(int kind, uint64_t size, uint64_t packed) override;

    QPushButton* BuildButton() const { return m_build; }
    QRadioButton* Win32Button() const { return m_win32; }
    QRadioButton* Win31Button() const { return m_win31; }
    QTreeWidget* ReportList() const { return m_report; }
    int LastLine() const { return m_nLastLine; }

protected:
    void OnSizeChanged(int width, int height) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnPlatform(int platform);
    void SetColumnWidths();
    void EnableWindowCommands(bool enable);
    void ShowContextMenu(const QPoint& pos);

    IBuildRunner& m_runner;
    QPushButton* m_build = nullptr;
    QRadioButton* m_win32 = nullptr;
    QRadioButton* m_win31 = nullptr;
    QTreeWidget* m_report = nullptr;
    int m_nLastLine = -1;
    bool m_bBuilding = false;
    std::optional<BuildStatus> m_lastResult;
};

}  // namespace velkan
