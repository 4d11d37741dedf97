// How the delta encoder reports how far it got. Positions are hundredths of a percent (0..10000)
// of the whole build, already mapped into the range the build gave for the current file.
#pragma once

#include <cstdint>

namespace velkan {

class IDeltaProgress {
public:
    virtual ~IDeltaProgress() = default;
    // The position the progress display shows now.
    virtual uint32_t GetShownPosition() const = 0;
    // Shows position (bar and "%2.2d.%2.2d %%" text) and lets the user interface breathe; it
    // throws to cancel (the user pressed Escape and agreed to stop).
    virtual void ShowPosition(uint32_t position) = 0;
};

}  // namespace velkan
