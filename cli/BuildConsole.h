// velkanc build's side of a build: the report, collected and printed as a table with the Build
// page's columns; a progress bar on stderr when it is a terminal; Ctrl-C as the way to stop; and
// the build's questions answered from the command line (--yes), never by waiting on a person.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/builder/CBuildReport.h"
#include "core/builder/IBuildHost.h"

namespace velkan::cli {

class CBuildConsole : public IBuildHost, public CBuildReport {
public:
    // yes answers the build's yes/no questions; progress draws the bar on stderr.
    CBuildConsole(bool yes, bool progress);
    ~CBuildConsole() override;

    // Ctrl-C sets a flag that the next pump sees; the handler is in place while the object lives.
    static bool Interrupted();

    void BeginProgress() override;
    void EndProgress() override;
    void ShowProgress(uint32_t position, const std::string& text) override;
    PumpResult Pump() override;
    bool AskYesNo(const std::string& question) override;
    void ShowInformation(const std::string& text) override;
    void ShowError(const std::string& text) override { m_strError = text; }

    void AddLine(const std::string& text) override;
    void SetNumbers(int kind, uint64_t size, uint64_t packed) override;

    // The report as a table (File, Packed, Size, Ratio); lines without numbers as they are.
    void PrintReport(std::FILE* out) const;
    const std::string& Error() const { return m_strError; }

private:
    struct Line {
        std::string text;  // UTF-8
        size_t width = 0;  // characters
        bool hasNumbers = false;
        std::string packed, size, ratio;
    };

    bool m_bYes;
    bool m_bProgress;
    bool m_bBarShown = false;
    std::string m_strLastBar;
    std::string m_strError;
    std::vector<Line> m_lines;
};

}  // namespace velkan::cli
