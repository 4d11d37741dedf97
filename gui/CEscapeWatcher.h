// Notices the Escape key while a long operation runs inside one handler (directory scan, build).
// Installed on the application for its lifetime; the operation polls it. With input blocked, all
// other keyboard and mouse input is swallowed, so the pumped events cannot start a second
// operation.
#pragma once

#include <QObject>

namespace velkan {

class CEscapeWatcher : public QObject {
    Q_OBJECT
public:
    explicit CEscapeWatcher(bool blockInput);
    ~CEscapeWatcher() override;

    // Handles the waiting events; then true once if Escape was pressed since the last call.
    bool PollEscape();
    bool WasPressed() const { return m_bPressed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_bBlockInput;
    bool m_bPressed = false;
};

}  // namespace velkan
