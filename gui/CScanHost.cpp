#include "gui/CScanHost.h"

#include "gui/QtText.h"

namespace velkan {

namespace {
// Events are handled at most this often: often enough to see Escape at once, rarely enough
// that a scan of many files is not slowed down by it.
constexpr qint64 kPollIntervalMs = 40;
}  // namespace

CScanHost::CScanHost(std::function<void(const QString&)> showText)
    : m_showText(std::move(showText)), m_watcher(true)
{
}

void CScanHost::ShowStatus(const std::string& text)
{
    if (m_showText) m_showText(ToQt(text));
}

bool CScanHost::IsCancelRequested()
{
    if (m_sinceLastPoll.isValid() && m_sinceLastPoll.elapsed() < kPollIntervalMs) {
        return m_watcher.WasPressed();
    }
    m_sinceLastPoll.start();
    return m_watcher.PollEscape();
}

}  // namespace velkan
