// The uninstaller's windows, when a person starts it (no /S): the confirmation with the
// uninstaller's texts, a progress window while CUninstaller works on a worker thread, the
// Yes / Yes to all / No / No to all question before a shared file no other program counts on is
// removed, and the final message; with /P the progress window alone (nothing asked, shared files
// removed as /S removes them, no final message). The uninstaller carries no package, so its two dialogs come
// from the templates the builder writes into every package, compiled in.
#pragma once

namespace velkan::install {
class CCommandLine;
}

namespace velkan::runtime {

using install::CCommandLine;
class CRunLog;

// Runs the uninstaller with its windows; returns its exit code (kExitDeclined when the person
// declines).
int RunUninstallWithWindows(const CCommandLine& commandLine, CRunLog& log);

}  // namespace velkan::runtime
