#include "core/builder/CBuildProgress.h"

#include <algorithm>
#include <cstdio>

#include "core/model/CUserAbort.h"
#include "core/res/StringTable.h"

namespace velkan {

namespace {

constexpr int kAskStop = 1076;  // "Do you want to stop?"

}  // namespace

std::string CBuildProgress::PercentText(uint32_t position)
{
    char text[32];
    std::snprintf(text, sizeof text, "%2.2d.%2.2d %%", static_cast<int>(position / 100),
                  static_cast<int>(position % 100));
    return text;
}

void CBuildProgress::Start()
{
    m_nPosition = 0;
    m_host.ShowProgress(0, kStartText);
}

void CBuildProgress::SetRange(uint32_t start, uint32_t end, uint64_t fileLength)
{
    m_nRangeStart = start;
    m_nRangeEnd = end;
    m_nFileLength = fileLength;
}

void CBuildProgress::SetBar(uint32_t position)
{
    m_nPosition = std::min(position, kFull);
    m_host.ShowProgress(m_nPosition, PercentText(m_nPosition));
}

void CBuildProgress::Update(uint64_t consumed)
{
    if (m_nFileLength == 0) return;
    double span = static_cast<double>(m_nRangeEnd) - static_cast<double>(m_nRangeStart);
    double at =
        m_nRangeStart + span * static_cast<double>(consumed) / static_cast<double>(m_nFileLength);
    uint32_t position = static_cast<uint32_t>(std::clamp(at, 0.0, static_cast<double>(kFull)));
    if (position == m_nPosition) return;
    ShowPosition(position);
}

void CBuildProgress::ShowPosition(uint32_t position)
{
    SetBar(position);
    Pump();
}

void CBuildProgress::Pump()
{
    switch (m_host.Pump()) {
    case IBuildHost::PumpResult::Continue: return;
    case IBuildHost::PumpResult::Quit: throw CUserAbort();
    case IBuildHost::PumpResult::StopRequested:
        if (m_host.AskYesNo(LoadString(kAskStop))) throw CUserAbort();
        return;
    }
}

}  // namespace velkan
