// The Files page: scan, merge of known paths, sort order, directory commit, Escape, and the
// File Options pages on single and multiple selections.
#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QTreeWidget>

#include <sys/stat.h>

#include "core/model/CData.h"
#include "core/res/StringTable.h"
#include "gui/CFileOptAdv.h"
#include "gui/CFileOptEndPage.h"
#include "gui/CFileOptIcon.h"
#include "gui/CFileOptShortCut.h"
#include "gui/CFilesPage.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/COptSheet.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class FilesPageTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CSetwellApp> m_app;
    std::unique_ptr<QTemporaryDir> m_source;

    CFilesPage& Page() { return *m_app->GetMainFrame()->GetView()->GetSheet()->GetFilesPage(); }
    CData& Version() { return *m_app->GetDocument()->m_project.GetCurrent(); }
    std::string SourceDir() { return (m_source->path() + "/").toStdString(); }

    QStringList Rows()
    {
        QStringList rows;
        for (int i = 0; i < Page().FileList()->topLevelItemCount(); ++i) {
            rows << Page().FileList()->topLevelItem(i)->text(0);
        }
        return rows;
    }
    QString FlagsOf(const QString& path)
    {
        for (int i = 0; i < Page().FileList()->topLevelItemCount(); ++i) {
            if (Page().FileList()->topLevelItem(i)->text(0) == path) {
                return Page().FileList()->topLevelItem(i)->text(1);
            }
        }
        return QString();
    }
    void Select(const QStringList& paths)
    {
        Page().FileList()->clearSelection();
        for (int i = 0; i < Page().FileList()->topLevelItemCount(); ++i) {
            QTreeWidgetItem* row = Page().FileList()->topLevelItem(i);
            if (paths.contains(row->text(0))) row->setSelected(true);
        }
    }
    CFileItem& File(const char* path) { return *Version().m_files.FindByPath(path); }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_source = std::make_unique<QTemporaryDir>();
        MakeFiles(m_source->path(), {"Setup.EXE", "readme.txt", "sub/b.txt", "Sub2/A.txt",
                                     "lib/core.dll", "lib/x.Ocx"});
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
        Version().m_strSourceDir = SourceDir();
        m_app->GetMainFrame()->GetView()->RefreshPages();
    }

    void cleanup()
    {
        m_app->GetDocument()->SetModifiedFlag(false);
        m_app->GetMainFrame()->close();
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
        m_source.reset();
    }

    void scanSortsRootFilesFirst()
    {
        QStringList rows = Rows();
        QCOMPARE(rows.size(), 6);
        // Directory parts compare with their backslash: "Sub2\" < "sub\" ('2' < '\').
        QCOMPARE(rows.mid(2),
                 (QStringList{"lib\\core.dll", "lib\\x.Ocx", "Sub2\\A.txt", "sub\\b.txt"}));
        QVERIFY(rows.mid(0, 2).contains("Setup.EXE") && rows.mid(0, 2).contains("readme.txt"));
        QCOMPARE(File("lib\\x.Ocx").GetOption(OptUsageCount), OptionOn);
        // The usage count shows only with a destination other than the installation directory.
        QCOMPARE(FlagsOf("lib\\x.Ocx"), QString("........"));
    }

    void rescanKeepsKnownPathsAndDropsGoneOnes()
    {
        File("Setup.EXE").m_strMenuName = "Setup";
        File("readme.txt").SetOption(OptInstallMode, InstallKeep);
        // Renamed on disk only in case: the options and the old spelling stay.
        QVERIFY(QFile::rename(m_source->path() + "/Setup.EXE", m_source->path() + "/setup.exe"));
        QVERIFY(QFile::remove(m_source->path() + "/readme.txt"));
        Page().OnRefresh();
        QVERIFY(m_app->GetDocument()->IsModified());
        QCOMPARE(File("Setup.EXE").m_strPath, std::string("Setup.EXE"));
        QCOMPARE(File("Setup.EXE").m_strMenuName, std::string("Setup"));
        QVERIFY(!Version().m_files.FindByPath("readme.txt"));
        // Back again: without its former options.
        MakeFiles(m_source->path(), {"readme.txt"});
        Page().OnRefresh();
        QCOMPARE(File("readme.txt").GetOption(OptInstallMode), InstallNormal);
    }

    // What the scan leaves out is shown to the author in one warning naming every file; a name
    // Windows refuses stops the scan with an error naming it, and the list stays as it was.
    void scanNotesAreShown()
    {
        const QString dir = m_source->path();
        QTemporaryDir outside;
        MakeFiles(outside.path(), {"secret.txt"});
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/pipe").constData(), 0600), 0);
        QVERIFY(QFile::link(dir + "/nowhere.txt", dir + "/dangling.txt"));
        QVERIFY(QFile::link(outside.path() + "/secret.txt", dir + "/key.txt"));
        m_prompts->messages.clear();
        Page().OnRefresh();
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messageIcons.last(), QMessageBox::Warning);
        const QString& shown = m_prompts->messages.last();
        for (const char* name : {"pipe", "dangling.txt", "key.txt"}) {
            QVERIFY2(shown.contains(dir + "/" + name), qPrintable(shown));
        }
        QCOMPARE(Rows().size(), 6);

        MakeFiles(dir, {"aux"});
        m_prompts->messages.clear();
        Page().OnRefresh();
        QVERIFY2(m_prompts->messages.last().contains(dir + "/aux"),
                 qPrintable(m_prompts->messages.last()));
        QCOMPARE(Rows().size(), 6);
    }

    // Switching sub-directories off and on again gives back the options of the files that are
    // still there; a file gone meanwhile stays gone.
    void subDirectoriesSwitch()
    {
        File("sub\\b.txt").SetOption(OptEndPage, EndPageView);
        File("Sub2\\A.txt").m_strMenuName = "A";
        File("lib\\core.dll").SetOption(OptKeepExternal, OptionOn);
        File("readme.txt").SetOption(OptInstallMode, InstallKeep);
        Page().SubDirsBox()->click();
        QCOMPARE(Version().m_bSubDirs, 0);
        QCOMPARE(Rows().size(), 2);
        QVERIFY(QFile::remove(m_source->path() + "/Sub2/A.txt"));
        Page().SubDirsBox()->click();
        QCOMPARE(Rows().size(), 5);
        QCOMPARE(File("sub\\b.txt").GetOption(OptEndPage), int(EndPageView));
        QCOMPARE(FlagsOf("sub\\b.txt"), QString::fromStdString(File("sub\\b.txt").FlagsText()));
        QCOMPARE(File("lib\\core.dll").GetOption(OptKeepExternal), int(OptionOn));
        QCOMPARE(File("readme.txt").GetOption(OptInstallMode), int(InstallKeep));
        QVERIFY(!Version().m_files.FindByPath("Sub2\\A.txt"));
        // Back on disk, it is a new file: a toggle keeps what is there, it is no archive.
        MakeFiles(m_source->path(), {"Sub2/A.txt"});
        Page().OnRefresh();
        QCOMPARE(File("Sub2\\A.txt").m_strMenuName, std::string());
    }

    void directoryCommit()
    {
        m_app->GetDocument()->SetModifiedFlag(false);
        QString other = m_source->path() + "/sub";
        Page().DirectoryEdit()->setText(other);
        Page().CommitDirectory();
        QCOMPARE(QString::fromStdString(Version().m_strSourceDir), other + "/");
        QCOMPARE(Rows(), QStringList{"b.txt"});
        QVERIFY(m_app->GetDocument()->IsModified());
        // The same directory again: no re-scan, no change.
        m_app->GetDocument()->SetModifiedFlag(false);
        Page().DirectoryEdit()->setText(other + "/");
        Page().CommitDirectory();
        QVERIFY(!m_app->GetDocument()->IsModified());
        // A mistyped directory: the message, and nothing changes (the list keeps its options).
        m_app->GetDocument()->SetModifiedFlag(false);
        Page().DirectoryEdit()->setText("/no/such/dir");
        Page().CommitDirectory();
        QVERIFY(m_prompts->messages.value(0).startsWith("Cannot find this directory:"));
        QCOMPARE(Rows(), QStringList{"b.txt"});
        QCOMPARE(QString::fromStdString(Version().m_strSourceDir), other + "/");
        QCOMPARE(Page().DirectoryEdit()->text(), other + "/");
        QVERIFY(!m_app->GetDocument()->IsModified());
        // An emptied field empties the list.
        Page().DirectoryEdit()->setText(m_source->path());
        Page().CommitDirectory();
        Page().DirectoryEdit()->clear();
        Page().CommitDirectory();
        QVERIFY(Version().m_files.empty());
    }

    void escapeCancelsTheScan()
    {
        // A cancel changes nothing: every file and its options stay, and so does the directory.
        Version().m_files[0].SetOption(OptDestination, DestSystem);
        CFileList before = Version().m_files;
        m_app->GetDocument()->SetModifiedFlag(false);
        QCoreApplication::postEvent(
            Page().FileList(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        Page().OnRefresh();
        QVERIFY(Version().m_files == before);
        QCOMPARE(Version().m_strSourceDir, SourceDir());
        QVERIFY(!m_app->GetDocument()->IsModified());
    }

    void contextMenuState()
    {
        QCOMPARE(Page().ContextMenuState(), std::make_pair(true, false));
        Select({"readme.txt"});
        QCOMPARE(Page().ContextMenuState(), std::make_pair(true, true));
        Version().m_strSourceDir.clear();
        Page().FillFileList();
        Version().m_files.clear();
        Page().FillFileList();
        QCOMPARE(Page().ContextMenuState(), std::make_pair(false, false));
    }

    void startMenuPage()
    {
        CFileOptIcon* icon = Page().OptionsSheet()->IconPage();
        Page().OptionsSheet()->setCurrentWidget(icon);
        for (const char* p : {"sub\\b.txt", "Sub2\\A.txt", "readme.txt"}) {
            File(p).m_strMenuFolder = "Tools";
        }
        File("readme.txt").m_strMenuFolder = "TOOLS";
        Select({"sub\\b.txt", "Sub2\\A.txt", "readme.txt"});
        // Equal without case: the first selected row's spelling (readme.txt, a root file).
        QCOMPARE(icon->m_folder->text(), QString("TOOLS"));
        QVERIFY(!icon->m_name->isEnabled());
        QVERIFY(icon->m_name->text().isEmpty());
        icon->m_folder->setText("Apps");
        icon->InsertMacro(5009);
        for (const char* p : {"sub\\b.txt", "Sub2\\A.txt", "readme.txt"}) {
            QCOMPARE(File(p).m_strMenuFolder, std::string("Apps#Start Menu#"));
        }
        // A different folder in the selection shows none.
        File("readme.txt").m_strMenuFolder = "Other";
        Page().OptionsSheet()->RefreshActivePage();
        QCOMPARE(icon->m_folder->text(), QString());
        // One file: name, options and a signed icon number.
        Select({"Setup.EXE"});
        QVERIFY(icon->m_name->isEnabled());
        icon->m_name->setText("Setup");
        icon->m_iconNumber->setText("-1");
        QCOMPARE(File("Setup.EXE").m_strMenuName, std::string("Setup"));
        QCOMPARE(File("Setup.EXE").m_nIconIndex, -1);
        QCOMPARE(FlagsOf("Setup.EXE"), QString("i......."));
        // Nothing selected: all disabled and empty.
        Select({});
        QVERIFY(!icon->m_folder->isEnabled());
        QVERIFY(icon->m_folder->text().isEmpty());
    }

    void shortcutPage()
    {
        CFileOptShortCut* page = Page().OptionsSheet()->ShortcutPage();
        Page().OptionsSheet()->setCurrentWidget(page);
        Select({"Setup.EXE", "readme.txt"});
        QVERIFY(!page->m_name->isEnabled());
        Select({"Setup.EXE"});
        page->m_name->setText("Setup");
        QCOMPARE(File("Setup.EXE").m_strShortcutName, std::string("Setup"));
        QCOMPARE(FlagsOf("Setup.EXE"), QString(".s......"));
    }

    void viewRunExclusivity()
    {
        CFileOptEndPage* page = Page().OptionsSheet()->EndPage();
        Page().OptionsSheet()->setCurrentWidget(page);
        Select({"readme.txt"});
        page->m_view->click();
        QCOMPARE(File("readme.txt").GetOption(OptEndPage), EndPageView);
        Select({"Setup.EXE"});
        page->m_view->click();
        QCOMPARE(File("Setup.EXE").GetOption(OptEndPage), EndPageView);
        QCOMPARE(File("readme.txt").GetOption(OptEndPage), EndPageNone);
        QCOMPARE(FlagsOf("readme.txt"), QString("........"));
        // Run on the View file: the file carries Run only.
        page->m_run->click();
        QCOMPARE(File("Setup.EXE").GetOption(OptEndPage), EndPageRun);
        QVERIFY(!page->m_view->isChecked());
        page->m_run->click();
        QCOMPARE(File("Setup.EXE").GetOption(OptEndPage), EndPageNone);
        Select({"Setup.EXE", "readme.txt"});
        QVERIFY(!page->m_view->isEnabled());
    }

    void advancedPage()
    {
        CFileOptAdv* page = Page().OptionsSheet()->AdvancedPage();
        Page().OptionsSheet()->setCurrentWidget(page);
        File("lib\\core.dll").SetOption(OptDestination, DestSystem);
        Select({"lib\\core.dll", "lib\\x.Ocx"});
        // Mixed destination: no box checked; one file in the install dir disables the count.
        QVERIFY(!page->Box(1074)->isChecked() && !page->Box(1075)->isChecked());
        QVERIFY(!page->Box(1122)->isEnabled());
        // Windows for both: the count box comes back, checked (both DLL/OCX have it).
        page->Box(1074)->click();
        QCOMPARE(File("lib\\x.Ocx").GetOption(OptDestination), DestWindows);
        QCOMPARE(File("lib\\core.dll").GetOption(OptDestination), DestWindows);
        QVERIFY(page->Box(1122)->isEnabled());
        QVERIFY(page->Box(1122)->isChecked());
        QCOMPARE(FlagsOf("lib\\x.Ocx"), QString("...wu..."));
        // Another box of the group replaces the first; unchecking it leaves 0.
        page->Box(1076)->click();
        QVERIFY(!page->Box(1074)->isChecked());
        QCOMPARE(File("lib\\x.Ocx").GetOption(OptDestination), DestFonts);
        page->Box(1076)->click();
        QCOMPARE(File("lib\\x.Ocx").GetOption(OptDestination), DestInstallDir);
        // Install mode: checking and unchecking returns to normal (1).
        page->Box(1124)->click();
        QCOMPARE(File("lib\\core.dll").GetOption(OptInstallMode), InstallSkip);
        QCOMPARE(FlagsOf("lib\\core.dll").at(5), QChar('N'));
        page->Box(1124)->click();
        QCOMPARE(File("lib\\core.dll").GetOption(OptInstallMode), InstallNormal);
        QCOMPARE(FlagsOf("lib\\core.dll").at(5), QChar('.'));
        page->Box(1125)->click();
        page->Box(1126)->click();
        QCOMPARE(File("lib\\core.dll").GetOption(OptSpecial), SpecialRegisterOcx);
        QVERIFY(!page->Box(1125)->isChecked());
        page->Box(1128)->click();
        QCOMPARE(File("lib\\x.Ocx").GetOption(OptKeepExternal), OptionOn);
        // No selection: everything disabled and unchecked.
        Select({});
        QVERIFY(!page->Box(1128)->isEnabled() && !page->Box(1128)->isChecked());
    }

    void wizardChoicesApplied()
    {
        CData& version = Version();
        version.m_strTitle = "Demo";
        version.m_bWizardPending = 1;
        version.m_strWizIconFile = SourceDir() + "Setup.EXE";
        version.m_strWizIconName = "Demo";
        version.m_bWizShortcut = 1;
        version.m_strWizViewFile = SourceDir() + "readme.txt";
        version.m_strWizRunFile = SourceDir() + "lib/core.dll";
        Page().LoadFromProject();
        QCOMPARE(version.m_bWizardPending, 0);
        QCOMPARE(File("Setup.EXE").m_strMenuFolder, std::string("Demo"));
        QCOMPARE(File("Setup.EXE").m_strShortcutName, std::string("Demo"));
        QCOMPARE(File("readme.txt").GetOption(OptEndPage), EndPageView);
        QCOMPARE(File("lib\\core.dll").GetOption(OptEndPage), EndPageRun);
        QCOMPARE(FlagsOf("Setup.EXE"), QString("is......"));
        QCOMPARE(version.m_texts[5][2], LoadString(1166));
        QCOMPARE(version.m_texts[5][3], LoadString(1167));
    }
};

QTEST_MAIN(FilesPageTest)
#include "test_files_page.moc"
