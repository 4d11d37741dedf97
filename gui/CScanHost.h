// The directory scan's view of the window: the file being added in the status bar's message
// pane, and the Escape key as the cancel request. Other input is held back while the scan runs.
#pragma once

#include <QElapsedTimer>
#include <functional>

#include "core/model/IScanHost.h"
#include "gui/CEscapeWatcher.h"

namespace velkan {

class CScanHost : public IScanHost {
public:
    // showText shows a line in the status bar at once.
    explicit CScanHost(std::function<void(const QString&)> showText);

    void ShowStatus(const std::string& text) override;
    bool IsCancelRequested() override;

private:
    std::function<void(const QString&)> m_showText;
    CEscapeWatcher m_watcher;
    QElapsedTimer m_sinceLastPoll;
};

}  // namespace velkan
