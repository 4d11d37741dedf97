// Renders the main window on each tab, and each dialog, to PNG files in the build tree
// (screenshots/), so the look can be reviewed.
#include <QtTest>

#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "gui/CAboutDialog.h"
#include "gui/CFilesPage.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/CMissingDirDialog.h"
#include "gui/COptSheet.h"
#include "gui/CPrefGroup.h"
#include "gui/CPreferencesDialog.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class ScreenshotTest : public QObject {
    Q_OBJECT

    CTestSettings m_settings;
    QString m_dir = QStringLiteral(VELKAN_SCREENSHOT_DIR);

    void Save(QWidget* widget, const QString& name)
    {
        QCoreApplication::processEvents();
        QImage image = widget->grab().toImage();
        QVERIFY(!image.isNull());
        QVERIFY(image.save(m_dir + "/" + name + ".png"));
    }

private slots:
    void initTestCase()
    {
        QDir().mkpath(m_dir);
        CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0);
    }

    void everyTabAndDialog()
    {
        CScriptedPrompts prompts;
        QTemporaryDir source;
        MakeFiles(source.path(), {"Setup.exe", "lib/core.dll", "lib/extra.ocx", "docs/Manual.pdf"});
        QByteArray readme;
        for (int i = 0; i < 4000; ++i) readme += "Read me, line " + QByteArray::number(i) + "\r\n";
        WriteFile(source.path() + "/readme.txt", readme);
        CFakeRuntime runtime;
        CSetwellApp app;
        QVERIFY(app.InitInstance({}));
        CMainFrame* frame = app.GetMainFrame();
        frame->resize(900, 640);
        CData* version = app.GetDocument()->m_project.GetCurrent();
        version->m_strSourceDir = (source.path() + "/").toStdString();
        app.GetDocument()->m_project.m_versions.push_back(*version);
        app.GetDocument()->m_project.m_versions.back().m_strName = "Version 2";
        frame->GetView()->RefreshAll();
        CFilesPage* files = frame->GetView()->GetSheet()->GetFilesPage();
        files->FileList()->topLevelItem(0)->setSelected(true);

        CInstallSheet* sheet = frame->GetView()->GetSheet();
        for (int tab = 0; tab < sheet->count(); ++tab) {
            sheet->setCurrentIndex(tab);
            Save(frame, QString("main_tab%1").arg(tab + 1));
        }
        // The option pages of the Files page.
        sheet->setCurrentIndex(0);
        for (int page = 0; page < files->OptionsSheet()->count(); ++page) {
            files->OptionsSheet()->setCurrentIndex(page);
            Save(frame, QString("files_options%1").arg(page + 1));
        }
        // A real build: its progress in the status bar (taken at the build's first pump of the
        // window's events) and its report.
        prompts.fileNames << source.path() + "/out.exe";
        bool progressTaken = false;
        QTimer::singleShot(0, frame, [&] {
            Save(frame, "build_progress");
            progressTaken = true;
        });
        frame->GetView()->OnBuild();
        QVERIFY(progressTaken);
        QCOMPARE(prompts.messages, QStringList());
        Save(frame, "build_report");

        prompts.onDialog = [this](QDialog& dialog) {
            dialog.show();
            Save(&dialog, dialog.objectName());
            return int(QDialog::Rejected);
        };
        CPreferencesDialog preferences(frame);
        preferences.setObjectName("dialog_preferences");
        preferences.Run();
        CMissingDirDialog missing(frame, "/no/such/directory/");
        missing.setObjectName("dialog_missing_directory");
        prompts.Exec(missing);
        CAboutDialog about(frame);
        about.setObjectName("dialog_about");
        prompts.Exec(about);
        QCOMPARE(prompts.dialogCount, 3);
        app.GetDocument()->SetModifiedFlag(false);
        frame->close();
        app.ExitInstance();
    }
};

QTEST_MAIN(ScreenshotTest)
#include "test_screenshots.moc"
