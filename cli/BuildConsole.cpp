#include "cli/BuildConsole.h"

#include <csignal>

#include "core/builder/ReportNumbers.h"
#include "core/platform/CodePage.h"

namespace velkan::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_previous;

void OnInterrupt(int)
{
    g_interrupted = 1;
}

constexpr int kBarWidth = 40;

}  // namespace

CBuildConsole::CBuildConsole(bool yes, bool progress) : m_bYes(yes), m_bProgress(progress)
{
    g_interrupted = 0;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a disk prompt waiting on stdin sees the interruption
    sigaction(SIGINT, &action, &g_previous);
}

CBuildConsole::~CBuildConsole()
{
    sigaction(SIGINT, &g_previous, nullptr);
}

bool CBuildConsole::Interrupted()
{
    return g_interrupted != 0;
}

void CBuildConsole::BeginProgress() {}

void CBuildConsole::EndProgress()
{
    if (!m_bBarShown) return;
    std::fprintf(stderr, "\r%*s\r", kBarWidth + 14, "");
    std::fflush(stderr);
    m_bBarShown = false;
}

void CBuildConsole::ShowProgress(uint32_t position, const std::string& text)
{
    if (!m_bProgress) return;
    int filled = static_cast<int>(static_cast<uint64_t>(position) * kBarWidth / 10000);
    std::string bar =
        "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " + text;
    if (bar == m_strLastBar) return;
    m_strLastBar = bar;
    std::fprintf(stderr, "\r%s", bar.c_str());
    std::fflush(stderr);
    m_bBarShown = true;
}

IBuildHost::PumpResult CBuildConsole::Pump()
{
    return Interrupted() ? PumpResult::Quit : PumpResult::Continue;
}

bool CBuildConsole::AskYesNo(const std::string& question)
{
    // Only the warnings question reaches a command-line build: it never waits for an answer.
    std::fprintf(stderr, "%s %s\n", Cp1252ToUtf8(question).c_str(),
                 m_bYes ? "Yes (--yes)." : "No (run with --yes to build anyway).");
    return m_bYes;
}

void CBuildConsole::ShowInformation(const std::string& text)
{
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(text).c_str());
}

void CBuildConsole::AddLine(const std::string& text)
{
    Line line;
    line.text = Cp1252ToUtf8(text);
    line.width = text.size();
    m_lines.push_back(std::move(line));
}

void CBuildConsole::SetNumbers(int kind, uint64_t size, uint64_t packed)
{
    if (m_lines.empty()) return;
    ReportColumns columns = FormatReportNumbers(kind, size, packed);
    Line& line = m_lines.back();
    line.hasNumbers = true;
    line.packed = columns.packed;
    line.size = columns.size;
    line.ratio = columns.ratio;
}

void CBuildConsole::PrintReport(std::FILE* out) const
{
    size_t file = 4, packed = 6, size = 4, ratio = 5;
    bool any = false;
    for (const Line& line : m_lines) {
        if (!line.hasNumbers) continue;
        any = true;
        file = std::max(file, line.width);
        packed = std::max(packed, line.packed.size());
        size = std::max(size, line.size.size());
        ratio = std::max(ratio, line.ratio.size());
    }
    auto row = [&](const std::string& f, size_t fWidth, const std::string& p, const std::string& s,
                   const std::string& r) {
        std::fprintf(out, "%s%*s  %*s  %*s  %*s\n", f.c_str(), static_cast<int>(file - fWidth), "",
                     static_cast<int>(packed), p.c_str(), static_cast<int>(size), s.c_str(),
                     static_cast<int>(ratio), r.c_str());
    };
    if (any) row("File", 4, "Packed", "Size", "Ratio");
    for (const Line& line : m_lines) {
        if (line.hasNumbers) {
            row(line.text, line.width, line.packed, line.size, line.ratio);
        } else {
            std::fprintf(out, "%s\n", line.text.c_str());
        }
    }
    std::fflush(out);
}

}  // namespace velkan::cli
