// Faults found when the editor was tried as a new author would: the recent files after Save As,
// the Del button with one version, the help window from a modal dialog, the window on a small
// screen, the exact caption, and the report's columns before the first build.
#include <QtTest>

#include <QHeaderView>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "core/model/ProjectFile.h"
#include "gui/CBuildPage.h"
#include "gui/CUninstPage.h"
#include "gui/CFilesPage.h"
#include "gui/CHelpWindow.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/COptSheet.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CVersionsBar.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class EditorFixesTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CSetwellApp> m_app;

    CSetwellView& View() { return *m_app->GetMainFrame()->GetView(); }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
    }

    void cleanup()
    {
        m_app->GetDocument()->SetModifiedFlag(false);
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
    }

    void saveAsJoinsTheRecentFiles()
    {
        QTemporaryDir dir;
        QString path = dir.path() + "/saved.vkp";
        m_prompts->fileNames << path;
        QVERIFY(m_app->GetDocument()->DoSave(QString()));
        QCOMPARE(m_app->GetRecentFiles().Paths().value(0), path);
    }

    void saveStoresTheFieldBeingTypedInto()
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->show();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        View().GetSheet()->setCurrentIndex(CInstallSheet::TabUninstaller);
        auto* page =
            static_cast<CUninstPage*>(View().GetSheet()->Page(CInstallSheet::TabUninstaller));
        page->FolderEdit()->setFocus();
        QVERIFY(page->FolderEdit()->hasFocus());
        QTest::keyClicks(page->FolderEdit(), "Typed");
        QTemporaryDir dir;
        m_prompts->fileNames << dir.path() + "/typed.vkp";
        QVERIFY(m_app->GetDocument()->DoSave(QString()));
        CDataArray saved;
        saved = LoadProject((dir.path() + "/typed.vkp").toStdString());
        QCOMPARE(saved.m_versions[0].m_strUninstFolder, std::string("Typed"));
        QVERIFY(page->FolderEdit()->hasFocus());

        // A key being typed in place is stored too; a blank one goes again.
        page->OnAddKey();
        QTest::keyClicks(QApplication::focusWidget(), "HKEY_CURRENT_USER\\Software\\Typed");
        page->OnAddKey();
        QVERIFY(m_app->GetDocument()->DoFileSave());
        saved = LoadProject((dir.path() + "/typed.vkp").toStdString());
        QCOMPARE(saved.m_versions[0].m_regKeysToRemove,
                 (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Typed"}));
    }

    void delNeedsTwoVersions()
    {
        CVersionsBar* bar = View().GetVersionsBar();
        QVERIFY(!bar->DelButton()->isEnabled());
        m_app->GetDocument()->m_project.m_versions.emplace_back();
        bar->Refresh();
        QVERIFY(bar->DelButton()->isEnabled());
    }

    void captionIsExact()
    {
        m_app->GetDocument()->SetPathName("/tmp/proj.vkp");
        m_app->GetDocument()->SetModifiedFlag(true);
        QCOMPARE(m_app->GetMainFrame()->windowTitle(), QString("Orvanti Velkan - proj.vkp*"));
        QVERIFY(QGuiApplication::applicationDisplayName() != "Orvanti Velkan" ||
                qApp->applicationDisplayName().isEmpty());
    }

    void helpFromAModalDialogTakesInput()
    {
        QDialog dialog(m_app->GetMainFrame());
        dialog.setModal(true);
        bool owned = false;
        bool shown = false;
        bool closed = false;
        QTimer::singleShot(0, &dialog, [&] {
            CSetwellApp::Help(0x20000 + 153, true);
            CHelpWindow* help = m_app->GetHelpWindow();
            // Owned by the dialog, so the dialog's modality does not block it.
            owned = help && help->parentWidget() == &dialog && help->isWindow();
            shown = help && help->isVisible();
            if (help) QTest::keyClick(help, Qt::Key_Escape);
            closed = help && !help->isVisible();
            dialog.reject();
        });
        dialog.exec();
        QVERIFY(owned);
        QVERIFY(shown);
        QVERIFY(closed);
    }

    void windowAndSheetFitASmallScreen()
    {
        // The window can be made smaller than the pages' design size (the sheet scrolls): small
        // enough for a 1400x1000 screen at a scale factor of 2 (700x500 scaled pixels).
        CMainFrame* frame = m_app->GetMainFrame();
        QSize minimum = frame->minimumSizeHint();
        QVERIFY2(minimum.width() <= 700 && minimum.height() <= 450,
                 qPrintable(QString("minimum %1x%2").arg(minimum.width()).arg(minimum.height())));
        // And it opens inside the screen's free area whenever that area can hold it.
        QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
        if (available.width() >= minimum.width() && available.height() >= minimum.height()) {
            QVERIFY(frame->width() <= available.width() && frame->height() <= available.height());
        }
    }

    void everyFileOptionTabInViewAtTheDefaultSize()
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->resize(800, 600);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        COptSheet* options = View().GetSheet()->GetFilesPage()->OptionsSheet();
        QTabBar* tabs = options->tabBar();
        QCOMPARE(tabs->count(), 4);
        QVERIFY(tabs->tabRect(3).right() <= tabs->width());
        for (int i = 0; i < 4; ++i) QVERIFY(tabs->tabText(i).contains('&'));
    }

    void filesPageTabOrderStartsAtTheList()
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        CFilesPage* files = View().GetSheet()->GetFilesPage();
        // The first control Tab reaches in the page, then the directory before the options.
        QWidget* first = files->nextInFocusChain();
        while (first && first != files && !(first->focusPolicy() & Qt::TabFocus)) {
            first = first->nextInFocusChain();
        }
        QCOMPARE(first, static_cast<QWidget*>(files->FileList()));
        QWidget* after = files->DirectoryEdit()->nextInFocusChain();
        QVERIFY(after != nullptr && !files->OptionsSheet()->isAncestorOf(files->DirectoryEdit()));
    }

    void reportColumnsFitBeforeTheFirstBuild()
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->resize(900, 640);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        View().GetSheet()->setCurrentIndex(CInstallSheet::TabBuild);
        QCoreApplication::processEvents();
        CBuildPage* page = View().GetSheet()->GetBuildPage();
        QTreeWidget* report = page->ReportList();
        QVERIFY(report->columnWidth(0) > 100);
        auto total = [report] {
            int sum = 0;
            for (int c = 0; c < report->columnCount(); ++c) {
                if (!report->isColumnHidden(c)) sum += report->columnWidth(c);
            }
            return sum;
        };
        QVERIFY(total() <= report->viewport()->width());
        // A report long enough to scroll: its scroll bar takes room, the columns still fit.
        for (int i = 0; i < 200; ++i) page->AddLine("file" + std::to_string(i) + ".dll");
        QCoreApplication::processEvents();
        QVERIFY(report->verticalScrollBar()->isVisible());
        QVERIFY(total() <= report->viewport()->width());
    }
};

QTEST_MAIN(EditorFixesTest)
#include "test_editor_fixes.moc"
