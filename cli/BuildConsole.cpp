#include "cli/BuildConsole.h"

#include <csignal>

#include "core/builder/ReportNumbers.h"
#include "core/platform/CodePage.h"
#include "core/platform/InterruptCleanup.h"

namespace velkan::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_previous[std::size(kInterruptSignals)];

void OnInterrupt(int)
{
    g_interrupted = 1;
}

constexpr int kBarWidth = 40;
// A terminal bar redrawn more often only costs output: ten times a second looks continuous.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// The checks' warnings come with "Warning:" or "Warning;" before them: one spelling on stderr.
std::string WithoutWarningWord(std::string text)
{
    if (text.rfind("Warning", 0) == 0 && text.size() > 8 && (text[7] == ':' || text[7] == ';')) {
        text.erase(0, text.find_first_not_of(' ', 8));
    }
    return text;
}

}  // namespace

CBuildConsole::CBuildConsole(bool yes, Progress progress) : m_bYes(yes), m_progress(progress)
{
    g_interrupted = 0;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a disk prompt waiting on stdin sees the interruption
    for (size_t i = 0; i < std::size(kInterruptSignals); ++i) {
        sigaction(kInterruptSignals[i], &action, &g_previous[i]);
    }
}

CBuildConsole::~CBuildConsole()
{
    for (size_t i = 0; i < std::size(kInterruptSignals); ++i) {
        sigaction(kInterruptSignals[i], &g_previous[i], nullptr);
    }
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
    if (m_progress == Progress::Lines) {
        const uint32_t tenth = position / 1000;
        if (tenth <= m_nLastTenth) return;
        m_nLastTenth = tenth;
        std::fprintf(stderr, "velkanc: %u%%\n", tenth * 10);
        std::fflush(stderr);
        return;
    }
    if (m_progress != Progress::Bar) return;
    const auto now = std::chrono::steady_clock::now();
    if (m_bBarShown && position < 10000 && now - m_lastDraw < kRedrawInterval) return;
    m_lastDraw = now;
    int filled = static_cast<int>(static_cast<uint64_t>(position) * kBarWidth / 10000);
    std::string bar =
        "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " + text;
    std::fprintf(stderr, "\r%s", bar.c_str());
    std::fflush(stderr);
    m_bBarShown = true;
}

IBuildHost::PumpResult CBuildConsole::Pump()
{
    return Interrupted() ? PumpResult::Quit : PumpResult::Continue;
}

bool CBuildConsole::AskYesNo(const std::string&)
{
    // Only the warnings question reaches a command-line build: --yes answers it; without it the
    // command says why it stopped.
    return m_bYes;
}

void CBuildConsole::ShowInformation(const std::string& text)
{
    std::fprintf(stderr, "velkanc: %s\n", Cp1252ToUtf8(text).c_str());
}

void CBuildConsole::AddWarning(const std::string& text, const std::string& about)
{
    m_warnings.push_back(Cp1252ToUtf8(about) + ": " + WithoutWarningWord(Cp1252ToUtf8(text)));
    std::fprintf(stderr, "velkanc: warning: %s\n", m_warnings.back().c_str());
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
