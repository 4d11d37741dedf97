// The setup program's face: the install wizard, run when setup is started without /S. Its
// windows are made from the dialog-template block the package carries and filled with the
// chosen version's texts; the pages follow CWizardSequence. The install itself is CInstaller's,
// run on a worker thread and watched through IInstallProgress. In window mode 1 a full-screen
// window with the background pattern (or a gradient) and the background title stands behind the
// wizard. A test program (a package with a test section) shows the same pages and writes nothing.
// With /P (for package managers) it shows the progress page alone and asks nothing: the run takes
// the command line as /S would, Cancel stops it without a question, and the window closes with
// the run, whose exit code is the program's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/CCommandLine.h"

namespace velkan::runtime {

class CRunLog;

class CSetupWizard {
public:
    CSetupWizard(const CCommandLine& commandLine, CRunLog& log);
    ~CSetupWizard();
    // Shows the wizard, installs when the person asks; returns the setup program's exit code.
    int Run();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace velkan::runtime
