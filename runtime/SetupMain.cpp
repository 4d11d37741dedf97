// The setup program (resource 500, and 501 for the Windows 3.1 layout): the install runtime's
// stub. Unattended: setup.exe /S [/D=DIR] [/V=N|/V=NAME] [/LOG=FILE] [/ALLUSERS|/CURRENTUSER];
// /P instead of /S shows the progress window and asks nothing either; without either the wizard,
// with /D and /V chosen beforehand and the same places and lock.
#include <windows.h>

#include "runtime/CCommandLine.h"
#include "runtime/CInstaller.h"
#include "runtime/CRunLog.h"
#include "runtime/SafeDllSearch.h"
#include "runtime/WinText.h"
#include "runtime/wizard/CSetupWizard.h"

using namespace velkan::runtime;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RestrictDllSearch();
    CCommandLine commandLine(ProcessArguments());
    CRunLog log;
    // A line that cannot be carried out as written changes nothing.
    std::string error = commandLine.m_strError;
    if (error.empty() && !commandLine.m_strLogFile.empty() && !log.Open(commandLine.m_strLogFile)) {
        error = "cannot write the log file " + ToUtf8(commandLine.m_strLogFile);
    }
    if (!error.empty()) {
        log.Line("error: " + error);
        if (!commandLine.Unattended())
            MessageBoxW(nullptr, FromUtf8(error).c_str(), L"Setup", MB_OK | MB_ICONERROR);
        return CInstaller::kExitFailed;
    }
    for (const std::wstring& unknown : commandLine.m_unknown)
        log.Line("ignored argument: " + ToUtf8(unknown));
    if (!commandLine.m_bSilent) {
        // Started by a person: the wizard asks, then installs; with /P its progress page alone.
        CSetupWizard wizard(commandLine, log);
        return wizard.Run();
    }
    CInstaller installer(commandLine, log);
    return installer.Run();
}
