// What a build needs from the person running it, apart from disk changes (IDiskHost): the
// progress display, the periodic chance to cancel, and the yes/no questions and messages. The
// editor implements it with the status bar and message boxes, velkanc with the terminal, tests
// with scripts. The engine never blocks on a person by itself.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class IBuildHost {
public:
    enum class PumpResult {
        Continue,
        StopRequested,  // the person asks to stop (Escape): the build asks "Do you want to stop?"
        Quit,           // the program is quitting or was interrupted: the build cancels at once
    };

    virtual ~IBuildHost() = default;

    // The progress display is created before the build's work and destroyed at its end,
    // whatever the outcome.
    virtual void BeginProgress() {}
    virtual void EndProgress() {}
    // Position in hundredths of a percent (0..10000) and its text (" 00.00% " at the start,
    // then "%2.2d.%2.2d %%").
    virtual void ShowProgress(uint32_t position, const std::string& text) = 0;
    // Lets the user interface breathe; called whenever the shown position changes.
    virtual PumpResult Pump() = 0;

    // A Yes/No question (question icon); true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // A notice with an information icon ("Nothing to install! ...").
    virtual void ShowInformation(const std::string& text) = 0;
    // The message of a failed build (a file error and the like), as host text (UTF-8). The
    // questions and notices above are product texts in Windows-1252.
    virtual void ShowError(const std::string& text) = 0;
};

}  // namespace velkan
