// Renders the main window on each tab, and each dialog, to PNG files in the build tree
// (screenshots/), so the look can be reviewed.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "core/model/CDataArray.h"
#include "gui/CAboutDialog.h"
#include "gui/CEditTextDialog.h"
#include "gui/CInfoDialogs.h"
#include "gui/CTitleFontDialog.h"
#include "gui/CUninstPage.h"
#include "gui/CWizPages.h"
#include "gui/CWizSheet.h"
#include "gui/CWizardPagesPage.h"
#include "gui/CWizardTextList.h"
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

    // The new-project wizard page by page, in the language chosen on its Title page (empty:
    // the default); each page is saved as PREFIXNN.png.
    void ShootWizard(const QString& language, const QString& prefix)
    {
        CScriptedPrompts prompts;
        QTemporaryDir source;
        MakeFiles(source.path(), {"Setup.exe", "readme.txt"});
        QString current = QDir::currentPath();
        CWizSheet wizard(nullptr);
        wizard.show();
        for (int page = 0; page < CWizSheet::kPageCount; ++page) {
            if (page == 1) {
                auto* dir = wizard.PageOf<CDirectoryPage>();
                dir->DirectoryEdit()->setText(source.path());
                dir->CheckDirectory(source.path());
            }
            if (page == 2) {
                auto* title = wizard.PageOf<CTitlePage>();
                if (!language.isEmpty()) {
                    QComboBox* list = title->LanguageList();
                    const int index = list->findText(language);
                    QVERIFY(index >= 0);
                    list->setCurrentIndex(index);
                    QCOMPARE(list->currentText(), language);
                }
                title->TitleEdit()->setText("Orvanti Demo");
            }
            if (page == 3) {
                wizard.PageOf<CShellPage>()->IconFileEdit()->setText(source.path() + "/Setup.exe");
                wizard.PageOf<CShellPage>()->IconNameEdit()->setText("Orvanti Demo");
            }
            Save(&wizard, prefix + QString("%1").arg(page + 1, 2, 10, QChar('0')));
            wizard.GoNext();
        }
        QCOMPARE(wizard.CurrentIndex(), CWizSheet::kPageCount - 1);
        QDir::setCurrent(current);
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
        // Something on every tab: texts, the window look, entries to write and keys to remove.
        version = app.GetDocument()->m_project.GetCurrent();
        version->m_strTitle = "Orvanti Demo";
        version->m_strInstallDir = "#Program Files#\\Orvanti Demo";
        version->m_strDirKey = "Software\\Orvanti\\Demo";
        version->m_strDirSubkey = "InstallDir";
        version->m_strDirIniFile = "demo.ini";
        version->m_strDirIniSection = "Setup";
        version->m_strDirIniEntry = "Dir";
        CIniInfo ini;
        ini.m_strFile = "#Windows#\\demo.ini";
        ini.m_strSection = "Options";
        ini.m_strEntry = "Path";
        ini.m_strValue = "#InstallDir#";
        version->m_iniEntries = {ini};
        CRegInfo reg;
        reg.m_nRootKey = 2;
        reg.m_strKey = "Software\\Orvanti\\Demo";
        reg.m_strSubkey = "Version";
        reg.m_strValue = "1.0";
        version->m_regEntries = {reg};
        CFileInfo patch;
        patch.m_strFile = "Setup.exe";
        patch.m_strOffset = "0x41,\"BCD\"";
        patch.m_nOffsetMode = CFileInfo::String;
        patch.m_strText = "#UserName#";
        version->m_fileStrings = {patch};
        version->m_strUninstFolder = "Orvanti Demo";
        version->m_strUninstIcon = "Uninstall Orvanti Demo";
        version->m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software\\Orvanti\\Demo"};
        app.GetDocument()->m_project.m_strBackTitle = "Orvanti Demo Setup";
        frame->GetView()->RefreshAll();
        CFilesPage* files = frame->GetView()->GetSheet()->GetFilesPage();
        files->FileList()->topLevelItem(0)->setSelected(true);

        CInstallSheet* sheet = frame->GetView()->GetSheet();
        for (int tab = 0; tab < sheet->count(); ++tab) {
            sheet->setCurrentIndex(tab);
            if (auto* texts = qobject_cast<CWizardPagesPage*>(sheet->currentWidget())) {
                texts->TextList()->topLevelItem(0)->setSelected(true);
            }
            if (auto* uninst = qobject_cast<CUninstPage*>(sheet->currentWidget())) {
                uninst->TextList()->topLevelItem(0)->setSelected(true);
            }
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
        CEditTextDialog editText(frame, version->m_texts[1][1] + "\r\nSecond line of the text.");
        editText.setObjectName("dialog_edit_text");
        prompts.Exec(editText);
        CTitleFontDialog font(frame, app.GetDocument()->m_project.m_lfTitleFont, 0x00FFFFFF);
        font.setObjectName("dialog_title_font");
        prompts.Exec(font);
        CIniWriteDialog iniDialog(frame, ini);
        iniDialog.setObjectName("dialog_ini_write");
        prompts.Exec(iniDialog);
        CRegWriteDialog regDialog(frame, reg);
        regDialog.setObjectName("dialog_reg_write");
        prompts.Exec(regDialog);
        CFileWriteDialog fileDialog(frame, patch, version->m_strSourceDir);
        fileDialog.setObjectName("dialog_file_write");
        fileDialog.ShowExample(true);
        prompts.Exec(fileDialog);
        CIniFileDialog iniPick(frame, "demo.ini", "Setup", "Dir");
        iniPick.setObjectName("dialog_ini_file");
        prompts.Exec(iniPick);
        CRegKeyDialog regPick(frame, 2, "Software\\Orvanti\\Demo", "InstallDir");
        regPick.setObjectName("dialog_registry_key");
        prompts.Exec(regPick);
        QCOMPARE(prompts.dialogCount, 10);
        app.GetDocument()->SetModifiedFlag(false);
        frame->close();
        app.ExitInstance();
    }

    void wizardPages() { ShootWizard(QString(), "wizard_page"); }
    void wizardPagesInFrench() { ShootWizard("French", "wizard_fr_page"); }
};

QTEST_MAIN(ScreenshotTest)
#include "test_screenshots.moc"
