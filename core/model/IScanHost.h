// What a directory scan needs from the person watching it: a status line to show the file being
// added, and whether they asked to cancel (the Escape key in the editor). The editor implements it;
// the engine never blocks on it.
#pragma once

#include <string>

namespace velkan {

class IScanHost {
public:
    virtual ~IScanHost() = default;
    // Shows text in the status line and repaints it at once.
    virtual void ShowStatus(const std::string& text) = 0;
    // True when the person asked to cancel (polled once per file, without reading messages).
    virtual bool IsCancelRequested() = 0;
};

}  // namespace velkan
