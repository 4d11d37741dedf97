// Undo and redo of the project's edits: each kind of edit undone and redone, typing as one step,
// the modified flag following the saved state, the Edit menu, and New and Open starting afresh.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <functional>

#include "core/model/CData.h"
#include "core/model/FileOption.h"
#include "core/model/ProjectFile.h"
#include "core/wizard/WizardTextFile.h"
#include "gui/CFileOptIcon.h"
#include "gui/CFilesPage.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/COptSheet.h"
#include "gui/COptionsPage.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CUninstPage.h"
#include "gui/CVersionsBar.h"
#include "gui/CommandIds.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class UndoTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CSetwellApp> m_app;
    std::unique_ptr<QTemporaryDir> m_source;

    CSetwellDoc& Doc() { return *m_app->GetDocument(); }
    CSetwellView& View() { return *m_app->GetMainFrame()->GetView(); }
    CInstallSheet& Sheet() { return *View().GetSheet(); }
    CVersionsBar& Bar() { return *View().GetVersionsBar(); }
    CData& Version() { return *Doc().m_project.GetCurrent(); }
    QUndoStack& Steps() { return Doc().Undo().Stack(); }
    QAction* UndoAction() { return m_app->GetMainFrame()->Action(IdEditUndo); }
    QAction* RedoAction() { return m_app->GetMainFrame()->Action(IdEditRedo); }
    template <class Page>
    Page& Show(CInstallSheet::Tab tab)
    {
        Sheet().setCurrentIndex(tab);
        return *static_cast<Page*>(Sheet().Page(tab));
    }
    CFilesPage& Files() { return Show<CFilesPage>(CInstallSheet::TabFiles); }
    QString Source(const QString& name) { return m_source->path() + "/" + name; }

    // The whole project as its file holds it, and the version shown.
    QByteArray State()
    {
        std::vector<unsigned char> bytes = WriteProject(Doc().m_project);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size())) +
               QByteArray::number(Doc().m_project.m_nCurrent);
    }
    QStringList Rows()
    {
        QStringList rows;
        QTreeWidget* list = Files().FileList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
        return rows;
    }
    void SelectFiles(const QStringList& paths)
    {
        QTreeWidget* list = Files().FileList();
        list->clearSelection();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            if (paths.contains(list->topLevelItem(i)->text(0)))
                list->topLevelItem(i)->setSelected(true);
        }
    }
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setText(text);
        emit edit->editingFinished();
    }
    void Activate()
    {
        m_app->GetMainFrame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_app->GetMainFrame()));
    }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_source = std::make_unique<QTemporaryDir>();
        MakeFiles(m_source->path(), {"Setup.exe", "readme.txt", "sub/b.txt"});
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
        m_app->GetMainFrame()->resize(900, 640);
        Version().m_strSourceDir = (m_source->path() + "/").toStdString();
        Version().m_bSubDirs = 1;
        // Every page created once, then the project as shown is where undoing ends.
        View().RefreshPages();
        for (int tab = CInstallSheet::TabBuild; tab >= CInstallSheet::TabFiles; --tab)
            Sheet().setCurrentIndex(tab);
        Doc().SetModifiedFlag(false);
        Steps().clear();
    }

    void cleanup()
    {
        Doc().SetModifiedFlag(false);
        m_app->GetMainFrame()->close();
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
        m_source.reset();
    }

    void everyEditIsUndoneAndRedone()
    {
        QTemporaryDir textsDir;
        const QString texts = textsDir.path() + "/texts.txt";
        struct Edit {
            const char* name;
            std::function<void()> run;
        };
        const Edit edits[] = {
            {"a typed field",
             [&] {
                 Type(Show<COptionsPage>(CInstallSheet::TabWizardOptions).BackTitleEdit(), "T");
             }},
            {"a file option",
             [&] {
                 SelectFiles({"readme.txt"});
                 Files().SetSelectionOption(OptInstallMode, InstallKeep);
             }},
            {"a registry key added",
             [&] {
                 CUninstPage& page = Show<CUninstPage>(CInstallSheet::TabUninstaller);
                 page.OnAddKey();
                 auto* editor = page.KeyList()->viewport()->findChild<QLineEdit*>();
                 QVERIFY(editor);
                 editor->setText("Software\\A");
                 QAbstractItemDelegate* delegate = page.KeyList()->itemDelegate();
                 emit delegate->commitData(editor);
                 emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
             }},
            {"a registry key removed",
             [&] {
                 CUninstPage& page = Show<CUninstPage>(CInstallSheet::TabUninstaller);
                 page.KeyList()->clearSelection();
                 page.KeyList()->topLevelItem(0)->setSelected(true);
                 page.OnRemoveKeys();
             }},
            {"files removed with their sub-directory", [&] { Files().SubDirsBox()->click(); }},
            {"a version added", [&] { Bar().OnAdd(); }},
            {"a version deleted", [&] { Bar().OnDel(); }},
            {"a re-scan dropping and adding files",
             [&] {
                 QVERIFY(QFile::remove(Source("readme.txt")));
                 MakeFiles(m_source->path(), {"new.txt"});
                 Files().OnRefresh();
             }},
            {"wizard texts imported",
             [&] {
                 TextPages changed = Version().m_texts;
                 changed[0][0] = "Imported #title";
                 WriteTextsFile(changed, texts.toStdString());
                 QVERIFY(Doc().ImportTextsFile(texts));
             }},
        };
        for (const Edit& edit : edits) {
            const QByteArray before = State();
            const int steps = Steps().count();
            edit.run();
            const QByteArray after = State();
            QVERIFY2(after != before, edit.name);
            QVERIFY2(Steps().count() == steps + 1, edit.name);
            QVERIFY2(UndoAction()->isEnabled(), edit.name);
            UndoAction()->trigger();
            QVERIFY2(State() == before, edit.name);
            QVERIFY2(RedoAction()->isEnabled(), edit.name);
            RedoAction()->trigger();
            QVERIFY2(State() == after, edit.name);
        }
        // Deleting a version asked nothing.
        QVERIFY(m_prompts->messages.isEmpty());
    }

    void undoShowsTheListAsItWas()
    {
        CFilesPage& page = Files();
        QVERIFY(QFile::remove(Source("readme.txt")));
        page.OnRefresh();
        QVERIFY(!Rows().contains("readme.txt"));
        // Put back as it was, not scanned again: the file gone from the disk is listed.
        Doc().OnUndo();
        QVERIFY(Rows().contains("readme.txt"));
        QVERIFY(Version().m_files.FindByPath("readme.txt"));
        Doc().OnRedo();
        QVERIFY(!Rows().contains("readme.txt"));
    }

    void typingIsOneStep()
    {
        Activate();
        CFileOptIcon* icon = Files().OptionsSheet()->IconPage();
        Files().OptionsSheet()->setCurrentWidget(icon);
        SelectFiles({"Setup.exe"});
        icon->m_name->setFocus();
        QTest::keyClicks(icon->m_name, "Setup");
        QCOMPARE(Version().m_files.FindByPath("Setup.exe")->m_strMenuName, std::string("Setup"));
        QCOMPARE(Steps().count(), 1);
        // Another field is another step.
        icon->m_args->setFocus();
        QTest::keyClicks(icon->m_args, "/q");
        QCOMPARE(Steps().count(), 2);
        Doc().OnUndo();
        Doc().OnUndo();
        QCOMPARE(Version().m_files.FindByPath("Setup.exe")->m_strMenuName, std::string());
        QVERIFY(!Doc().IsModified());

        // A version's name typed in the bar: one step, named after it.
        QLineEdit* name = Bar().Combo()->lineEdit();
        const std::string before = Version().m_strName;
        name->setFocus();
        QTest::keyClicks(name, "XY");
        QCOMPARE(Steps().count(), 1);
        QCOMPARE(UndoAction()->text(), QString("&Undo Rename Version"));
        Doc().OnUndo();
        QCOMPARE(Version().m_strName, before);
        QCOMPARE(name->text(), QString::fromStdString(before));
    }

    void undoStoresTheFieldBeingTyped()
    {
        Activate();
        Bar().OnAdd();
        QLineEdit* title = Show<COptionsPage>(CInstallSheet::TabWizardOptions).BackTitleEdit();
        const std::string before = Doc().m_project.m_strBackTitle;
        title->setFocus();
        title->setText("Typed");
        // Not stored yet; Undo stores it first and then undoes it, so Redo brings it back.
        UndoAction()->trigger();
        QCOMPARE(Doc().m_project.m_strBackTitle, before);
        QVERIFY(RedoAction()->isEnabled());
        RedoAction()->trigger();
        QCOMPARE(Doc().m_project.m_strBackTitle, std::string("Typed"));
        QCOMPARE(title->text(), QString("Typed"));
    }

    void keysReachEditFromAnIdleField()
    {
        Activate();
        Bar().OnAdd();
        QLineEdit* title = Show<COptionsPage>(CInstallSheet::TabWizardOptions).BackTitleEdit();
        title->setFocus();
        // Nothing typed into the field: Ctrl+Z undoes the project's last step, Ctrl+Y redoes it.
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Doc().m_project.m_versions.size(), size_t(1));
        QTest::keyClick(title, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Doc().m_project.m_versions.size(), size_t(2));
        // Typing in it: Ctrl+Z is the field's own.
        title->setFocus();
        QTest::keyClicks(title, "ab");
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Doc().m_project.m_versions.size(), size_t(2));
    }

    void modifiedFollowsTheSavedState()
    {
        QVERIFY(!Doc().IsModified());
        QVERIFY(!UndoAction()->isEnabled());
        Bar().OnAdd();
        QVERIFY(Doc().IsModified());
        QCOMPARE(UndoAction()->text(), QString("&Undo Add Version"));
        Doc().OnUndo();
        QVERIFY(!Doc().IsModified());
        QCOMPARE(RedoAction()->text(), QString("&Redo Add Version"));
        Doc().OnRedo();
        QTemporaryDir out;
        m_prompts->fileNames << out.path() + "/saved.vkp";
        QVERIFY(Doc().DoFileSave());
        QVERIFY(!Doc().IsModified());
        // Away from the saved state either way is a change.
        Doc().OnUndo();
        QVERIFY(Doc().IsModified());
        QVERIFY(m_app->GetMainFrame()->windowTitle().endsWith('*'));
        Doc().OnRedo();
        QVERIFY(!Doc().IsModified());
        QVERIFY(!m_app->GetMainFrame()->windowTitle().endsWith('*'));
        Bar().OnAdd();
        Doc().OnUndo();
        QVERIFY(!Doc().IsModified());
    }

    void newAndOpenStartAfresh()
    {
        QTemporaryDir out;
        const QString path = out.path() + "/p.vkp";
        SaveProject(Doc().m_project, path.toStdString());
        Bar().OnAdd();
        QVERIFY(Doc().OnOpenDocument(path));
        QCOMPARE(Steps().count(), 0);
        QVERIFY(!UndoAction()->isEnabled());
        QVERIFY(!Doc().IsModified());
        Bar().OnAdd();
        Doc().OnUndo();
        QVERIFY(Doc().OnNewDocument());
        QCOMPARE(Steps().count(), 0);
        QVERIFY(!UndoAction()->isEnabled());
        QVERIFY(!RedoAction()->isEnabled());
        QVERIFY(!Doc().IsModified());
    }
};

QTEST_MAIN(UndoTest)
#include "test_undo.moc"
