// The main window: menus, accelerators, the toolbar with text labels, the status bar, the
// caption "Orvanti Velkan - NAME*", the saved placement, and the view.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace velkan {

class CSetwellApp;
class CSetwellDoc;
class CSetwellView;
class IBuildRunner;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CSetwellApp& app, CSetwellDoc& doc, IBuildRunner& runner);

    CSetwellView* GetView() const { return m_view; }
    QAction* Action(int commandId) const { return m_actions.value(commandId); }

    // The caption from the document's title and modified flag; set only when it changed.
    void OnUpdateFrameTitle();
    // Rebuilds the recent-file entries of the File menu.
    void RebuildRecentMenu();
    // Greys or enables every menu and toolbar button while a build runs.
    void EnableCommands(bool enable);
    // The message pane of the status bar (cleared with an empty text).
    void SetMessageText(const QString& text);

    // Parses a "Settings"/"Window" value "x,y,width,height"; true (with the rectangle) when it
    // holds four numbers and lies wholly on a screen of the given size.
    static bool ParsePlacement(const QString& value, const QSize& screen, QRect* placement);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Ctrl+Z and Ctrl+Y in a field with nothing of its own to undo or redo go to Edit.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key = {});
    void CreateMenus();
    // Undo and Redo enabled and named after the steps they would take.
    void UpdateUndoCommands();
    void CreateToolBar();
    void CreateStatusBar();
    void RestorePlacement();
    void SavePlacement();

    CSetwellApp& m_app;
    CSetwellDoc& m_doc;
    CSetwellView* m_view;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QHash<int, QAction*> m_actions;
    QLabel* m_message = nullptr;
    // False while a build runs: Undo and Redo stay greyed whatever the steps.
    bool m_bCommandsEnabled = true;
};

}  // namespace velkan
