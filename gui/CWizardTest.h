// The test run of the install wizard: the test program (the project's wizard without files) is
// written to the application's scratch file and started without waiting. On Windows it runs
// directly; elsewhere through Wine (VELKAN_WINE, else the 64-bit loader, else "wine64" or
// "wine"), and without Wine a message says how to get it.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace velkan {

class CDataArray;

class CWizardTest {
public:
    // Starts the program at path (a host path); true when it started. Tests put their own here.
    using Launcher = std::function<bool(const QString& program)>;

    // Writes the test program to path and starts it, beginning on an editor page (-1 for no
    // particular page). Does nothing while the previous test program still runs, when path is
    // empty, or when the setup stub is missing; a file error is shown in a message.
    static void RunWizardTest(const CDataArray& project, const QString& path, int startPage,
                              QWidget* parent);
    // The same with the application's scratch file.
    static void Run(const CDataArray& project, int startPage, QWidget* parent);

    // Whether a test program started from here still runs.
    static bool IsRunning();
    // The Wine loader that would start a Windows program here; empty when none is installed.
    static QString WineLoader();

    static void SetLauncher(Launcher launcher);
};

}  // namespace velkan
