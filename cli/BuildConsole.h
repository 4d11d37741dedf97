// velkanc build's side of a build: the warnings on stderr as they come, the report lines kept for
// the per-file table of --verbose, the progress (a bar on a terminal, at most ten redraws a
// second, or a line per tenth with --progress), Ctrl-C, SIGTERM and SIGHUP as the way to stop,
// and the build's question answered from the command line (--yes), never by waiting on a person.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/builder/CBuildReport.h"
#include "core/builder/IBuildHost.h"

namespace velkan::cli {

class CBuildConsole : public IBuildHost, public CBuildReport {
public:
    enum class Progress { None, Bar, Lines };

    // yes answers the build's yes/no question.
    CBuildConsole(bool yes, Progress progress);
    ~CBuildConsole() override;

    // A stopping signal sets a flag that the next pump sees; the handlers are in place while the
    // object lives.
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
    // Printed at once on stderr, one line naming what it is about.
    void AddWarning(const std::string& text, const std::string& about) override;

    // The report as a table (File, Packed, Size, Ratio); lines without numbers as they are.
    void PrintReport(std::FILE* out) const;
    const std::string& Error() const { return m_strError; }
    // The warnings of the checks before the build, as printed (UTF-8, after "warning: ").
    const std::vector<std::string>& Warnings() const { return m_warnings; }

private:
    struct Line {
        std::string text;  // UTF-8
        size_t width = 0;  // characters
        bool hasNumbers = false;
        std::string packed, size, ratio;
    };

    bool m_bYes;
    Progress m_progress;
    bool m_bBarShown = false;
    std::chrono::steady_clock::time_point m_lastDraw{};
    uint32_t m_nLastTenth = 0;
    std::string m_strError;
    std::vector<Line> m_lines;
    std::vector<std::string> m_warnings;
};

}  // namespace velkan::cli
