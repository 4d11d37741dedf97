// The Build page: the output path dialog, the disabled window during a build and its
// re-enabling after any ending, the report, the columns, and the command line's /B.
#include <QtTest>

#include <QAction>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "core/model/ProjectFile.h"
#include "gui/CBuildPage.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CStubBuildRunner.h"
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
        m_runner.during = [&] {
            disabledDuring = !Page().BuildButton()->isEnabled() && !Sheet().tabBar()->isEnabled() &&
                             !m_app->GetMainFrame()->Action(IdBuild)->isEnabled();
        };
        Page().OnBuild();
        QCOMPARE(m_runner.calls, 1);
        QCOMPARE(QString::fromStdString(m_runner.lastOutputPath), out + ".exe");
        QCOMPARE(QString::fromStdString(Project().m_strOutputPath), out + ".exe");
        QVERIFY(m_app->GetDocument()->IsModified());
        QVERIFY(disabledDuring);
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
        QTest::newRow("cancelled") << int(CRecordingRunner::Ending::Cancel) << 0;
        QTest::newRow("failed") << int(CRecordingRunner::Ending::Fail) << 1;
    }
    void failedOrCancelledBuildReenables()
    {
        QFETCH(int, ending);
        QFETCH(int, messages);
        m_runner.ending = static_cast<CRecordingRunner::Ending>(ending);
        m_prompts->fileNames << m_dir.path() + "/out.exe";
        Page().OnBuild();
        QCOMPARE(m_runner.calls, 1);
        QCOMPARE(m_prompts->messages.size(), messages);
        if (messages) QVERIFY(m_prompts->messages[0].contains("disk full"));
        ExpectEnabled(true);
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

    void stubRunnerSaysSo()
    {
        CStubBuildRunner stub;
        CSetwellApp app(&stub);
        QVERIFY(app.InitInstance({}));
        CBuildPage& page = *app.GetMainFrame()->GetView()->GetSheet()->GetBuildPage();
        m_prompts->fileNames << m_dir.path() + "/stub.exe";
        page.OnBuild();
        QCOMPARE(page.ReportList()->topLevelItem(0)->text(0),
                 QString(CStubBuildRunner::kMessage));
        app.GetDocument()->SetModifiedFlag(false);
        app.GetMainFrame()->close();
        app.ExitInstance();
    }

    void commandLineBuildsAndQuits()
    {
        QTemporaryDir source;
        MakeFiles(source.path(), {"a.txt"});
        CDataArray project = NewProject();
        project.m_strOutputPath = (m_dir.path() + "/auto.exe").toStdString();
        project.m_versions[0].m_strSourceDir = (source.path() + "/").toStdString();
        QString path = m_dir.path() + "/auto.vkp";
        SaveProject(project, path.toStdString());

        CRecordingRunner runner;
        CSetwellApp app(&runner);
        QVERIFY(app.InitInstance({"\"" + path + "\"", "/b"}));
        QString scratch = app.GetTempFile();
        QVERIFY(QFileInfo::exists(scratch));
        QTRY_COMPARE(runner.calls, 1);
        QCOMPARE(QString::fromStdString(runner.lastOutputPath), m_dir.path() + "/auto.exe");
        QCOMPARE(m_prompts->saveDialogDirs.size(), 0);
        QTRY_VERIFY(!app.GetMainFrame()->isVisible());
        app.ExitInstance();
        QVERIFY(!QFileInfo::exists(scratch));
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
