// The Build page: the output path dialog, the disabled window during a build and its
// re-enabling after any ending, real builds through the engine (report lines and numbers, failure,
// Escape, warnings, a missing install runtime, closing the window), the disk prompts, the columns,
// and the command line's /B.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>

#include "core/builder/BuildPreparation.h"
#include "core/builder/ReportNumbers.h"
#include "core/model/CData.h"
#include "core/model/ProjectFile.h"
#include "core/platform/ProjectFolder.h"
#include "core/res/StringTable.h"
#include "gui/CBuildPage.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CPreferencesDialog.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/QtText.h"
#include "gui/CQtDiskHost.h"
#include "gui/CommandIds.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class BuildPageTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    QTemporaryDir m_dir;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    CRecordingRunner m_runner;
    std::unique_ptr<CSetwellApp> m_app;

    CInstallSheet& Sheet() { return *m_app->GetMainFrame()->GetView()->GetSheet(); }
    CBuildPage& Page() { return *Sheet().GetBuildPage(); }
    CDataArray& Project() { return m_app->GetDocument()->m_project; }

    // The window and its Build page over the engine's own build (the default runner).
    void UseEngine()
    {
        cleanup();
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
    }

    // A one-version project over name/src (a text file of 30000 bytes and a small one in a
    // sub-directory) building into output without asking.
    void MakeProject(const QString& name, const QString& output)
    {
        QString source = m_dir.path() + "/" + name + "/src";
        QByteArray text;
        for (int i = 0; text.size() < 30000; ++i)
            text += "line " + QByteArray::number(i) + " of a.txt\r\n";
        text.truncate(30000);
        WriteFile(source + "/a.txt", text);
        WriteFile(source + "/sub/b.txt", "b");
        CData& version = *Project().GetCurrent();
        version.m_strSourceDir = FromQt(source + "/");
        version.m_files.clear();
        version.m_files.push_back(CFileItem("a.txt"));
        version.m_files.push_back(CFileItem("sub\\b.txt"));
        version.m_bKeepOutputPath = 1;
        Project().m_strOutputPath = FromQt(output);
    }

    QStringList ReportTexts()
    {
        QStringList texts;
        for (int i = 0; i < Page().ReportList()->topLevelItemCount(); ++i) {
            texts << Page().ReportList()->topLevelItem(i)->text(CBuildPage::ColFile);
        }
        return texts;
    }

    void ExpectEnabled(bool enabled)
    {
        QCOMPARE(Page().BuildButton()->isEnabled(), enabled);
        QCOMPARE(Sheet().tabBar()->isEnabled(), enabled);
        QCOMPARE(m_app->GetMainFrame()->Action(IdFileOpen)->isEnabled(), enabled);
        QCOMPARE(m_app->GetMainFrame()->menuBar()->actions().value(0)->isEnabled(), enabled);
    }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_runner = CRecordingRunner();
        m_app = std::make_unique<CSetwellApp>(&m_runner);
        QVERIFY(m_app->InitInstance({}));
    }

    void cleanup()
    {
        if (m_app->GetMainFrame()) {
            m_app->GetDocument()->SetModifiedFlag(false);
            m_app->GetMainFrame()->close();
        }
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
    }

    void cancelledSaveDialogBuildsNothing()
    {
        m_app->GetMainFrame()->GetView()->OnBuild();
        QCOMPARE(Sheet().currentWidget(), static_cast<QWidget*>(&Page()));
        QCOMPARE(m_runner.calls, 0);
        QCOMPARE(m_prompts->saveDialogDirs.size(), 1);
        ExpectEnabled(true);
        QVERIFY(!m_app->GetDocument()->IsModified());
    }

    void buildDisablesWindowAndReportsNumbers()
    {
        QString out = m_dir.path() + "/setup";
        m_prompts->fileNames << out;
        bool disabledDuring = false;
        int barValue = -1;
        QString barText;
        bool messagePaneHidden = false;
        m_runner.during = [&] {
            disabledDuring = !Page().BuildButton()->isEnabled() && !Sheet().tabBar()->isEnabled() &&
                             !m_app->GetMainFrame()->Action(IdBuild)->isEnabled();
            QStatusBar* status = m_app->GetMainFrame()->statusBar();
            auto bars = status->findChildren<QProgressBar*>();
            if (bars.size() == 1) barValue = bars[0]->value();
            for (QLabel* label : status->findChildren<QLabel*>()) {
                if (label->text().endsWith('%')) barText = label->text();
            }
            QWidget* pane = status->findChild<QWidget*>("messagePane");
            messagePaneHidden = pane && !pane->isVisible();
        };
        Page().OnBuild();
        QCOMPARE(m_runner.calls, 1);
        QCOMPARE(QString::fromStdString(m_runner.lastOutputPath), out + ".exe");
        QCOMPARE(QString::fromStdString(Project().m_strOutputPath), out + ".exe");
        QVERIFY(m_app->GetDocument()->IsModified());
        QVERIFY(disabledDuring);
        QCOMPARE(barValue, 5000);
        QCOMPARE(barText, QString("50.00 %"));
        QVERIFY(messagePaneHidden);
        QVERIFY(
            m_app->GetMainFrame()->statusBar()->findChild<QWidget*>("messagePane")->isVisible());
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Built));
        ExpectEnabled(true);
        QTreeWidgetItem* row = Page().ReportList()->topLevelItem(0);
        QVERIFY(row);
        QCOMPARE(row->text(CBuildPage::ColFile), QString("a.txt"));
        QCOMPARE(row->text(CBuildPage::ColSize), QString("1,200,000"));
        QCOMPARE(row->text(CBuildPage::ColPacked), QString("300,000"));
        QCOMPARE(row->text(CBuildPage::ColRatio), QString("75%"));
        QCOMPARE(Page().LastLine(), 0);
        // The progress controls are gone after the build.
        QVERIFY(m_app->GetMainFrame()->findChildren<QProgressBar*>().isEmpty());
        // The stored path is offered next time; a second build clears the report first.
        m_prompts->fileNames << out + ".exe";
        Page().OnBuild();
        QCOMPARE(m_prompts->saveDialogDirs.last(), out + ".exe");
        QCOMPARE(Page().ReportList()->topLevelItemCount(), 1);
    }

    void failedOrCancelledBuildReenables_data()
    {
        QTest::addColumn<int>("ending");
        QTest::addColumn<int>("messages");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("cancelled")
            << int(CRecordingRunner::Ending::Cancel) << 0 << "Build cancelled.";
        QTest::newRow("failed") << int(CRecordingRunner::Ending::Fail) << 1 << "Build failed.";
    }
    void failedOrCancelledBuildReenables()
    {
        QFETCH(int, ending);
        QFETCH(int, messages);
        QFETCH(QString, lastLine);
        m_runner.ending = static_cast<CRecordingRunner::Ending>(ending);
        m_prompts->fileNames << m_dir.path() + "/out.exe";
        Page().OnBuild();
        QCOMPARE(m_runner.calls, 1);
        QCOMPARE(m_prompts->messages.size(), messages);
        if (messages) QVERIFY(m_prompts->messages[0].contains("disk full"));
        // The report says how the build ended.
        QCOMPARE(ReportTexts().value(ReportTexts().size() - 1), lastLine);
        ExpectEnabled(true);
    }

    void unattendedBuildWithoutOutputPathFails()
    {
        // velkan P.vkp /B must never wait for a file dialog.
        Project().m_strOutputPath.clear();
        Project().GetCurrent()->m_bKeepOutputPath = 1;
        Page().OnBuild();
        QCOMPARE(m_prompts->saveDialogDirs.size(), 0);
        QCOMPARE(m_runner.calls, 0);
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Failed));
        QCOMPARE(CBuildPage::ExitStatusFor(Page().LastResult()), 1);
    }

    void keptOutputPathAsksNothing()
    {
        Project().m_strOutputPath = (m_dir.path() + "/kept.exe").toStdString();
        Project().GetCurrent()->m_bKeepOutputPath = 1;
        Page().OnBuild();
        QCOMPARE(m_prompts->saveDialogDirs.size(), 0);
        QCOMPARE(m_runner.calls, 1);
    }

    void platformAndColumns()
    {
        Sheet().setCurrentWidget(&Page());
        QVERIFY(Page().Win32Button()->isChecked());
        Page().Win31Button()->click();
        QCOMPARE(Project().m_nPlatform, 0);
        QVERIFY(m_app->GetDocument()->IsModified());
        QVERIFY(Page().ReportList()->isColumnHidden(CBuildPage::ColSize));
        CPrefGroup::Output().Set(CPrefGroup::PrefOutputOriginalSize, 1);
        CPrefGroup::Output().Set(CPrefGroup::PrefOutputRatio, 0);
        m_app->GetMainFrame()->GetView()->NotifyPreferencesChanged();
        QVERIFY(!Page().ReportList()->isColumnHidden(CBuildPage::ColSize));
        QVERIFY(Page().ReportList()->isColumnHidden(CBuildPage::ColRatio));
        CPrefGroup::Output().Set(CPrefGroup::PrefOutputOriginalSize, 0);
        CPrefGroup::Output().Set(CPrefGroup::PrefOutputRatio, 1);
    }

    void realBuildReportsEveryFileAndTheSummary()
    {
        CFakeRuntime runtime;
        UseEngine();
        QString out = m_dir.path() + "/real/setup.exe";
        MakeProject("real", out);
        Page().OnBuild();

        QCOMPARE(m_prompts->messages, QStringList());
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Built));
        ExpectEnabled(true);
        QVERIFY(m_app->GetMainFrame()->findChildren<QProgressBar*>().isEmpty());
        QFile program(out);
        QVERIFY(program.open(QIODevice::ReadOnly));
        QCOMPARE(program.read(2), QByteArray("MZ"));

        const QStringList expected = {
            LoadQString(1009),
            "a.txt",
            "sub\\b.txt",
            "",
            LoadQString(1151),
            "    Number of files: 3",
            "    Total uncompressed size: 30001 bytes",
            ReportTexts().value(7),  // the compressed total is checked below
            QString("    Install program size: %1 bytes").arg(program.size()),
        };
        QCOMPARE(ReportTexts(), expected);
        QCOMPARE(Page().LastLine(), expected.size() - 1);

        // Each file line carries the engine's numbers in the page's columns; the packed sizes
        // add up to the compressed total.
        qint64 packedFiles = 0;
        for (int i = 1; i <= 2; ++i) {
            QTreeWidgetItem* row = Page().ReportList()->topLevelItem(i);
            QString packedText = row->text(CBuildPage::ColPacked);
            qint64 packed = QString(packedText).remove(',').toLongLong();
            QVERIFY2(packed > 0, qPrintable(packedText));
            packedFiles += packed;
            uint64_t size = i == 1 ? 30000 : 1;
            ReportColumns columns = FormatReportNumbers(CBuildReport::kKindFile, size, packed);
            QCOMPARE(row->text(CBuildPage::ColSize), QString::fromStdString(columns.size));
            QCOMPARE(packedText, QString::fromStdString(columns.packed));
            QCOMPARE(row->text(CBuildPage::ColRatio), QString::fromStdString(columns.ratio));
        }
        QCOMPARE(Page().ReportList()->topLevelItem(1)->text(CBuildPage::ColSize),
                 QString("30,000"));
        QVERIFY(Page().ReportList()->topLevelItem(1)->text(CBuildPage::ColRatio).endsWith('%'));
        QCOMPARE(ReportTexts().value(7),
                 QString("    Total compressed size: %1 bytes").arg(packedFiles));
        // The summary lines carry no numbers of their own.
        QCOMPARE(Page().ReportList()->topLevelItem(4)->text(CBuildPage::ColPacked), QString());
        QVERIFY(!Page().ReportList()->topLevelItem(0)->text(CBuildPage::ColPacked).isEmpty());
    }

    // "Delta search" and "Share equal files", chosen in Preferences, reach the build's settings;
    // by default neither is on.
    void theSmallerSetupPreferencesReachTheBuildSettings()
    {
        MakeProject("smaller", m_dir.path() + "/smaller/setup.exe");
        Page().OnBuild();
        QCOMPARE(m_runner.calls, 1);
        QCOMPARE(m_runner.lastDeltaSearch, DeltaSearch::Window);
        QVERIFY(!m_runner.lastShareEqualFiles);

        m_prompts->onDialog = [](QDialog&) { return int(QDialog::Accepted); };
        {
            CPreferencesDialog dialog(m_app->GetMainFrame());
            QCOMPARE(dialog.m_deltaSearch->currentIndex(), 0);
            QVERIFY(!dialog.m_shareEqualFiles->isChecked());
            dialog.m_deltaSearch->setCurrentIndex(1);
            dialog.m_shareEqualFiles->setChecked(true);
            QVERIFY(dialog.Run());
        }
        Page().OnBuild();
        QCOMPARE(m_runner.calls, 2);
        QCOMPARE(m_runner.lastDeltaSearch, DeltaSearch::Global);
        QVERIFY(m_runner.lastShareEqualFiles);
        {
            CPreferencesDialog dialog(m_app->GetMainFrame());
            QCOMPARE(dialog.m_deltaSearch->currentIndex(), 1);
            QVERIFY(dialog.m_shareEqualFiles->isChecked());
        }
        CPrefGroup::SetDeltaSearchChoice(DeltaSearch::Window);
        CPrefGroup::SetShareEqualFiles(false);
    }

    void theSignCommandPreferenceSignsWhatTheBuildWrites()
    {
        CFakeRuntime runtime;
        UseEngine();
        QString out = m_dir.path() + "/signed/setup.exe";
        QString log = m_dir.path() + "/signed.log";
        MakeProject("signed", out);
        CPrefGroup::SetSignCommand("echo \"%1\" >> '" + log + "'");
        Page().OnBuild();
        CPrefGroup::SetSignCommand(QString());
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Built));
        QFile signedLog(log);
        QVERIFY(signedLog.open(QIODevice::ReadOnly));
        // The uninstaller (a scratch file) first, then the finished program under its temporary
        // name beside the target, before it takes the target's place.
        QStringList paths = QString(signedLog.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(paths.size(), 2);
        QVERIFY2(paths[1].startsWith(out + ".") && paths[1].endsWith(".tmp"), qPrintable(paths[1]));
        QVERIFY(QFile::exists(out));

        // A failing command fails the build, names the command and leaves the previous program.
        QFile previous(out);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        const QByteArray before = previous.readAll();
        previous.close();
        CPrefGroup::SetSignCommand("exit 7");
        Page().OnBuild();
        CPrefGroup::SetSignCommand(QString());
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Failed));
        QVERIFY2(m_prompts->messages.value(0).contains("exit status 7: exit 7"),
                 qPrintable(m_prompts->messages.value(0)));
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), before);
    }

    void failedBuildShowsTheErrorAndReenables()
    {
        CFakeRuntime runtime;
        UseEngine();
        QString out = m_dir.path() + "/failed/no such folder/setup.exe";
        MakeProject("failed", out);
        Page().OnBuild();
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Failed));
        QCOMPARE(m_prompts->messages.size(), 1);
        QVERIFY2(m_prompts->messages[0].contains("no such folder"),
                 qPrintable(m_prompts->messages[0]));
        QCOMPARE(m_prompts->messageIcons.value(0), QMessageBox::Warning);
        QVERIFY(!QFileInfo::exists(out));
        ExpectEnabled(true);
        QVERIFY(m_app->GetMainFrame()->findChildren<QProgressBar*>().isEmpty());
    }

    void escapeAsksWhetherToStop_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("Yes stops") << int(QMessageBox::Yes) << int(BuildStatus::Cancelled);
        QTest::newRow("No goes on") << int(QMessageBox::No) << int(BuildStatus::Built);
    }
    void escapeAsksWhetherToStop()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        CFakeRuntime runtime;
        UseEngine();
        QString out = m_dir.path() + "/escape" + QString::number(answer) + "/setup.exe";
        MakeProject("escape" + QString::number(answer), out);
        // Pressed before the build; the build's first pump sees it.
        QCoreApplication::postEvent(
            m_app->GetMainFrame(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        m_prompts->answers << static_cast<QMessageBox::StandardButton>(answer);
        Page().OnBuild();
        QCOMPARE(m_prompts->messages, QStringList{LoadQString(1076)});
        QCOMPARE(m_prompts->messageButtons.value(0), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(Page().LastResult(), std::optional(static_cast<BuildStatus>(result)));
        QCOMPARE(QFileInfo::exists(out), result == int(BuildStatus::Built));
        ExpectEnabled(true);
    }

    void warningsAnsweredNoWriteNothing()
    {
        CFakeRuntime runtime;
        UseEngine();
        QString out = m_dir.path() + "/warned/setup.exe";
        MakeProject("warned", out);
        Project().GetCurrent()->m_files[0].m_strMenuName = "A text";  // an icon without a folder
        Page().OnBuild();
        QCOMPARE(m_prompts->messages, QStringList{LoadQString(1185)});
        QCOMPARE(ReportTexts(), QStringList{LoadQString(1182)});
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Declined));
        QVERIFY(!QFileInfo::exists(out));
        ExpectEnabled(true);
    }

    void missingRuntimeIsNamedAndNothingIsWritten()
    {
        CFakeRuntime runtime(CFakeRuntime::Kind::Missing);
        UseEngine();
        QString out = m_dir.path() + "/noruntime/setup.exe";
        MakeProject("noruntime", out);
        Page().OnBuild();
        QCOMPARE(m_prompts->messages, QStringList{FromEngineText(RuntimeResourceMissingText(500))});
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Failed));
        QVERIFY(!QFileInfo::exists(out));
        QCOMPARE(ReportTexts(), QStringList{"Build failed."});
        ExpectEnabled(true);
    }

    void closingTheWindowStopsTheBuildAndQuits()
    {
        CFakeRuntime runtime;
        UseEngine();
        QString out = m_dir.path() + "/closed/setup.exe";
        MakeProject("closed", out);
        CMainFrame* frame = m_app->GetMainFrame();
        QCoreApplication::postEvent(frame, new QCloseEvent);
        Page().OnBuild();
        // Stopped without a question, the window still there until the close is repeated.
        QCOMPARE(Page().LastResult(), std::optional(BuildStatus::Cancelled));
        QCOMPARE(m_prompts->messages, QStringList());
        QVERIFY(!QFileInfo::exists(out));
        ExpectEnabled(true);
        QTRY_VERIFY(!frame->isVisible());
        QCOMPARE(m_app->ExitCode(), 1);
    }

    void diskPrompts()
    {
        CQtDiskHost disks(&Page());
        m_prompts->answers << QMessageBox::Ok << QMessageBox::Cancel;
        QVERIFY(disks.AskInsertDisk(2));
        QVERIFY(!disks.AskInsertDisk(3));
        QCOMPARE(m_prompts->messages.value(0), QString("Please insert disk number 2."));
        QCOMPARE(m_prompts->messageButtons.value(0), QMessageBox::Ok | QMessageBox::Cancel);

        disks.NotifyDiskHoldsFiles();
        QCOMPARE(m_prompts->messages.value(2), LoadQString(1186));
        QCOMPARE(m_prompts->messageButtons.value(2), QMessageBox::StandardButtons(QMessageBox::Ok));

        // The error text goes in as it is, even when it holds a "%d" itself.
        m_prompts->answers << QMessageBox::Retry << QMessageBox::Cancel;
        QVERIFY(disks.AskRetryDisk("/media/disk/setup.D01: 100%d full", 2));
        QVERIFY(!disks.AskRetryDisk("no disk", 2));
        QCOMPARE(
            m_prompts->messages.value(3),
            QString("Error: /media/disk/setup.D01: 100%d full\n\nPlease insert disk number 2."));
        QCOMPARE(m_prompts->messageButtons.value(3), QMessageBox::Retry | QMessageBox::Cancel);
        for (QMessageBox::Icon icon : m_prompts->messageIcons)
            QCOMPARE(icon, QMessageBox::Information);
    }

    void commandLineBuildsAndQuits_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("messages");
        QTest::newRow("built") << "auto.exe" << 0 << 0;
        QTest::newRow("failed") << "no such folder/auto.exe" << 1 << 1;
    }
    void commandLineBuildsAndQuits()
    {
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QFETCH(int, messages);
        CFakeRuntime runtime;
        QTemporaryDir source;
        MakeFiles(source.path(), {"a.txt"});
        CDataArray project = NewProject();
        QString out = m_dir.path() + "/" + output;
        project.m_strOutputPath = out.toStdString();
        project.m_versions[0].m_strSourceDir = (source.path() + "/").toStdString();
        project.m_versions[0].m_files.push_back(CFileItem("a.txt"));
        QString path = m_dir.path() + "/auto.vkp";
        SaveProject(project, path.toStdString());

        QFile::remove(out);
        CSetwellApp app;
        QVERIFY(app.InitInstance({"\"" + path + "\"", "/b"}));
        QString scratch = app.GetTempFile();
        QVERIFY(QFileInfo::exists(scratch));
        QTRY_VERIFY(!app.GetMainFrame()->isVisible());
        QCOMPARE(m_prompts->saveDialogDirs.size(), 0);
        QCOMPARE(m_prompts->messages.size(), messages);
        QCOMPARE(QFileInfo::exists(out), exitCode == 0);
        QCOMPARE(app.ExitCode(), exitCode);
        // An unattended build is no file the author opened.
        QVERIFY(!app.GetRecentFiles().Paths().contains(path));
        app.ExitInstance();
        QVERIFY(!QFileInfo::exists(scratch));
    }

    // /B builds what velkanc build builds from the same project and tree: the lists scanned again
    // (a file added after the project was made, in the second version too) and a relative source
    // folder read from the project's folder, whatever the current directory.
    void commandLineBuildsWhatVelkancBuilds()
    {
        struct CSilent : CBuildReport, IBuildHost {
            void AddLine(const std::string&) override {}
            void SetNumbers(int, uint64_t, uint64_t) override {}
            void ShowProgress(uint32_t, const std::string&) override {}
            PumpResult Pump() override { return PumpResult::Continue; }
            bool AskYesNo(const std::string&) override { return true; }
            void ShowInformation(const std::string&) override {}
            void ShowError(const std::string&) override {}
        };
        CFakeRuntime runtime;
        QString folder = m_dir.path() + "/moved";
        MakeFiles(folder + "/app", {"a.txt", "sub/b.txt"});
        CDataArray project = NewProject();
        project.m_strOutputPath = "editor.exe";
        project.m_versions[0].m_strSourceDir = "app/";
        project.m_versions[0].m_files.push_back(CFileItem("a.txt"));
        project.m_versions.push_back(project.m_versions[0]);
        project.m_versions[1].m_strName = "Two";
        QString path = folder + "/p.json";
        SaveProject(project, path.toStdString());
        MakeFiles(folder + "/app", {"later.txt"});

        QString before = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        CSetwellApp app;
        QVERIFY(app.InitInstance({path, "/B"}));
        QTRY_VERIFY(!app.GetMainFrame()->isVisible());
        QCOMPARE(app.ExitCode(), 0);
        app.ExitInstance();
        QDir::setCurrent(before);

        CSilent silent;
        CQtDiskHost disks(nullptr);
        BuildInputs inputs{ProjectFolderOf(path.toStdString()), {}, true, path.toStdString()};
        BuildSettings settings{(folder + "/velkanc.exe").toStdString(), std::string()};
        QCOMPARE(BuildFromProject(LoadProject(path.toStdString()), inputs, silent, silent, disks,
                                  settings)
                     .status,
                 BuildStatus::Built);
        QFile a(folder + "/editor.exe"), b(folder + "/velkanc.exe");
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QByteArray editorBytes = a.readAll();
        QVERIFY(editorBytes == b.readAll());
    }

    void commandLineWithUnreadableProjectDoesNotBuild()
    {
        CRecordingRunner runner;
        CSetwellApp app(&runner);
        QVERIFY(app.InitInstance({m_dir.path() + "/none.vkp", "-B"}));
        QTest::qWait(300);
        QCOMPARE(runner.calls, 0);
        QVERIFY(app.GetMainFrame()->isVisible());
        QCOMPARE(m_prompts->messages.size(), 1);
        app.GetMainFrame()->close();
        app.ExitInstance();
    }
};

QTEST_MAIN(BuildPageTest)
#include "test_build_page.moc"
