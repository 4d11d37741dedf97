// The progress of one build in the main window's status bar (a bar over three quarters of the
// message pane and the percentage beside it), and the build's host: pumping the window's
// events, the Escape key and questions.
#pragma once

#include <QPointer>

#include "gui/CEscapeWatcher.h"
#include "gui/IBuildHost.h"

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace velkan {

class CBuildProgress : public IBuildHost {
public:
    static constexpr int kRange = 10000;

    // statusBar may be null (no progress is shown then); parent owns the questions.
    CBuildProgress(QStatusBar* statusBar, QWidget* parent);
    ~CBuildProgress() override;

    void ShowProgress(int position) override;
    bool PumpMessages() override;
    bool IsCancelKeyDown() override;
    bool AskYesNo(const std::string& text) override;

    QProgressBar* Bar() const { return m_bar; }
    QLabel* Text() const { return m_text; }

private:
    QPointer<QStatusBar> m_statusBar;
    QWidget* m_parent;
    QProgressBar* m_bar = nullptr;
    QLabel* m_text = nullptr;
    CEscapeWatcher m_watcher;
    bool m_bQuitting = false;
};

}  // namespace velkan
