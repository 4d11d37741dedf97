#include "runtime/wizard/CSetupWizard.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <exception>

#include "core/model/DirFlags.h"
#include "core/model/FileOption.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/stream/CFileException.h"
#include "core/stream/JoinText.h"
#include "core/wizard/BitmapDecoder.h"
#include "core/wizard/BitmapFit.h"
#include "core/wizard/InstallShare.h"
#include "core/wizard/MiddleElision.h"
#include "core/wizard/WizardBitmap.h"
#include "core/wizard/RuntimeTexts.h"
#include "core/wizard/TextLanguage.h"
#include "core/wizard/WizardPage.h"
#include "runtime/CInstallError.h"
#include "runtime/CInstaller.h"
#include "runtime/CPathMacros.h"
#include "runtime/CProductLock.h"
#include "runtime/CRunLog.h"
#include "runtime/IInstallProgress.h"
#include "runtime/ProtectedFolders.h"
#include "runtime/RuntimePaths.h"
#include "runtime/RuntimeSlots.h"
#include "runtime/WinText.h"
#include "runtime/WizardDialogs.h"
#include "runtime/wizard/BuiltinDialogs.h"
#include "runtime/wizard/DirectoryChooser.h"
#include "runtime/wizard/DialogBlock.h"
#include "runtime/wizard/FolderName.h"
#include "runtime/wizard/NarrowDialogBlock.h"
#include "runtime/wizard/TypedText.h"
#include "runtime/wizard/WizardSequence.h"

namespace velkan::runtime {

namespace {

constexpr UINT kMsgInstallDone = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressTimerMs = 50;
const wchar_t* const kBackgroundClass = L"VelkanSetupBackground";

int DialogIndex(WizardPage page)
{
    switch (page) {
    case WizardPage::kPresentation: return kDlgWelcome;
    case WizardPage::kInformation: return kDlgInformation;
    case WizardPage::kVersion: return kDlgVersion;
    case WizardPage::kDirectory: return kDlgDirectory;
    case WizardPage::kConfirmation: return kDlgConfirm;
    case WizardPage::kProgress: return kDlgProgress;
    case WizardPage::kEnd: return kDlgEnd;
    }
    return kDlgWelcome;
}

size_t PageSlot(WizardPage page)
{
    return static_cast<size_t>(page);
}

// Line breaks as an edit control wants them: CR LF.
std::wstring ForEdit(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

// The author's "%s" (or "%d") replaced by the value, once; the rest as written.
std::wstring Format(const std::wstring& text, const std::wstring& value)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'%' && (text[i + 1] == L's' || text[i + 1] == L'd')) {
            return text.substr(0, i) + value + text.substr(i + 2);
        }
    }
    return text;
}

// A 32-bit bitmap of w x h pixels, rows top-down, that the caller fills through bits.
HBITMAP NewBitmap(int w, int h, uint32_t** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bitmap && !memory) {
        DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<uint32_t*>(memory);
    return bitmap;
}

// The background pattern: the bitmap file from the package as it is, when it can be shown.
HBITMAP PatternBitmap(const std::vector<uint8_t>& file)
{
    std::optional<BitmapImage> image = DecodeBitmap(file);
    if (!image) return nullptr;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = NewBitmap(image->width, image->height, &bits);
    if (bitmap) std::copy(image->pixels.begin(), image->pixels.end(), bits);
    return bitmap;
}

// The wizard bitmap as it shows in its w x h field: decoded here (not by Windows, so every form
// shows alike), in proportion, scaled down smoothly when larger, centred on the dialog's face.
HBITMAP FittedBitmap(const std::vector<uint8_t>& file, int w, int h)
{
    std::optional<BitmapImage> image = DecodeBitmap(file);
    if (!image || w <= 0 || h <= 0) return nullptr;
    FitSize fit = FitInside(image->width, image->height, w, h);
    std::vector<uint32_t> shown = ScaleDown(image->pixels, image->width, image->height, fit);
    image.reset();
    uint32_t* out = nullptr;
    HBITMAP result = NewBitmap(w, h, &out);
    if (!result) return nullptr;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t background = GetBValue(face) | (GetGValue(face) << 8) | (GetRValue(face) << 16);
    std::fill(out, out + static_cast<size_t>(w) * static_cast<size_t>(h), background);
    int left = (w - fit.width) / 2, top = (h - fit.height) / 2;
    for (int y = 0; y < fit.height; ++y) {
        std::copy_n(shown.data() + static_cast<size_t>(y) * static_cast<size_t>(fit.width),
                    fit.width, out + static_cast<size_t>(top + y) * static_cast<size_t>(w) + left);
    }
    return result;
}

}  // namespace

struct CSetupWizard::Impl : public IInstallProgress {
    Impl(const CCommandLine& commandLine, CRunLog& log) : m_commandLine(commandLine), m_log(log) {}
    ~Impl() override;

    int Run();

    // Reading the package.
    void OpenPackage();
    std::wstring Text(int page, int text) const;
    std::wstring Text(TextSlot slot) const { return Text(slot.page, slot.text); }
    // One of the runtime's own texts, in the language of the version's texts.
    std::wstring Ours(const RuntimeText& text) const
    {
        return FromUtf8(InLanguage(text, m_language));
    }
    WizardFacts Facts() const;
    void ChooseVersion(size_t version, bool fromCommandLine);
    void UpdateLanguage();
    uint64_t BytesNeeded() const;
    std::wstring EndFile(EndPageAction role) const;

    // Windows.
    bool CreateWindows();
    // Moves the frame's items right of place by dx and below it by dy; the frame grows by both.
    void MakeRoom(const RECT& place, int dx, int dy);
    void CreateBackground();
    HWND PageWindow(WizardPage page);
    void ShowPage(WizardPage page);
    void FillPage(WizardPage page, HWND window);
    void UpdateSpace(HWND window);
    void SetButton(int id, const ButtonState& state);
    int Message(const std::wstring& text, UINT type) const;

    // Buttons.
    void OnNext();
    void OnBack();
    void OnCancel();
    bool LeavePage(WizardPage page);
    bool CheckDirectory();
    void Browse();
    void Finish();
    void AskRestart();

    // The install.
    void StartInstall();
    void OnInstallDone(int code);
    void OnTimer();
    void FileDone(Phase phase, const std::string& entryPath, uint64_t bytes) override;
    uint64_t InstallWorkTotal() const;
    void AddReportLines(HWND page, const std::vector<std::wstring>& lines);
    void ShowFileName(HWND page, const std::wstring& path);
    std::vector<std::wstring> ScopeArguments() const;
    void AddScopeChoice(HWND page);
    void PlaceScopeChoice(HWND page);
    bool CancelRequested() override;

    static INT_PTR CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK RestartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintBackground(HWND window);

    const CCommandLine& m_commandLine;
    CRunLog& m_log;
    std::wstring m_strSelf;
    std::unique_ptr<CPackageReader> m_reader;
    std::unique_ptr<CDialogBlock> m_block;
    bool m_bTest = false;
    bool m_bFullScreen = false;
    // /P: the progress page alone, no question; the run decides as /S does.
    const bool m_bProgressOnly = m_commandLine.m_bProgress;
    bool m_bScopeChoice = false;  // both places are possible and the command line chose none
    bool m_bAllUsers = true;
    int m_nThirdTextHeight = 0;  // the Directory page's third text as made (PlaceScopeChoice)
    size_t m_nVersion = 0;
    RuntimeLanguage m_language = RuntimeLanguage::English;
    std::wstring m_strDirectory;
    std::unique_ptr<CWizardSequence> m_sequence;
    // Held from the start to the end of the wizard, so that a second setup of the product is
    // refused before its person has answered any page.
    CProductLock m_productLock;
    WizardPage m_page = WizardPage::kPresentation;

    HWND m_hBackground = nullptr;
    HWND m_hFrame = nullptr;
    HWND m_hPages[8] = {};
    HFONT m_hTitleFont = nullptr;
    HFONT m_hBackTitleFont = nullptr;
    HBITMAP m_hWizardBitmapShown = nullptr;
    HBITMAP m_hPattern = nullptr;
    bool m_bDone = false;
    int m_nExitCode = CInstaller::kExitCancelled;

    // The install run and what it reports, shared with its worker threads.
    CCommandLine m_runCommandLine{std::vector<std::wstring>()};
    std::unique_ptr<CInstaller> m_installer;
    HANDLE m_hThread = nullptr;
    bool m_bInstalling = false;
    bool m_bInstalled = false;
    std::string m_strFailure;
    std::atomic<bool> m_bAsking{false};
    std::atomic<bool> m_bCancelled{false};
    std::atomic<uint64_t> m_nWorkDone{0};  // CheckWork and PlaceWork units
    uint64_t m_nWorkTotal = 0;
    int m_nReportWidth = 0;       // the widest line of the progress list, in pixels
    std::wstring m_strShownFile;  // the file the progress page names
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::string m_strCurrentFile;
    std::vector<std::string> m_placed;
};

CSetupWizard::Impl::~Impl()
{
    if (m_hThread) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
    }
    if (m_hFrame) DestroyWindow(m_hFrame);
    if (m_hBackground) DestroyWindow(m_hBackground);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(m_hTitleFont), static_cast<HGDIOBJ>(m_hBackTitleFont),
          static_cast<HGDIOBJ>(m_hWizardBitmapShown), static_cast<HGDIOBJ>(m_hPattern)}) {
        if (object) DeleteObject(object);
    }
}

// ---- The package ----------------------------------------------------------------------------

void CSetupWizard::Impl::OpenPackage()
{
    m_strSelf = OwnProgramPath();
    uint32_t slot = OwnSizeSlot();
    if (slot == 0)
        throw CPackageException(
            {ToUtf8(m_strSelf), ": the size slot was never set: no package follows"});
    m_reader = CInstaller::OpenReader(m_strSelf);
    const PackageContents& c = m_reader->Contents();
    if (c.stubSize != slot)
        throw CPackageException(
            {ToUtf8(m_strSelf), ": the package does not start where this program ends"});
    if (c.versions.empty())
        throw CPackageException({ToUtf8(m_strSelf), ": the package holds no version"});
    // A package written without the templates (the builder lacked them) gets the standard ones;
    // damaged templates are a damaged package.
    m_block = std::make_unique<CDialogBlock>(c.dialogBlock
                                                 ? PackageDialogBlock(*c.dialogBlock)
                                                 : BuiltinDialogBlock(c.wizardBitmap.has_value()));
    if (!m_block->Valid())
        throw CPackageException({ToUtf8(m_strSelf), ": the dialog templates are damaged"});
    // With /P the run is the unattended one, which knows no test program, and a package manager
    // shows its own screen: no background behind the window.
    m_bTest = c.testSection.has_value() && !m_bProgressOnly;
    m_bFullScreen =
        c.projectFlags && (*c.projectFlags & package::kFlagFullScreen) && !m_bProgressOnly;
}

std::wstring CSetupWizard::Impl::Text(int page, int text) const
{
    if (!m_reader) return {};
    const auto& pages = m_reader->Contents().versions[m_nVersion].block.pages;
    if (page < 0 || static_cast<size_t>(page) >= pages.size() || !pages[page]) return {};
    const auto& texts = *pages[page];
    return static_cast<size_t>(text) < texts.size() ? FromPackage(texts[text]) : std::wstring();
}

WizardFacts CSetupWizard::Impl::Facts() const
{
    const VersionBlockRecord& block = m_reader->Contents().versions[m_nVersion].block;
    WizardFacts facts;
    facts.versionCount = m_reader->Contents().versions.size();
    facts.informationBlank = IsBlankText(ToUtf8(Text(PageInformation, kInformationText)));
    facts.directoryReadOnly = !(block.dirFlags & kDirChangeable);
    facts.testMode = m_bTest;
    return facts;
}

// Takes a version and the directory it proposes: the install engine's own choice (command line,
// registry, INI file, default), so that the wizard proposes what an unattended run would take.
// The runtime's own texts speak the language of the texts the person reads.
void CSetupWizard::Impl::UpdateLanguage()
{
    CLanguageScore score;
    for (const auto& page : m_reader->Contents().versions[m_nVersion].block.pages) {
        if (!page) continue;
        for (const std::string& text : *page) score.Add(text);
    }
    m_language = score.Best();
}

void CSetupWizard::Impl::ChooseVersion(size_t version, bool fromCommandLine)
{
    std::vector<std::wstring> args{L"/S"};
    if (fromCommandLine) {
        if (!m_commandLine.m_strVersion.empty())
            args.push_back(L"/V=" + m_commandLine.m_strVersion);
    } else {
        args.push_back(L"/V=" + DecimalW(version + 1));
    }
    if (!m_commandLine.m_strDirectory.empty())
        args.push_back(L"/D=" + m_commandLine.m_strDirectory);
    // The places asked for on the command line only: the probe tells which the install keeps
    // (a product installed here for one user stays so), and the check box starts from that.
    if (m_commandLine.m_bAllUsers) args.push_back(L"/ALLUSERS");
    if (m_commandLine.m_bCurrentUser) args.push_back(L"/CURRENTUSER");
    CCommandLine commandLine(args);
    m_nVersion = version;
    UpdateLanguage();
    if (!m_bTest) {
        CRunLog quiet;
        CInstaller probe(commandLine, quiet);
        try {
            auto [chosen, directory] = probe.Choices();
            m_nVersion = chosen;
            UpdateLanguage();
            m_strDirectory = directory;
            if (m_bScopeChoice) m_bAllUsers = probe.AllUsers();
        } catch (const std::exception& e) {
            // No directory proposed (or an unknown /V): the person types one.
            m_log.Line(std::string("wizard: ") + e.what());
        }
    }
    if (m_bTest || m_strDirectory.empty()) {
        CPathMacros macros(std::wstring(), ParentDir(m_strSelf));
        m_strDirectory =
            macros.Expand(FromPackage(m_reader->Contents().versions[m_nVersion].block.installDir));
    }
    m_sequence = std::make_unique<CWizardSequence>(Facts());
}

uint64_t CSetupWizard::Impl::BytesNeeded() const
{
    uint64_t total = 0;
    for (const CFileEntry& e : m_reader->Contents().versions[m_nVersion].files) {
        uint8_t mode = e.m_nOptions[OptInstallMode];
        if (mode != InstallSkip && mode != InstallDirectoryOnly) total += e.m_nSize;
    }
    return total;
}

// The file of the version that has the given End page role (the last one), where it is installed.
std::wstring CSetupWizard::Impl::EndFile(EndPageAction role) const
{
    std::wstring path;
    for (const CFileEntry& e : m_reader->Contents().versions[m_nVersion].files) {
        if (e.m_nOptions[OptEndPage] != role) continue;
        try {
            std::wstring base =
                e.m_nOptions[OptDestination] == DestInstallDir ? m_strDirectory : std::wstring();
            if (!base.empty()) path = JoinInside(base, FromPackage(e.m_strPath));
        } catch (const std::exception&) {
            path.clear();
        }
    }
    return path;
}

// ---- Windows ----------------------------------------------------------------------------------

int CSetupWizard::Impl::Message(const std::wstring& text, UINT type) const
{
    std::wstring title = Text(PageMessages, 0);
    m_log.Line({"wizard message: ", ToUtf8(text)});
    return MessageBoxW(m_hFrame ? m_hFrame : m_hBackground, text.c_str(), title.c_str(), type);
}

void CSetupWizard::Impl::CreateBackground()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BackgroundProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kBackgroundClass;
    RegisterClassW(&windowClass);
    const PackageContents& c = m_reader->Contents();
    if (c.backBitmap) m_hPattern = PatternBitmap(*c.backBitmap);
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    m_hBackground = CreateWindowExW(0, kBackgroundClass, Text(PageMessages, 0).c_str(),
                                    WS_POPUP | WS_VISIBLE | WS_SYSMENU, x, y, w, h, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK CSetupWizard::Impl::BackgroundProc(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto self = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
        if (self) {
            self->PaintBackground(window);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        // The wizard keeps the keyboard: a click on the background gives it back.
        if (self && self->m_hFrame) SetFocus(self->m_hFrame);
        return 0;
    case WM_CLOSE:
        if (self) self->OnCancel();
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CSetupWizard::Impl::PaintBackground(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (m_hPattern) {
        BITMAP size{};
        GetObjectW(m_hPattern, sizeof(size), &size);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, m_hPattern);
        for (int y = 0; y < client.bottom; y += size.bmHeight) {
            for (int x = 0; x < client.right; x += size.bmWidth) {
                BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
            }
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        // Deep blue at the top fading to black: bands of one colour each.
        constexpr int kBands = 128;
        for (int i = 0; i < kBands; ++i) {
            RECT band{0, MulDiv(client.bottom, i, kBands), client.right,
                      MulDiv(client.bottom, i + 1, kBands)};
            HBRUSH brush = CreateSolidBrush(RGB(0, 0, 160 - 150 * i / kBands));
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
    }
    const PackageContents& c = m_reader->Contents();
    if (c.backTitle && !c.backTitle->empty()) {
        if (!m_hBackTitleFont && c.titleStyle) {
            const LogFont& f = c.titleStyle->font;
            LOGFONTW font{};
            int dpi = GetDeviceCaps(dc, LOGPIXELSY);
            font.lfHeight = MulDiv(f.lfHeight, dpi, 96);
            font.lfWidth = MulDiv(f.lfWidth, dpi, 96);
            font.lfWeight = f.lfWeight;
            font.lfItalic = f.lfItalic;
            font.lfUnderline = f.lfUnderline;
            font.lfStrikeOut = f.lfStrikeOut;
            font.lfCharSet = f.lfCharSet;
            font.lfQuality = ANTIALIASED_QUALITY;
            std::wstring face = FromPackage(f.FaceName());
            lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
            m_hBackTitleFont = CreateFontIndirectW(&font);
        }
        HGDIOBJ old = m_hBackTitleFont ? SelectObject(dc, m_hBackTitleFont) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, c.titleStyle ? static_cast<COLORREF>(c.titleStyle->color & 0xFFFFFF)
                                      : RGB(255, 255, 255));
        std::wstring title = FromPackage(*c.backTitle);
        int margin = MulDiv(16, GetDeviceCaps(dc, LOGPIXELSY), 96);
        RECT place{margin, margin / 2, client.right - margin, client.bottom};
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &place,
                  DT_LEFT | DT_TOP | DT_NOPREFIX);
        if (old) SelectObject(dc, old);
    }
    EndPaint(window, &paint);
}

bool CSetupWizard::Impl::CreateWindows()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (m_bFullScreen) CreateBackground();
    auto frameTemplate = static_cast<LPCDLGTEMPLATEW>(m_block->Template(kDlgFrame));
    m_hFrame = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), frameTemplate, m_hBackground,
                                          FrameProc, reinterpret_cast<LPARAM>(this));
    if (!m_hFrame) return false;
    // The wizard bitmap in its field of fixed pixels (what the build's checks measure against):
    // the template's place grows to it, and what lies right of or below the place moves along.
    HWND picture = GetDlgItem(m_hFrame, kIdBitmap);
    const PackageContents& c = m_reader->Contents();
    if (picture && c.wizardBitmap) {
        RECT outer, inner;
        GetWindowRect(picture, &outer);
        MapWindowPoints(nullptr, m_hFrame, reinterpret_cast<POINT*>(&outer), 2);
        GetClientRect(picture, &inner);
        const int outerW = static_cast<int>(outer.right - outer.left);
        const int outerH = static_cast<int>(outer.bottom - outer.top);
        const int edgeW = outerW - static_cast<int>(inner.right);
        const int edgeH = outerH - static_cast<int>(inner.bottom);
        const int w = kWizardBitmapField.width, h = kWizardBitmapField.height;
        m_hWizardBitmapShown = FittedBitmap(*c.wizardBitmap, w, h);
        if (m_hWizardBitmapShown) {
            MakeRoom(outer, std::max(0, w + edgeW - outerW), std::max(0, h + edgeH - outerH));
            SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(m_hWizardBitmapShown));
            // Set after the image, which sizes the control to the image's outer size.
            SetWindowPos(picture, nullptr, outer.left, outer.top, w + edgeW, h + edgeH,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (picture && !m_hWizardBitmapShown) ShowWindow(picture, SW_HIDE);
    // Centred on the screen (in mode 1, over the background).
    RECT frame;
    GetWindowRect(m_hFrame, &frame);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(m_hFrame, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE);
    return true;
}

void CSetupWizard::Impl::MakeRoom(const RECT& place, int dx, int dy)
{
    if (dx == 0 && dy == 0) return;
    struct Shift {
        HWND frame;
        RECT place;
        int dx, dy;
    } shift{m_hFrame, place, dx, dy};
    EnumChildWindows(
        m_hFrame,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Shift*>(data);
            if (GetParent(child) != s.frame) return TRUE;
            RECT r;
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, s.frame, reinterpret_cast<POINT*>(&r), 2);
            int x = r.left + (r.left >= s.place.right ? s.dx : 0);
            int y = r.top + (r.top >= s.place.bottom ? s.dy : 0);
            if (x != r.left || y != r.top)
                SetWindowPos(child, nullptr, x, y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shift));
    RECT frame;
    GetWindowRect(m_hFrame, &frame);
    SetWindowPos(m_hFrame, nullptr, 0, 0, frame.right - frame.left + dx,
                 frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CSetupWizard::Impl::PageWindow(WizardPage page)
{
    HWND& window = m_hPages[PageSlot(page)];
    if (window) return window;
    if (page == WizardPage::kProgress) {
        // The file being worked on on one line (ShowFileName shortens it; a wrapped name lost its
        // second line), the list scrolling sideways to whole names, whatever the package's
        // templates say.
        m_block->AdjustItemStyle(kDlgProgress, kIdFileName, kStatic, SS_TYPEMASK | SS_ELLIPSISMASK,
                                 SS_LEFTNOWORDWRAP | SS_NOPREFIX);
        m_block->AdjustItemStyle(kDlgProgress, kIdReport, kListBox, 0, WS_HSCROLL);
    }
    auto pageTemplate =
        static_cast<LPCDLGTEMPLATEW>(m_block->Template(static_cast<size_t>(DialogIndex(page))));
    window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pageTemplate, m_hFrame, PageProc,
                                        reinterpret_cast<LPARAM>(this));
    if (!window) return nullptr;
    // The page takes the place of the frame's placeholder, which would otherwise paint over it.
    HWND placeholder = GetDlgItem(m_hFrame, kIdPageArea);
    RECT area;
    GetWindowRect(placeholder, &area);
    MapWindowPoints(nullptr, m_hFrame, reinterpret_cast<POINT*>(&area), 2);
    ShowWindow(placeholder, SW_HIDE);
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, 0);
    // The page title stands out in bold.
    if (!m_hTitleFont) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        font.lfWeight = FW_BOLD;
        m_hTitleFont = CreateFontIndirectW(&font);
    }
    SendDlgItemMessageW(window, kIdTitle, WM_SETFONT, reinterpret_cast<WPARAM>(m_hTitleFont),
                        FALSE);
    if (page == WizardPage::kDirectory && m_bScopeChoice) AddScopeChoice(window);
    return window;
}

void CSetupWizard::Impl::SetButton(int id, const ButtonState& state)
{
    HWND button = GetDlgItem(m_hFrame, id);
    SetWindowTextW(button, Text(state.caption).c_str());
    EnableWindow(button, state.enabled);
    ShowWindow(button, state.visible ? SW_SHOW : SW_HIDE);
}

void CSetupWizard::Impl::ShowPage(WizardPage page)
{
    HWND window = PageWindow(page);
    if (!window) return;
    m_page = page;
    FillPage(page, window);
    for (HWND other : m_hPages) {
        if (other && other != window) ShowWindow(other, SW_HIDE);
    }
    ShowWindow(window, SW_SHOW);
    std::wstring title = Text(TextPageOf(page), 0);
    std::wstring caption = m_bFullScreen ? title : Text(PageMessages, 0) + L" - " + title;
    SetWindowTextW(m_hFrame, caption.c_str());
    bool nextOverride = !IsBlankText(ToUtf8(Text(PageInformation, 2)));
    SetButton(kIdBack, m_sequence->BackButton(page));
    SetButton(kIdNext, m_sequence->NextButton(page, nextOverride));
    SetButton(kIdCancel, m_sequence->CancelButton(page));
    // The keyboard goes where Enter means Next.
    HWND next = GetDlgItem(m_hFrame, kIdNext);
    HWND focus = IsWindowEnabled(next) ? next : GetDlgItem(m_hFrame, kIdCancel);
    if (page == WizardPage::kVersion) focus = GetDlgItem(window, kIdVersionList);
    if (page == WizardPage::kDirectory && m_sequence->DirectoryEditable())
        focus = GetDlgItem(window, kIdDirEdit);
    SendMessageW(m_hFrame, DM_SETDEFID, IsWindowEnabled(next) ? kIdNext : kIdCancel, 0);
    SendMessageW(m_hFrame, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    m_log.Line({"wizard page ", static_cast<int>(page)});
}

void CSetupWizard::Impl::FillPage(WizardPage page, HWND window)
{
    auto set = [&](int id, const std::wstring& text) { SetDlgItemTextW(window, id, text.c_str()); };
    auto show = [&](int id, bool visible) {
        ShowWindow(GetDlgItem(window, id), visible ? SW_SHOW : SW_HIDE);
    };
    switch (page) {
    case WizardPage::kPresentation:
        for (int i = 0; i < 5; ++i) set(kIdTitle + i, Text(PagePresentation, i));
        break;
    case WizardPage::kInformation:
        set(kIdTitle, Text(PageInformation, 0));
        set(kIdScrollText, ForEdit(Text(PageInformation, kInformationText)));
        break;
    case WizardPage::kVersion: {
        set(kIdTitle, Text(PageVersionChoice, 0));
        set(kIdText1, Text(PageVersionChoice, 1));
        set(kIdText2, Text(PageVersionChoice, 2));
        HWND list = GetDlgItem(window, kIdVersionList);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (const VersionRecord& v : m_reader->Contents().versions) {
            std::wstring name = FromPackage(v.block.name.empty() ? v.block.title : v.block.name);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        SendMessageW(list, LB_SETCURSEL, m_nVersion, 0);
        break;
    }
    case WizardPage::kDirectory:
        for (int i = 0; i < 5; ++i) set(kIdTitle + i, Text(PageDirectory, i));
        set(kIdDirEdit, m_strDirectory);
        set(kIdBrowse, Text(PageReserved, 3));
        SendDlgItemMessageW(window, kIdDirEdit, EM_SETREADONLY, !m_sequence->DirectoryEditable(),
                            0);
        EnableWindow(GetDlgItem(window, kIdBrowse), m_sequence->DirectoryEditable());
        UpdateSpace(window);
        if (m_bScopeChoice) PlaceScopeChoice(window);
        break;
    case WizardPage::kConfirmation:
        for (int i = 0; i < 5; ++i)
            set(kIdTitle + i, Format(Text(PageConfirmation, i), m_strDirectory));
        break;
    case WizardPage::kProgress:
        set(kIdTitle, Text(PageProgress, 0));
        set(kIdText1, Text(PageProgress, 1));
        ShowFileName(window, L"");
        SendDlgItemMessageW(window, kIdProgress, PBM_SETRANGE32, 0, kInstallShareRange);
        SendDlgItemMessageW(window, kIdProgress, PBM_SETPOS, 0, 0);
        SendDlgItemMessageW(window, kIdReport, LB_RESETCONTENT, 0, 0);
        SendDlgItemMessageW(window, kIdReport, LB_SETHORIZONTALEXTENT, 0, 0);
        m_nReportWidth = 0;
        if (m_bTest) {
            // A test program shows what would be installed, as the page stands at the end of an
            // install, and writes nothing.
            std::vector<std::wstring> lines;
            for (const CFileEntry& e : m_reader->Contents().versions[m_nVersion].files)
                lines.push_back(FromPackage(e.m_strPath));
            AddReportLines(window, lines);
            if (!lines.empty()) ShowFileName(window, lines.back());
            SendDlgItemMessageW(window, kIdProgress, PBM_SETPOS, kInstallShareRange, 0);
        }
        break;
    case WizardPage::kEnd: {
        set(kIdTitle, Text(PageEnd, 0));
        bool good = m_bTest || m_bInstalled;
        set(kIdText1, good ? Text(PageEnd, 1) : Format(Text(PageEnd, 4), FromUtf8(m_strFailure)));
        std::wstring view = EndFile(EndPageView), run = EndFile(EndPageRun);
        bool showView = good && !view.empty() && !IsBlankText(ToUtf8(Text(PageEnd, kEndViewText)));
        bool showRun = good && !run.empty() && !IsBlankText(ToUtf8(Text(PageEnd, kEndRunText)));
        set(kIdText2, showView ? Text(PageEnd, kEndViewIntroText) : L"");
        set(kIdView, Format(Text(PageEnd, kEndViewText), FileName(view)));
        show(kIdView, showView);
        set(kIdText3, showRun ? Text(PageEnd, kEndRunIntroText) : L"");
        set(kIdRun, Text(PageEnd, kEndRunText));
        show(kIdRun, showRun);
        CheckDlgButton(window, kIdRun, BST_CHECKED);
        break;
    }
    }
}

void CSetupWizard::Impl::UpdateSpace(HWND window)
{
    constexpr uint64_t kMb = 1u << 20;
    std::wstring unit = Text(PageDirectory, 7);
    uint64_t needed = (BytesNeeded() + kMb - 1) / kMb;
    SetDlgItemTextW(window, kIdSpaceNeeded,
                    (Text(PageDirectory, 5) + L" " + Format(unit, DecimalW(needed))).c_str());
    // Free space of the nearest folder that exists on the way to the directory.
    std::wstring dir = TypedText(GetDlgItem(window, kIdDirEdit));
    ULARGE_INTEGER free{};
    bool known = false;
    while (IsAbsolute(dir) && dir.size() >= 3 && !known) {
        known = GetDiskFreeSpaceExW(dir.c_str(), &free, nullptr, nullptr);
        std::wstring parent = ParentDir(TrimSlash(dir));
        if (parent.size() == 2) parent += L"\\";
        if (parent == dir || parent.size() < 3) break;  // a drive that does not exist
        dir = parent;
    }
    std::wstring shown = known ? Format(unit, DecimalW(free.QuadPart / kMb)) : L"-";
    SetDlgItemTextW(window, kIdSpaceFree, (Text(PageDirectory, 6) + L" " + shown).c_str());
}

// ---- Buttons ----------------------------------------------------------------------------------

INT_PTR CALLBACK CSetupWizard::Impl::FrameProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto self = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case kIdNext: self->OnNext(); return TRUE;
        case kIdBack: self->OnBack(); return TRUE;
        case IDCANCEL:
        case kIdCancel: self->OnCancel(); return TRUE;
        default: break;
        }
        break;
    case WM_CLOSE: self->OnCancel(); return TRUE;
    case WM_TIMER: self->OnTimer(); return TRUE;
    case kMsgInstallDone: self->OnInstallDone(static_cast<int>(wParam)); return TRUE;
    default: break;
    }
    return FALSE;
}

INT_PTR CALLBACK CSetupWizard::Impl::PageProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto self = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self || message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case kIdBrowse: self->Browse(); return TRUE;
    case kIdDirEdit:
        if (HIWORD(wParam) == EN_CHANGE) self->UpdateSpace(window);
        return TRUE;
    case kIdVersionList:
        if (HIWORD(wParam) == LBN_DBLCLK) self->OnNext();
        return TRUE;
    case kIdView: {
        std::wstring view = self->EndFile(EndPageView);
        ShellExecuteW(self->m_hFrame, L"open", view.c_str(), nullptr, ParentDir(view).c_str(),
                      SW_SHOWNORMAL);
        return TRUE;
    }
    case IDOK:
    case IDCANCEL:
        // Enter and Escape inside a page belong to the frame's buttons.
        SendMessageW(self->m_hFrame, WM_COMMAND, wParam, lParam);
        return TRUE;
    default: return FALSE;
    }
}

// Takes what the person set on the page; false keeps them on it.
bool CSetupWizard::Impl::LeavePage(WizardPage page)
{
    if (page == WizardPage::kVersion) {
        LRESULT selected =
            SendDlgItemMessageW(m_hPages[PageSlot(page)], kIdVersionList, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR && static_cast<size_t>(selected) != m_nVersion) {
            ChooseVersion(static_cast<size_t>(selected), false);
        }
    }
    if (page == WizardPage::kDirectory) {
        HWND window = m_hPages[PageSlot(page)];
        if (m_bScopeChoice) {
            m_bAllUsers = IsDlgButtonChecked(window, kIdAllUsers) == BST_CHECKED;
            m_log.Line(m_bAllUsers ? "wizard: for all users" : "wizard: for the current user");
        }
        if (m_sequence->DirectoryEditable())
            m_strDirectory = TypedText(GetDlgItem(window, kIdDirEdit));
        m_log.Line({"wizard: directory ", ToUtf8(m_strDirectory)});
    }
    return true;
}

void CSetupWizard::Impl::OnNext()
{
    if (!IsWindowEnabled(GetDlgItem(m_hFrame, kIdNext))) return;
    if (m_page == WizardPage::kEnd) {
        Finish();
        return;
    }
    if (!LeavePage(m_page)) return;
    if (m_page == WizardPage::kDirectory && !m_bTest && !CheckDirectory()) return;
    std::optional<WizardPage> next = m_sequence->Next(m_page);
    if (!next) return;
    ShowPage(*next);
    if (*next == WizardPage::kProgress && !m_bTest) StartInstall();
}

void CSetupWizard::Impl::OnBack()
{
    if (!IsWindowEnabled(GetDlgItem(m_hFrame, kIdBack))) return;
    std::optional<WizardPage> back = m_sequence->Back(m_page);
    if (!back) return;
    LeavePage(m_page);
    ShowPage(*back);
}

void CSetupWizard::Impl::OnCancel()
{
    if (m_page == WizardPage::kEnd) {
        // Escape on the last page closes it as OK does.
        Finish();
        return;
    }
    std::optional<TextSlot> question = m_sequence->CancelQuestion(m_page);
    if (m_bProgressOnly) question.reset();  // Cancel (or closing the window) asks nothing
    // While the question is open the install waits at its next file.
    m_bAsking = true;
    bool stop = !question || Message(Text(*question), MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (stop && m_bInstalling) m_bCancelled = true;
    m_bAsking = false;
    if (!stop) return;
    if (m_bInstalling) return;  // the run takes everything back, then ends the wizard
    m_log.Line("wizard: cancelled");
    m_nExitCode = CInstaller::kExitCancelled;
    m_bDone = true;
}

// The directory must be a full path, and exist or be creatable: it is tried here (and taken back
// at once), so a directory that cannot be made is refused before anything is installed.
bool CSetupWizard::Impl::CheckDirectory()
{
    std::wstring typed = m_strDirectory;
    if (!IsAbsolute(typed) || typed.size() < 3) {
        Message(Text(PageMessages, 5), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // Before the full path, which would quietly drop a trailing dot or space.
    if (!IsFolderNameWindowsHolds(typed)) {
        Message(Text(PageMessages, 5) + L"\n" + typed + L"\n" + Ours(kTextBadFolderName),
                MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::wstring dir = TrimSlash(FullPath(typed));
    if (IsProtectedFolder(dir)) {
        // The install would refuse it (an uninstall there would reach far beyond the product).
        Message(Text(PageMessages, 5) + L"\n" + dir + L"\n" + Ours(kTextProtectedFolder),
                MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    DWORD attributes = GetFileAttributesW(dir.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Message(Text(PageMessages, 5), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (Message(Text(PageMessages, 6), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
        std::vector<std::wstring> made;
        bool ok = true;
        for (std::wstring at = dir;
             ok && at.size() > 3 && GetFileAttributesW(at.c_str()) == INVALID_FILE_ATTRIBUTES;
             at = ParentDir(at)) {
            made.insert(made.begin(), at);
        }
        size_t created = 0;
        for (; created < made.size(); ++created) {
            if (!CreateDirectoryW(made[created].c_str(), nullptr)) {
                ok = false;
                break;
            }
        }
        while (created > 0) RemoveDirectoryW(made[--created].c_str());
        if (!ok || made.empty()) {
            Message(Text(PageMessages, 5) + L"\n" + dir, MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    m_strDirectory = dir;
    // Not enough room: the person may try anyway.
    ULARGE_INTEGER free{};
    std::wstring probe = dir;
    while (!GetDiskFreeSpaceExW(probe.c_str(), &free, nullptr, nullptr) && probe.size() > 3)
        probe = ParentDir(probe);
    if (free.QuadPart != 0 && free.QuadPart < BytesNeeded() &&
        Message(Text(PageMessages, 11), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return false;
    }
    return true;
}

void CSetupWizard::Impl::Browse()
{
    HWND page = m_hPages[PageSlot(WizardPage::kDirectory)];
    DirectoryChooserTexts texts{Text(PageMessages, 1), Text(PageMessages, 2), Text(PageMessages, 3),
                                Text(PageButtons, 4), Text(PageButtons, 5)};
    m_log.Line("wizard: browse");
    std::wstring chosen = ChooseDirectory(m_hFrame, m_block->Template(kDlgBrowse), texts,
                                          TypedText(GetDlgItem(page, kIdDirEdit)));
    if (!chosen.empty()) SetDlgItemTextW(page, kIdDirEdit, chosen.c_str());
}

INT_PTR CALLBACK CSetupWizard::Impl::RestartProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto self = reinterpret_cast<Impl*>(lParam);
        SetWindowTextW(window, self->Text(PageMessages, 0).c_str());
        SetDlgItemTextW(window, kIdText1, self->Text(PageEnd, kEndRestartText).c_str());
        SetDlgItemTextW(window, kIdNext, self->Text(PageButtons, 6).c_str());
        SetDlgItemTextW(window, kIdCancel, self->Text(PageButtons, 4).c_str());
        return TRUE;
    }
    if (message == WM_COMMAND) {
        WORD id = LOWORD(wParam);
        if (id == kIdNext || id == IDOK) EndDialog(window, kIdNext);
        if (id == kIdCancel || id == IDCANCEL) EndDialog(window, kIdCancel);
        return TRUE;
    }
    return FALSE;
}

void CSetupWizard::Impl::AskRestart()
{
    m_log.Line({"wizard message: ", ToUtf8(Text(PageEnd, kEndRestartText))});
    auto restartTemplate = static_cast<LPCDLGTEMPLATEW>(m_block->Template(kDlgRestart));
    INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), restartTemplate, m_hFrame,
                                             RestartProc, reinterpret_cast<LPARAM>(this));
    if (answer != kIdNext || m_bTest) return;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege",
                                  &privileges.Privileges[0].Luid)) {
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        }
        CloseHandle(token);
    }
    m_log.Line("wizard: restarting Windows");
    ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
}

void CSetupWizard::Impl::Finish()
{
    HWND page = m_hPages[PageSlot(WizardPage::kEnd)];
    bool good = m_bTest || m_bInstalled;
    if (good && !m_bTest) {
        // No caption for the View button or the Run box: the file is opened without asking.
        std::wstring view = EndFile(EndPageView), run = EndFile(EndPageRun);
        if (!view.empty() && IsBlankText(ToUtf8(Text(PageEnd, kEndViewText)))) {
            ShellExecuteW(m_hFrame, L"open", view.c_str(), nullptr, ParentDir(view).c_str(),
                          SW_SHOWNORMAL);
        }
        bool runChosen = IsBlankText(ToUtf8(Text(PageEnd, kEndRunText))) ||
                         IsDlgButtonChecked(page, kIdRun) == BST_CHECKED;
        if (!run.empty() && runChosen) {
            ShellExecuteW(m_hFrame, nullptr, run.c_str(), nullptr, ParentDir(run).c_str(),
                          SW_SHOWNORMAL);
        }
    }
    if (good && (m_nExitCode == CInstaller::kExitRestart ||
                 !IsBlankText(ToUtf8(Text(PageEnd, kEndForceRestartText)))))
        AskRestart();
    m_bDone = true;
}

// ---- The install ------------------------------------------------------------------------------

// The place chosen on the Directory page, or the places asked for on the wizard's own command
// line, passed on to the runs it starts.
std::vector<std::wstring> CSetupWizard::Impl::ScopeArguments() const
{
    std::vector<std::wstring> args;
    if (m_bScopeChoice) args.push_back(m_bAllUsers ? L"/ALLUSERS" : L"/CURRENTUSER");
    if (m_commandLine.m_bAllUsers) args.push_back(L"/ALLUSERS");
    if (m_commandLine.m_bCurrentUser) args.push_back(L"/CURRENTUSER");
    return args;
}

// A check box under the directory field (PlaceScopeChoice finds it a free row), checked as an
// unattended run would decide (everyone, for an administrator).
void CSetupWizard::Impl::AddScopeChoice(HWND page)
{
    RECT client;
    GetClientRect(page, &client);
    RECT edit{};
    GetWindowRect(GetDlgItem(page, kIdDirEdit), &edit);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&edit), 2);
    RECT units{0, 6, 0, 10};  // a gap and a line, in dialog units
    MapDialogRect(page, &units);
    int top = edit.bottom + units.top;
    HWND box =
        CreateWindowExW(0, L"BUTTON", Ours(kTextAllUsers).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, edit.left, top,
                        client.right - edit.left, units.bottom, page,  // room for any language
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdAllUsers)),
                        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(box, WM_SETFONT, SendMessageW(page, WM_GETFONT, 0, 0), FALSE);
    SendMessageW(box, BM_SETCHECK, m_bAllUsers ? BST_CHECKED : BST_UNCHECKED, 0);
    RECT third{};
    GetClientRect(GetDlgItem(page, kIdText3), &third);
    m_nThirdTextHeight = third.bottom;
}

// The band under the directory field is the second of the author's text rows, blank by default.
// The box takes the first of the rows under the field that is blank for this version (hidden, so
// that it paints nothing over the box), and when the author wrote all three, the lower half of
// the third, which keeps its first line: it never covers the author's words.
void CSetupWizard::Impl::PlaceScopeChoice(HWND page)
{
    HWND box = GetDlgItem(page, kIdAllUsers);
    auto placeOf = [page](HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
        return place;
    };
    RECT boxPlace = placeOf(box);
    RECT line{0, 0, 0, 10};  // the box's own height, in dialog units
    MapDialogRect(page, &line);
    int top = boxPlace.top;
    int height = line.bottom;
    bool placed = false;
    for (int id : {kIdText2, kIdText3, kIdText4}) {
        HWND text = GetDlgItem(page, id);
        if (!text) continue;
        bool blank = TypedText(text).empty();
        ShowWindow(text, blank && !placed ? SW_HIDE : SW_SHOW);
        if (blank && !placed) {
            top = placeOf(text).top;
            placed = true;
        }
    }
    // The third text's height as the template gives it, halved or given back on each visit.
    HWND third = GetDlgItem(page, kIdText3);
    if (third) {
        RECT place = placeOf(third);
        int half = m_nThirdTextHeight / 2;
        SetWindowPos(third, nullptr, 0, 0, place.right - place.left,
                     placed ? m_nThirdTextHeight : half, SWP_NOMOVE | SWP_NOZORDER);
        if (!placed) {
            top = place.top + half;
            height = m_nThirdTextHeight - half;
        }
    }
    SetWindowPos(box, nullptr, boxPlace.left, top, boxPlace.right - boxPlace.left, height,
                 SWP_NOZORDER);
}

void CSetupWizard::Impl::StartInstall()
{
    std::vector<std::wstring> args{L"/S", L"/V=" + DecimalW(m_nVersion + 1),
                                   L"/D=" + m_strDirectory};
    for (const std::wstring& arg : ScopeArguments()) args.push_back(arg);
    m_runCommandLine = CCommandLine(args);
    // With /P the run takes the command line as given: the choices /S would make.
    m_installer =
        std::make_unique<CInstaller>(m_bProgressOnly ? m_commandLine : m_runCommandLine, m_log);
    m_installer->SetProgress(this);
    m_installer->SetProductLocked();
    m_nWorkTotal = InstallWorkTotal();
    m_bInstalling = true;
    m_log.Line({"wizard: installing into ", ToUtf8(m_strDirectory)});
    m_hThread = CreateThread(
        nullptr, 0,
        [](void* parameter) -> DWORD {
            auto self = static_cast<Impl*>(parameter);
            int code = self->m_installer->Run();
            PostMessageW(self->m_hFrame, kMsgInstallDone, static_cast<WPARAM>(code), 0);
            return 0;
        },
        this, 0, nullptr);
    if (!m_hThread) {
        m_bInstalling = false;
        m_strFailure = SystemMessage(GetLastError());
        m_log.Line({"error: ", m_strFailure});
        m_nExitCode = CInstaller::kExitFailed;
        if (m_bProgressOnly)
            m_bDone = true;
        else
            ShowPage(WizardPage::kEnd);
        return;
    }
    SetTimer(m_hFrame, kProgressTimer, kProgressTimerMs, nullptr);
}

void CSetupWizard::Impl::OnInstallDone(int code)
{
    KillTimer(m_hFrame, kProgressTimer);
    OnTimer();
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_bInstalling = false;
    m_nExitCode = code;
    m_bInstalled = code == CInstaller::kExitInstalled || code == CInstaller::kExitRestart;
    m_strFailure = m_installer->ErrorMessage();
    if (m_bCancelled && !m_bInstalled) {
        // Taken back as a failed run is; the person is told (with /P the log tells), and the
        // wizard ends.
        if (!m_bProgressOnly) Message(Text(PageMessages, 15), MB_OK | MB_ICONINFORMATION);
        m_nExitCode = CInstaller::kExitCancelled;
        m_bDone = true;
        return;
    }
    // With /P the window closes with the run: no End page, no restart question (as /S, the exit
    // code says a restart is needed).
    if (m_bProgressOnly) {
        m_bDone = true;
        return;
    }
    ShowPage(WizardPage::kEnd);
}

void CSetupWizard::Impl::OnTimer()
{
    HWND page = m_hPages[PageSlot(WizardPage::kProgress)];
    std::string current;
    std::vector<std::string> placed;
    AcquireSRWLockExclusive(&m_lock);
    current = m_strCurrentFile;
    placed.swap(m_placed);
    ReleaseSRWLockExclusive(&m_lock);
    ShowFileName(page, FromPackage(current));
    if (!placed.empty()) {
        std::wstring done = L"  " + Text(PageMessages, 25);
        std::vector<std::wstring> lines;
        lines.reserve(placed.size());
        for (const std::string& path : placed) lines.push_back(FromPackage(path) + done);
        AddReportLines(page, lines);
    }
    SendDlgItemMessageW(page, kIdProgress, PBM_SETPOS, InstallShare(m_nWorkDone, m_nWorkTotal), 0);
}

// The file being worked on, on its one line: when wider than its place, its middle is left out,
// so that the start of its path and its name show. The whole name goes to the list.
void CSetupWizard::Impl::ShowFileName(HWND page, const std::wstring& path)
{
    if (path == m_strShownFile && !path.empty()) return;
    m_strShownFile = path;
    HWND line = GetDlgItem(page, kIdFileName);
    if (!line) return;
    RECT place{};
    GetClientRect(line, &place);
    HDC dc = GetDC(line);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
    std::wstring shown = ElideMiddle(path, place.right, [dc](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    });
    SelectObject(dc, font);
    ReleaseDC(line, dc);
    SetWindowTextW(line, shown.c_str());
}

// The lines added to the progress list, which then shows its last one. They are added with the
// list's drawing off and it is drawn once: drawn per file, a list of hundreds of files kept the
// wizard busy for seconds after the install itself had ended. Each line is measured in the list's
// font, and the list scrolls sideways as far as its widest line reaches.
void CSetupWizard::Impl::AddReportLines(HWND page, const std::vector<std::wstring>& lines)
{
    HWND report = GetDlgItem(page, kIdReport);
    if (!report || lines.empty()) return;
    HDC dc = GetDC(report);
    HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(report, WM_GETFONT, 0, 0)));
    int widest = m_nReportWidth;
    SendMessageW(report, WM_SETREDRAW, FALSE, 0);
    LRESULT at = 0;
    for (const std::wstring& line : lines) {
        at = SendMessageW(report, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SIZE size{};
        if (GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, font);
    ReleaseDC(report, dc);
    if (widest > m_nReportWidth) {
        // The list box draws its lines from a small inner margin: room for it on both sides.
        RECT margin{0, 0, 4, 0};
        MapDialogRect(page, &margin);
        RECT client{};
        GetClientRect(report, &client);
        bool scrolled = m_nReportWidth > 0 && m_nReportWidth + margin.right > client.right;
        m_nReportWidth = widest;
        int extent = widest + margin.right;
        SendMessageW(report, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
        if (!scrolled && extent > client.right)
            m_log.Line({"wizard: the file list scrolls sideways to ", extent, " pixels"});
    }
    SendMessageW(report, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
    SendMessageW(report, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(report, nullptr, TRUE);
}

// The work the run will report, both phases: every file it copies (the uninstaller it writes
// itself and reports neither time).
uint64_t CSetupWizard::Impl::InstallWorkTotal() const
{
    uint64_t total = 0;
    for (const CFileEntry& e : m_reader->Contents().versions[m_nVersion].files) {
        uint8_t mode = e.m_nOptions[OptInstallMode];
        if ((e.m_nFlags & package::kEntryUninstaller) || mode == InstallSkip ||
            mode == InstallDirectoryOnly || e.HasNoData())
            continue;
        total += CheckWork(e.m_nSize) + PlaceWork(e.m_nSize);
    }
    return total;
}

void CSetupWizard::Impl::FileDone(Phase phase, const std::string& entryPath, uint64_t bytes)
{
    m_nWorkDone += phase == Phase::Checking ? CheckWork(bytes) : PlaceWork(bytes);
    AcquireSRWLockExclusive(&m_lock);
    m_strCurrentFile = entryPath;
    if (phase == Phase::Placing) m_placed.push_back(entryPath);
    ReleaseSRWLockExclusive(&m_lock);
}

bool CSetupWizard::Impl::CancelRequested()
{
    while (m_bAsking) Sleep(10);
    return m_bCancelled;
}

// ---- The run ----------------------------------------------------------------------------------

int CSetupWizard::Impl::Run()
{
    try {
        OpenPackage();
        m_bScopeChoice = !m_bProgressOnly && !m_commandLine.m_bAllUsers &&
                         !m_commandLine.m_bCurrentUser && HasAdministratorRights();
        size_t version = 0;
        if (m_bTest)
            version = std::min<size_t>(m_reader->Contents().testSection->currentVersion,
                                       m_reader->Contents().versions.size() - 1);
        ChooseVersion(version, !m_bTest);
    } catch (const std::exception& e) {
        std::wstring text = m_reader && !m_reader->Contents().versions.empty()
                                ? Text(PageMessages, 31)
                                : std::wstring();
        if (text.empty()) text = Ours(kTextInvalidData);
        m_log.Line(std::string("error: ") + e.what());
        if (!m_bProgressOnly)
            MessageBoxW(nullptr, (text + L"\n" + FromUtf8(e.what())).c_str(), L"Setup",
                        MB_OK | MB_ICONSTOP);
        return CInstaller::kExitFailed;
    }
    if (!m_bTest && !m_productLock.Acquire(CInstaller::ProductId(m_reader->Contents()), m_log)) {
        m_log.Line(std::string("error: ") + CInstaller::kAlreadyRunningText);
        if (!m_bProgressOnly)
            MessageBoxW(nullptr, Ours(kTextAlreadyRunning).c_str(), Text(PageMessages, 0).c_str(),
                        MB_OK | MB_ICONSTOP);
        return CInstaller::kExitAlreadyRunning;
    }
    if (!CreateWindows()) {
        m_log.Line({"error: the wizard's windows cannot be made: ", SystemMessage(GetLastError())});
        return CInstaller::kExitFailed;
    }
    WizardPage start = m_sequence->Pages().front();
    if (m_bTest) start = m_sequence->StartPage(m_reader->Contents().testSection->pageCode);
    if (m_bProgressOnly) start = WizardPage::kProgress;
    ShowPage(start);
    ShowWindow(m_hFrame, SW_SHOW);
    SetForegroundWindow(m_hFrame);
    if (m_bProgressOnly) {
        // Nothing to go back or on to: the run starts at once, Cancel stops it.
        ShowWindow(GetDlgItem(m_hFrame, kIdBack), SW_HIDE);
        ShowWindow(GetDlgItem(m_hFrame, kIdNext), SW_HIDE);
        StartInstall();
    }
    MSG msg;
    while (!m_bDone && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(m_hFrame, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    m_log.Line({"wizard: exit code ", m_nExitCode});
    return m_bTest ? CInstaller::kExitInstalled : m_nExitCode;
}

CSetupWizard::CSetupWizard(const CCommandLine& commandLine, CRunLog& log)
    : m_impl(std::make_unique<Impl>(commandLine, log))
{
}

CSetupWizard::~CSetupWizard() = default;

int CSetupWizard::Run()
{
    return m_impl->Run();
}

}  // namespace velkan::runtime
