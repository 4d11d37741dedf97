// The progress of one build in hundredths of a percent of all source bytes: each file gets a
// range of positions; while it is packed (or coded as a delta) the position moves through that
// range with the bytes consumed. Whenever the shown position changes, the host's user interface
// is pumped, and a request to stop is asked about ("Do you want to stop?"); a stop throws
// CUserAbort, which unwinds the build.
#pragma once

#include <cstdint>
#include <string>

#include "core/builder/IBuildHost.h"
#include "core/delta/IDeltaProgress.h"

namespace velkan {

class CBuildProgress : public IDeltaProgress {
public:
    static constexpr uint32_t kFull = 10000;

    explicit CBuildProgress(IBuildHost& host) : m_host(host) {}

    // "%2.2d.%2.2d %%" of a position: 1234 -> "12.34 %".
    static std::string PercentText(uint32_t position);
    // The text the display starts with.
    static constexpr const char* kStartText = " 00.00% ";

    // Shows position 0 with the start text.
    void Start();
    // The range of the file about to be packed and its length in bytes.
    void SetRange(uint32_t start, uint32_t end, uint64_t fileLength);
    // Sets the bar and text without pumping (the start of each version's turn at a file).
    void SetBar(uint32_t position);
    // The compressor's callback: moves through the current range by the bytes consumed.
    void Update(uint64_t consumed);

    uint32_t GetShownPosition() const override { return m_nPosition; }
    // Shows the position and pumps; throws CUserAbort when the build is to stop.
    void ShowPosition(uint32_t position) override;

private:
    void Pump();

    IBuildHost& m_host;
    uint32_t m_nRangeStart = 0;
    uint32_t m_nRangeEnd = 0;
    uint32_t m_nPosition = 0;
    uint64_t m_nFileLength = 0;
};

}  // namespace velkan
