// The build's host in the editor: the progress bar and its percentage in the status bar's message
// pane, the event pump that keeps the window alive, the Escape key as a request to stop, the
// closing of the window (or the application) as a quit, and the build's questions and messages as
// message boxes. While it lives, input to the main window is held back, so that nothing the person
// clicks can change the project under the running build; message boxes stay usable.
#pragma once

#include <QObject>
#include <QPointer>

#include "core/builder/IBuildHost.h"

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace velkan {

class CQtBuildHost : public QObject, public IBuildHost {
    Q_OBJECT
public:
    static constexpr int kRange = 10000;

    // window: the main window whose input is held back and whose status bar shows the progress
    // (may be null: no progress is shown); parent: the owner of the message boxes.
    CQtBuildHost(QWidget* window, QStatusBar* statusBar, QWidget* parent);
    ~CQtBuildHost() override;

    void BeginProgress() override;
    void EndProgress() override;
    void ShowProgress(uint32_t position, const std::string& text) override;
    PumpResult Pump() override;
    bool AskYesNo(const std::string& question) override;
    void ShowInformation(const std::string& text) override;
    void ShowError(const std::string& text) override;

    // True once the window or the application was asked to close during the build; the close
    // was held back and is the caller's to repeat.
    bool QuitRequested() const { return m_bQuit; }

    QProgressBar* Bar() const { return m_bar; }
    QLabel* Text() const { return m_text; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsInWindow(QObject* watched) const;

    QPointer<QWidget> m_window;
    QPointer<QStatusBar> m_statusBar;
    QWidget* m_parent;
    QPointer<QWidget> m_pane;        // the bar and the text, in place of the message pane
    QPointer<QWidget> m_hiddenPane;  // the message pane, hidden meanwhile
    QProgressBar* m_bar = nullptr;
    QLabel* m_text = nullptr;
    bool m_bEscape = false;
    bool m_bQuit = false;
};

}  // namespace velkan
