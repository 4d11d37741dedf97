// The test run of the install wizard (the test program written and started, read back with the
// package reader) and the export and import of the wizard texts.
#include <QtTest>

#include <QComboBox>
#include <QFile>
#include <QPushButton>

#include "core/model/CData.h"
#include "core/package/CPackageReader.h"
#include "core/wizard/WizardText.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/COptionsPage.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CWizardPagesPage.h"
#include "gui/CWizardTest.h"
#include "gui/TemplatesFolder.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class TestRunTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CFakeRuntime> m_runtime;
    std::unique_ptr<CSetwellApp> m_app;
    QStringList m_started;
    bool m_stillRunning = false;

    CSetwellView& View() { return *m_app->GetMainFrame()->GetView(); }
    CDataArray& Project() { return m_app->GetDocument()->m_project; }
    CData& Version() { return *Project().GetCurrent(); }

    // The test program's page code and version index, and its number of versions.
    struct Written {
        int pageCode = -1;
        int current = -1;
        size_t versions = 0;
    };
    Written ReadBack()
    {
        Written written;
        auto reader = CPackageReader::OpenFile(m_app->GetTempFile().toStdString());
        reader->Read();
        const PackageContents& contents = reader->Contents();
        if (contents.testSection) {
            written.pageCode = contents.testSection->pageCode;
            written.current = contents.testSection->currentVersion;
        }
        written.versions = contents.versions.size();
        return written;
    }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_runtime = std::make_unique<CFakeRuntime>();
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
        m_started.clear();
        m_stillRunning = false;
        CWizardTest::SetLauncher([this](const QString& program) {
            m_started << program;
            return m_stillRunning;
        });
    }

    void cleanup()
    {
        CWizardTest::SetLauncher(nullptr);
        m_app->GetDocument()->SetModifiedFlag(false);
        m_app->ExitInstance();
        m_app.reset();
        m_runtime.reset();
        m_prompts.reset();
    }

    void testCommandWritesEveryVersionAndTheCurrentOne()
    {
        for (const char* name : {"Two", "Three"}) {
            CData copy = Version();
            copy.m_strName = name;
            Project().m_versions.push_back(copy);
        }
        Project().m_nCurrent = 2;
        View().OnTest();
        QCOMPARE(m_started, QStringList{m_app->GetTempFile()});
        Written written = ReadBack();
        QCOMPARE(written.pageCode, 0xFFFF);
        QCOMPARE(written.current, 2);
        QCOMPARE(written.versions, size_t(3));
    }

    void previewStartsOnThePageShown()
    {
        auto* texts =
            static_cast<CWizardPagesPage*>(View().GetSheet()->Page(CInstallSheet::TabWizardTexts));
        View().GetSheet()->setCurrentWidget(texts);
        struct Case {
            int page;
            int code;
        };
        for (const Case& c : {Case{5, 7}, Case{1, 1}, Case{0, 0}, Case{3, 5}}) {
            texts->SelectPage(c.page);
            texts->PreviewButton()->click();
            QCOMPARE(ReadBack().pageCode, c.code);
        }
        auto* options =
            static_cast<COptionsPage*>(View().GetSheet()->Page(CInstallSheet::TabWizardOptions));
        View().GetSheet()->setCurrentWidget(options);
        options->PreviewButton()->click();
        QCOMPARE(ReadBack().pageCode, 4);
        QCOMPARE(m_started.size(), 5);
    }

    void aSecondTestWhileTheFirstRunsStartsNothing()
    {
        m_stillRunning = true;
        View().OnTest();
        QFile file(m_app->GetTempFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray first = file.readAll();
        file.close();
        Version().m_strTitle = "Changed";
        Project().m_strBackTitle = "Changed";
        View().OnTest();
        QCOMPARE(m_started.size(), 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), first);
        // ... but says so.
        QCOMPARE(m_prompts->messages.size(), 1);
        QVERIFY(m_prompts->messages[0].contains("still running"));
    }

    void withoutWineAMessageSaysHowToGetIt()
    {
#ifndef Q_OS_WIN
        CWizardTest::SetLauncher(nullptr);
        QByteArray saved = qgetenv("VELKAN_WINE");
        qputenv("VELKAN_WINE", "/nonexistent/wine-loader");
        View().OnTest();
        qputenv("VELKAN_WINE", saved);
        if (saved.isEmpty()) qunsetenv("VELKAN_WINE");
        QCOMPARE(m_prompts->messages.size(), 1);
        QVERIFY(m_prompts->messages[0].contains("Wine"));
        QVERIFY(!CWizardTest::IsRunning());
#endif
    }

    void withoutAStubNothingIsStarted()
    {
        m_runtime.reset();
        m_runtime = std::make_unique<CFakeRuntime>(CFakeRuntime::Kind::Missing);
        View().OnTest();
        QVERIFY(m_started.isEmpty());
    }

    void exportThenImport()
    {
        QTemporaryDir dir;
        QString path = dir.path() + "/texts.txt";
        Version().m_texts[0][0] = "Hello #title";
        Version().m_texts[2][1] = "Two\nlines";
        TextPages exported = Version().m_texts;
        m_prompts->fileNames << path;
        m_app->GetDocument()->OnExportTexts();
        QVERIFY(QFile::exists(path));
        // Never offered in the shipped templates, where an export would overwrite one.
        QVERIFY(!m_prompts->saveDialogDirs.isEmpty());
        QCOMPARE_NE(QFileInfo(m_prompts->saveDialogDirs.last()).dir().canonicalPath(),
                    QDir(EditorTemplatesFolder()).canonicalPath());

        Version().ResetTexts();
        m_app->GetDocument()->SetModifiedFlag(false);
        m_prompts->fileNames << path;
        m_app->GetDocument()->OnImportTexts();
        // Texts come back as written (empty lines inside a text are the file's separators).
        QCOMPARE(Version().m_texts[0][0], std::string("Hello #title"));
        QCOMPARE(Version().m_texts[2][1], std::string("Two\nlines"));
        QCOMPARE(Version().m_texts[3][1], exported[3][1]);
        QVERIFY(m_app->GetDocument()->IsModified());
        // The pages show the imported texts.
        auto* texts =
            static_cast<CWizardPagesPage*>(View().GetSheet()->Page(CInstallSheet::TabWizardTexts));
        View().GetSheet()->setCurrentWidget(texts);
        texts->SelectPage(0);
        QVERIFY(texts->PageList()->currentIndex() == 0);
    }

    void aFailedImportLeavesTheTextsUnchanged()
    {
        QTemporaryDir dir;
        Version().m_texts[0][0] = "Kept";
        TextPages before = Version().m_texts;
        m_app->GetDocument()->SetModifiedFlag(false);
        // A folder in place of a file, and a file that is not there.
        for (QString path : {dir.path(), dir.path() + "/missing.txt"}) {
            m_prompts->messages.clear();
            QVERIFY(!m_app->GetDocument()->ImportTextsFile(path));
            QVERIFY(Version().m_texts == before);
            QVERIFY(!m_app->GetDocument()->IsModified());
            QCOMPARE(m_prompts->messages.size(), 1);
        }
        // Cancelling the dialog does nothing.
        m_app->GetDocument()->OnImportTexts();
        QVERIFY(Version().m_texts == before);
    }
};

QTEST_MAIN(TestRunTest)
#include "test_test_run.moc"
