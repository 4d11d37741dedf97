// What a running build needs from the window around it: showing progress, keeping the window
// alive, noticing the Escape key and asking a question.
#pragma once

#include <string>

namespace velkan {

class IBuildHost {
public:
    virtual ~IBuildHost() = default;
    // Shows position (hundredths of a percent, 0 to 10000) on the bar and as text.
    virtual void ShowProgress(int position) = 0;
    // Handles the waiting window messages; false when the application is quitting.
    virtual bool PumpMessages() = 0;
    // True once after the Escape key was pressed since the last call.
    virtual bool IsCancelKeyDown() = 0;
    // A Yes/No question (Windows-1252 text); true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace velkan
