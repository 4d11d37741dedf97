// The application object: start-up (scratch file, settings, command line), the document and its
// main window, opening files by name, help, and shutdown.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "gui/CRecentFileList.h"

namespace velkan {

class CHelpWindow;
class CMainFrame;
class CSetwellDoc;
class IBuildRunner;

class CSetwellApp : public QObject {
    Q_OBJECT
public:
    // runner: the build behind the Build page; null for the engine's.
    explicit CSetwellApp(IBuildRunner* runner = nullptr);
    ~CSetwellApp() override;

    // Start-up with the arguments after the program's name; false when the application must
    // quit at once (no scratch file could be made).
    bool InitInstance(const QStringList& arguments);
    // Shutdown: deletes the scratch file.
    void ExitInstance();

    // Opens path into the document (after the save prompt); handles the ".vkt" extension and the
    // recent-file list. Null when the file was not opened.
    // remember: the file joins the recent files (not for an unattended build).
    CSetwellDoc* OpenDocumentFile(const QString& path, bool remember = true);

    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    // A help request: a context request for data (0x20000 + resource id) or the contents.
    void WinHelp(uint32_t data, bool isContextRequest);
    // The same for the running application (dialogs without a path to it).
    static void Help(uint32_t data, bool isContextRequest);
    static CSetwellApp* Instance() { return s_instance; }

    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    CSetwellDoc* GetDocument() const { return m_doc.get(); }
    CRecentFileList& GetRecentFiles() { return m_recent; }
    const QString& GetTempFile() const { return m_strTempFile; }
    CHelpWindow* GetHelpWindow() const;
    // The exit status once the event loop ends (a command-line build's result, or 1 after the
    // window was closed during a build).
    void SetExitCode(int code) { m_nExitCode = code; }
    int ExitCode() const { return m_nExitCode; }

private:
    static CSetwellApp* s_instance;

    std::unique_ptr<IBuildRunner> m_ownRunner;
    IBuildRunner* m_runner;
    std::unique_ptr<CSetwellDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    QPointer<CHelpWindow> m_help;
    CRecentFileList m_recent;
    QString m_strTempFile;
    int m_nExitCode = 0;
};

}  // namespace velkan
