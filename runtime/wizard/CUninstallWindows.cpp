#include "runtime/wizard/CUninstallWindows.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>
#include <vector>

#include "core/package/PackageDecoding.h"
#include "core/stream/JoinText.h"
#include "core/wizard/TextLanguage.h"
#include "runtime/CCommandLine.h"
#include "runtime/CRunLog.h"
#include "runtime/CUninstaller.h"
#include "runtime/CWinPackageInput.h"
#include "runtime/RuntimePaths.h"
#include "runtime/WinText.h"
#include "runtime/WizardDialogs.h"
#include "runtime/wizard/BuiltinDialogs.h"
#include "runtime/wizard/DialogBlock.h"
#include "runtime/wizard/IUninstallWatcher.h"

namespace velkan::runtime {

namespace {

constexpr UINT kMsgAsk = WM_APP + 1;
constexpr UINT kMsgDone = WM_APP + 2;
constexpr UINT_PTR kTimer = 1;
// A data block larger than this is no data block (the uninstaller refuses it the same way).
constexpr uint64_t kMaxTextsBlock = 16u << 20;

// The uninstaller's texts (page 8), as the setup program left them beside this program, and
// their language.
std::vector<std::wstring> ReadTexts(RuntimeLanguage& language)
{
    std::vector<std::wstring> texts;
    language = RuntimeLanguage::English;
    try {
        CWinPackageInput data(UninstallDataBase(OwnProgramPath()) + L".dat");
        if (data.GetLength() > kMaxTextsBlock) return texts;
        std::vector<uint8_t> bytes(static_cast<size_t>(data.GetLength()));
        data.ReadAt(0, bytes.data(), bytes.size());
        std::vector<std::string> stored = DecodeUninstallerData(bytes.data(), bytes.size()).texts;
        for (const std::string& text : stored) texts.push_back(FromPackage(text));
        language = DetectTextLanguage(stored);
    } catch (const std::exception&) {
        texts.clear();  // the run itself reports what is wrong
    }
    return texts;
}

std::wstring Format(const std::wstring& text, const std::wstring& value)
{
    size_t at = text.find(L"%s");
    return at == std::wstring::npos ? text : text.substr(0, at) + value + text.substr(at + 2);
}

class CUninstallWindows : public IUninstallWatcher {
public:
    CUninstallWindows(const CCommandLine& commandLine, CRunLog& log)
        : m_commandLine(commandLine),
          m_log(log),
          m_templates(BuiltinPlainDialogBlock()),
          m_block(m_templates),
          m_texts(ReadTexts(m_language))
    {
    }

    int Run();
    void Removing(const std::wstring& path) override;
    bool RemoveUnusedSharedFile(const std::wstring& path) override;
    void Left(const std::wstring& item, bool untilRestart) override;

private:
    std::wstring Text(size_t i) const { return i < m_texts.size() ? m_texts[i] : std::wstring(); }
    std::wstring Ours(const RuntimeText& text) const
    {
        return FromUtf8(InLanguage(text, m_language));
    }
    std::wstring Outcome(int code, const std::string& error) const;
    int Message(const std::wstring& text, UINT type);
    static INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK AskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Ask(const std::wstring& path);

    const CCommandLine& m_commandLine;
    CRunLog& m_log;
    std::vector<uint8_t> m_templates;
    CDialogBlock m_block;
    RuntimeLanguage m_language = RuntimeLanguage::English;
    std::vector<std::wstring> m_texts;
    std::vector<std::wstring> m_left;  // a line per item left, as the person reads it
    HWND m_hProgress = nullptr;
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::wstring m_strCurrent;
    int m_nRemoved = 0;
    INT_PTR m_nAnswerForAll = 0;  // kIdYesAll or kIdNoAll once given
    const std::wstring* m_pAsked = nullptr;
    bool m_bDone = false;
    int m_nCode = CUninstaller::kExitFailed;
};

int CUninstallWindows::Message(const std::wstring& text, UINT type)
{
    m_log.Line({"uninstall message: ", ToUtf8(text)});
    return MessageBoxW(m_hProgress, text.c_str(), Text(0).c_str(), type);
}

void CUninstallWindows::Removing(const std::wstring& path)
{
    AcquireSRWLockExclusive(&m_lock);
    m_strCurrent = path;
    ++m_nRemoved;
    ReleaseSRWLockExclusive(&m_lock);
}

bool CUninstallWindows::RemoveUnusedSharedFile(const std::wstring& path)
{
    // With /P the file goes, as unattended; else the question is the window's: the worker waits
    // for the answer.
    if (m_commandLine.m_bProgress) return true;
    INT_PTR answer = m_nAnswerForAll;
    if (!answer) answer = SendMessageW(m_hProgress, kMsgAsk, 0, reinterpret_cast<LPARAM>(&path));
    return answer == kIdYes || answer == kIdYesAll;
}

void CUninstallWindows::Left(const std::wstring& item, bool untilRestart)
{
    AcquireSRWLockExclusive(&m_lock);
    m_left.push_back(Format(Ours(untilRestart ? kTextLeftInUse : kTextLeftDenied), item));
    ReleaseSRWLockExclusive(&m_lock);
}

// What the person is told at the end, in the language of the uninstaller's texts.
std::wstring CUninstallWindows::Outcome(int code, const std::string& error) const
{
    // A list of what stayed, cut short: a message box taller than the screen helps no one.
    constexpr size_t kMaxLines = 20;
    std::wstring items;
    for (size_t i = 0; i < m_left.size() && i < kMaxLines; ++i) items += L"\n" + m_left[i];
    if (m_left.size() > kMaxLines) items += L"\n...";
    switch (code) {
    case CUninstaller::kExitUninstalled: return Text(2);
    case CUninstaller::kExitRestart: return Text(2) + L"\n\n" + Ours(kTextRemovedAtRestart) + items;
    case CUninstaller::kExitIncomplete: return Ours(kTextNotAllRemoved) + items;
    case CUninstaller::kExitAlreadyRunning: return Ours(kTextAlreadyRunning);
    default: return FromUtf8(error);
    }
}

INT_PTR CUninstallWindows::Ask(const std::wstring& path)
{
    m_pAsked = &path;
    m_log.Line({"uninstall message: ", ToUtf8(Format(Text(10), path))});
    INT_PTR answer = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(m_block.Template(kDlgAsk)),
        m_hProgress, AskProc, reinterpret_cast<LPARAM>(this));
    if (answer == kIdYesAll || answer == kIdNoAll) m_nAnswerForAll = answer;
    return answer;
}

INT_PTR CALLBACK CUninstallWindows::AskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto self = reinterpret_cast<CUninstallWindows*>(lParam);
        SetWindowTextW(window, self->Text(0).c_str());
        SetDlgItemTextW(window, kIdText1, Format(self->Text(10), *self->m_pAsked).c_str());
        const int buttons[] = {kIdYes, kIdYesAll, kIdNo, kIdNoAll};
        for (int i = 0; i < 4; ++i) {
            if (!self->Text(3 + i).empty())
                SetDlgItemTextW(window, buttons[i], self->Text(3 + i).c_str());
        }
        return TRUE;
    }
    if (message == WM_COMMAND) {
        WORD id = LOWORD(wParam);
        if (id == IDOK) id = kIdYes;     // Enter: the default button
        if (id == IDCANCEL) id = kIdNo;  // Escape keeps the file
        if (id == kIdYes || id == kIdYesAll || id == kIdNo || id == kIdNoAll) EndDialog(window, id);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CUninstallWindows::ProgressProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto self = reinterpret_cast<CUninstallWindows*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case kMsgAsk:
        SetWindowLongPtrW(window, DWLP_MSGRESULT,
                          self->Ask(*reinterpret_cast<const std::wstring*>(lParam)));
        return TRUE;
    case WM_TIMER: {
        AcquireSRWLockExclusive(&self->m_lock);
        std::wstring current = self->m_strCurrent;
        int removed = self->m_nRemoved;
        ReleaseSRWLockExclusive(&self->m_lock);
        SetDlgItemTextW(window, kIdFileName, current.c_str());
        // The count of items is not known beforehand: the bar shows that work goes on.
        SendDlgItemMessageW(window, kIdProgress, PBM_SETPOS, static_cast<WPARAM>(removed % 100), 0);
        return TRUE;
    }
    case kMsgDone:
        self->m_nCode = static_cast<int>(wParam);
        self->m_bDone = true;
        return TRUE;
    case WM_COMMAND:
    case WM_CLOSE: return TRUE;  // an uninstall half done helps no one: it runs to its end
    default: return FALSE;
    }
}

struct WorkerArgs {
    CUninstaller* uninstaller;
    HWND window;
};

int CUninstallWindows::Run()
{
    if (!m_block.Valid()) {
        m_log.Line("error: the uninstaller's dialog templates are damaged");
        return CUninstaller::kExitFailed;
    }
    std::wstring title = Text(0);
    if (!m_commandLine.m_bProgress && Message(Text(1), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        m_log.Line("uninstall declined");
        return CUninstaller::kExitDeclined;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_hProgress = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(m_block.Template(kDlgUninstall)),
        nullptr, ProgressProc, reinterpret_cast<LPARAM>(this));
    if (!m_hProgress) {
        m_log.Line({"error: the progress window cannot be made: ", SystemMessage(GetLastError())});
        return CUninstaller::kExitFailed;
    }
    SetWindowTextW(m_hProgress, title.c_str());
    ShowWindow(GetDlgItem(m_hProgress, kIdCancel), SW_HIDE);
    RECT frame;
    GetWindowRect(m_hProgress, &frame);
    SetWindowPos(
        m_hProgress, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 0, 0, SWP_NOSIZE);
    ShowWindow(m_hProgress, SW_SHOW);
    SetTimer(m_hProgress, kTimer, 50, nullptr);

    CUninstaller uninstaller(m_commandLine, m_log);
    uninstaller.SetWatcher(this);
    WorkerArgs args{&uninstaller, m_hProgress};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
            auto a = static_cast<WorkerArgs*>(parameter);
            int code = a->uninstaller->Run();
            PostMessageW(a->window, kMsgDone, static_cast<WPARAM>(code), 0);
            return 0;
        },
        &args, 0, nullptr);
    if (!thread) {
        m_nCode = uninstaller.Run();
        m_bDone = true;
    }
    MSG msg;
    while (!m_bDone && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(m_hProgress, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    KillTimer(m_hProgress, kTimer);
    ShowWindow(m_hProgress, SW_HIDE);
    bool fine = m_nCode == CUninstaller::kExitUninstalled || m_nCode == CUninstaller::kExitRestart;
    if (!m_commandLine.m_bProgress)
        Message(Outcome(m_nCode, uninstaller.ErrorMessage()),
                MB_OK | (fine ? MB_ICONINFORMATION : MB_ICONSTOP));
    DestroyWindow(m_hProgress);
    return m_nCode;
}

}  // namespace

int RunUninstallWithWindows(const CCommandLine& commandLine, CRunLog& log)
{
    CUninstallWindows windows(commandLine, log);
    return windows.Run();
}

}  // namespace velkan::runtime
