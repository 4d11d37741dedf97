// The uninstaller (resource 507, and 506 for the Windows 3.1 layout), copied into the
// installation directory by the setup program. Unattended: uninstall.exe /S [/LOG=FILE]; with /P
// its progress window and no question (shared files go as with /S); without either with its
// windows.
#include <windows.h>

#include "runtime/CCommandLine.h"
#include "runtime/CRunLog.h"
#include "runtime/CUninstaller.h"
#include "runtime/RuntimeSlots.h"
#include "runtime/SafeDllSearch.h"
#include "runtime/SelfRemoval.h"
#include "runtime/WinText.h"
#include "runtime/wizard/CUninstallWindows.h"

using namespace velkan::runtime;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearch();
    if (RunRemovalHelperIfAsked()) return 0;
    CCommandLine commandLine(ProcessArguments());
    CRunLog log;
    std::string error = commandLine.m_strError;
    if (error.empty() && !commandLine.m_strLogFile.empty() && !log.Open(commandLine.m_strLogFile)) {
        error = "cannot write the log file " + ToUtf8(commandLine.m_strLogFile);
    }
    if (!error.empty()) {
        if (!commandLine.Unattended())
            MessageBoxW(nullptr, FromUtf8(error).c_str(), L"Uninstall", MB_OK | MB_ICONERROR);
        return CUninstaller::kExitFailed;
    }
    if (!commandLine.m_bSilent) {
        // Started by a person: asked first, then shown the work and asked about shared files;
        // with /P only shown the work.
        return RunUninstallWithWindows(commandLine, log);
    }
    // The builder sets the size slot of the uninstaller it packs; the key slot is read so that
    // its marker stays in the image like the setup program's.
    if (OwnSizeSlot() == 0 || OwnKeySlot() == 0)
        log.Line("this uninstaller was not prepared by a setup program");
    CUninstaller uninstaller(commandLine, log);
    return uninstaller.Run();
}
