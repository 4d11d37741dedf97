// The new-project wizard: the buttons' rules of its pages, and one walk through all eleven pages
// that ends in the same project as one made by hand in the editor.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/model/CData.h"
#include "core/model/ProjectFile.h"
#include "gui/CFilesPage.h"
#include "gui/CInfoDialogs.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CWizPages.h"
#include "gui/CWizSheet.h"
#include "gui/QtText.h"
#include "gui/TemplatesFolder.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

namespace {

constexpr int BackNext = CWizSheet::Back | CWizSheet::Next;

QByteArray ProjectBytes(const CDataArray& project, const QString& path)
{
    SaveProject(project, path.toStdString());
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class NewProjectWizardTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    QTemporaryDir m_source;
    QString m_savedCurrent;

    QString Src() const { return m_source.path() + "/"; }
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setText(text);
        emit edit->textEdited(text);
        emit edit->editingFinished();
    }

private slots:
    void initTestCase()
    {
        CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0);
        MakeFiles(m_source.path(), {"app.exe", "readme.txt", "bin/tool.exe"});
        m_savedCurrent = QDir::currentPath();
    }
    void init() { m_prompts = std::make_unique<CScriptedPrompts>(); }
    void cleanup()
    {
        m_prompts.reset();
        QDir::setCurrent(m_savedCurrent);
    }

    void welcomeStopShowsFinishAlone()
    {
        CWizSheet wizard(nullptr);
        auto* welcome = wizard.PageOf<CWelcomePage>();
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Next));
        welcome->StopBox()->setChecked(true);
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Finish));
        QCOMPARE(wizard.UseWizard(), 0);
        welcome->StopBox()->setChecked(false);
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Next));
        QCOMPARE(wizard.UseWizard(), 1);
    }

    void pageRules()
    {
        CWizSheet wizard(nullptr);
        wizard.GoNext();
        // Directory: none, missing, then completed while typing.
        auto* dir = wizard.PageOf<CDirectoryPage>();
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
        Type(dir->DirectoryEdit(), m_source.path() + "/bi");
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
        Type(dir->DirectoryEdit(), m_source.path() + "/bin");
        QCOMPARE(wizard.ButtonState(), BackNext);
        QCOMPARE(QString::fromStdString(wizard.Version().m_strSourceDir),
                 m_source.path() + "/bin/");
        Type(dir->DirectoryEdit(), m_source.path());
        wizard.GoNext();
        wizard.GoNext();

        // Shell: an icon file needs a name; the file must exist.
        auto* shell = wizard.PageOf<CShellPage>();
        QCOMPARE(wizard.ButtonState(), BackNext);
        shell->IconFileEdit()->setText(Src() + "app.exe");
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
        shell->IconNameEdit()->setText("App");
        QCOMPARE(wizard.ButtonState(), BackNext);
        shell->IconFileEdit()->setText(Src() + "missing.exe");
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
        shell->IconFileEdit()->clear();
        QCOMPARE(wizard.ButtonState(), BackNext);
        // A name relative to the source directory is found there.
        shell->IconFileEdit()->setText("app.exe");
        QCOMPARE(wizard.ButtonState(), BackNext);
        wizard.GoNext();

        // Information: Preview only with a text that is not blank.
        auto* info = wizard.PageOf<CInfoPage>();
        info->TextEdit()->setPlainText("   ");
        QVERIFY(!info->PreviewButton()->isEnabled());
        info->TextEdit()->setPlainText(" Licence ");
        QVERIFY(info->PreviewButton()->isEnabled());
        wizard.GoNext();

        // Window Small: the Bitmaps page hides the pattern.
        wizard.PageOf<CWindowPage>()->SmallButton()->click();
        wizard.GoNext();
        QVERIFY(wizard.PageOf<CBitmapsPage>()->PatternEdit()->isHidden());
        wizard.GoNext();
        wizard.GoNext();

        // End page options: a missing run file disables Next even with a valid view file.
        auto* end = wizard.PageOf<CEndOptionsPage>();
        end->ViewEdit()->setText(Src() + "readme.txt");
        QCOMPARE(wizard.ButtonState(), BackNext);
        end->RunEdit()->setText(Src() + "nothere.exe");
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
        end->ViewEdit()->setText(Src() + "nothere.txt");
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
    }

    void titleFollowsUntilTheWindowTitleIsEdited()
    {
        CWizSheet wizard(nullptr);
        wizard.GoNext();
        Type(wizard.PageOf<CDirectoryPage>()->DirectoryEdit(), m_source.path());
        wizard.GoNext();
        auto* title = wizard.PageOf<CTitlePage>();
        // English once, chosen.
        QStringList languages;
        for (int i = 0; i < title->LanguageList()->count(); ++i) {
            languages << title->LanguageList()->itemText(i);
        }
        QCOMPARE(languages.count("English"), 1);
        QCOMPARE(title->LanguageList()->currentText(), QString("English"));
        Type(title->TitleEdit(), "Alpha");
        for (int i = 0; i < 3; ++i) wizard.GoNext();
        auto* window = wizard.PageOf<CWindowPage>();
        QCOMPARE(window->TitleEdit()->text(), QString("Alpha"));
        for (int i = 0; i < 3; ++i) wizard.GoBack();
        Type(title->TitleEdit(), "Beta");
        QCOMPARE(window->TitleEdit()->text(), QString("Beta"));
        for (int i = 0; i < 3; ++i) wizard.GoNext();
        Type(window->TitleEdit(), "Own title");
        for (int i = 0; i < 3; ++i) wizard.GoBack();
        Type(title->TitleEdit(), "Gamma");
        QCOMPARE(wizard.Result().m_strBackTitle, std::string("Own title"));
        QCOMPARE(wizard.Version().m_strTitle, std::string("Gamma"));
    }

    void languagesOfTheTemplatesFolder()
    {
        QTemporaryDir templates;
        WriteFile(templates.path() + "/english.txt", "*0000*\r\nHello from the file\r\n\r\n");
        WriteFile(templates.path() + "/Deutsch.txt", "*0000*\r\nWillkommen\r\n\r\n");
        QDir().mkpath(templates.path() + "/Folder.txt");
        OverrideTemplatesFolder(templates.path());
        CWizSheet wizard(nullptr);
        wizard.GoNext();
        Type(wizard.PageOf<CDirectoryPage>()->DirectoryEdit(), m_source.path());
        wizard.GoNext();
        QComboBox* list = wizard.PageOf<CTitlePage>()->LanguageList();
        QStringList languages;
        for (int i = 0; i < list->count(); ++i) languages << list->itemText(i);
        // English once (the built-in name), sorted among the others; no folder.
        QCOMPARE(languages, (QStringList{"Deutsch", "English"}));
        QCOMPARE(list->currentText(), QString("English"));
        wizard.PageOf<CTitlePage>()->ChooseLanguage("Deutsch");
        QCOMPARE(wizard.Version().m_texts[0][0], std::string("Willkommen"));
        // Choosing English reads english.txt when there is one.
        wizard.PageOf<CTitlePage>()->ChooseLanguage("English");
        QCOMPARE(wizard.Version().m_texts[0][0], std::string("Hello from the file"));
        QCOMPARE(wizard.Version().m_texts[0][1], CData().m_texts[0][1]);
        OverrideTemplatesFolder(QString());
    }

    void aLanguageWithoutTemplateResetsTheTexts()
    {
        CWizSheet wizard(nullptr);
        wizard.GoNext();
        Type(wizard.PageOf<CDirectoryPage>()->DirectoryEdit(), m_source.path());
        wizard.GoNext();
        wizard.Version().m_texts[0][0] = "changed";
        wizard.PageOf<CTitlePage>()->ChooseLanguage("Klingon");
        QCOMPARE(wizard.Version().m_texts, CData().m_texts);
    }

    void walkEndsInTheProjectMadeByHand()
    {
        CRecordingRunner runner;
        CSetwellApp app(&runner);
        QVERIFY(app.InitInstance({}));
        CWizSheet wizard(app.GetMainFrame());
        wizard.GoNext();
        Type(wizard.PageOf<CDirectoryPage>()->DirectoryEdit(), m_source.path());
        wizard.PageOf<CDirectoryPage>()->SubDirsBox()->click();  // off
        wizard.GoNext();
        Type(wizard.PageOf<CTitlePage>()->TitleEdit(), "Product");
        wizard.GoNext();
        wizard.PageOf<CShellPage>()->IconFileEdit()->setText(Src() + "app.exe");
        wizard.PageOf<CShellPage>()->IconNameEdit()->setText("Product App");
        wizard.PageOf<CShellPage>()->ShortcutBox()->click();
        wizard.GoNext();
        wizard.PageOf<CInfoPage>()->TextEdit()->setPlainText("Read this\nfirst");
        wizard.GoNext();
        wizard.PageOf<CWindowPage>()->FullButton()->click();
        wizard.GoNext();
        wizard.PageOf<CBitmapsPage>()->WizardBitmapEdit()->setText("C:\\art\\side.bmp");
        wizard.GoNext();
        wizard.PageOf<CInstallDirPage>()->DirectoryEdit()->setText("#Program Files#\\Product");
        m_prompts->onDialog = [](QDialog& dialog) {
            auto& reg = static_cast<CRegKeyDialog&>(dialog);
            reg.RootKeyList()->setCurrentIndex(2);
            reg.KeyEdit()->setText("Software\\Product");
            reg.SubkeyEdit()->setText("Path");
            emit reg.SubkeyEdit()->editingFinished();
            return int(QDialog::Accepted);
        };
        wizard.PageOf<CInstallDirPage>()->EditRegistry();
        wizard.GoNext();
        wizard.PageOf<CEndOptionsPage>()->ViewEdit()->setText(Src() + "readme.txt");
        wizard.GoNext();
        wizard.GoNext();
        QCOMPARE(wizard.ButtonState(), CWizSheet::Back | CWizSheet::Finish);
        wizard.DoFinish();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));

        CSetwellDoc& doc = *app.GetDocument();
        doc.TakeWizardResult(wizard);
        app.GetMainFrame()->GetView()->RefreshAll();
        QVERIFY(doc.IsModified());
        CFilesPage* files = app.GetMainFrame()->GetView()->GetSheet()->GetFilesPage();
        QVERIFY(files->BuildTimer().isActive());
        files->BuildTimer().stop();

        // The same project made by hand.
        CDataArray hand;
        hand.m_versions.emplace_back();
        CData& v = hand.m_versions[0];
        v.m_strSourceDir = Src().toStdString();
        v.m_bSubDirs = 0;
        v.m_strTitle = "Product";
        hand.m_strBackTitle = "Product";
        hand.m_nWindowMode = 1;
        hand.m_strWizardBitmap = "C:\\art\\side.bmp";
        v.m_texts[1][1] = "Read this\r\nfirst";
        v.m_strInstallDir = "#Program Files#\\Product";
        v.m_nDirRootKey = 2;
        v.m_strDirKey = "Software\\Product";
        v.m_strDirSubkey = "Path";
        v.m_strUninstFolder = "Product";
        v.m_strUninstIcon = "Uninstall Product";
        for (const char* path : {"app.exe", "readme.txt"}) v.m_files.push_back(CFileItem(path));
        v.m_files[0].m_strMenuFolder = "Product";
        v.m_files[0].m_strMenuName = "Product App";
        v.m_files[0].m_strShortcutName = "Product App";
        v.m_files[1].SetOption(OptEndPage, EndPageView);
        v.m_texts[5][2] =
            "Click the following button if you want to see the latest information "
            "concerning #title :";

        QTemporaryDir out;
        QCOMPARE(ProjectBytes(doc.m_project, out.path() + "/wizard.vkp"),
                 ProjectBytes(hand, out.path() + "/hand.vkp"));
        doc.SetModifiedFlag(false);
        app.ExitInstance();
    }

    // Names typed on the Shell and End page options pages, relative to the source directory and
    // with either separator, reach the files of the new project; a name that cannot be used says
    // why Next is disabled.
    void typedNamesAreKeptOnFinish()
    {
        CRecordingRunner runner;
        CSetwellApp app(&runner);
        QVERIFY(app.InitInstance({}));
        CWizSheet wizard(app.GetMainFrame());
        wizard.GoNext();
        Type(wizard.PageOf<CDirectoryPage>()->DirectoryEdit(), m_source.path());
        wizard.GoNext();
        wizard.PageOf<CTitlePage>()->ChooseLanguage("French");
        Type(wizard.PageOf<CTitlePage>()->TitleEdit(), "Produit");
        wizard.GoNext();
        auto* shell = wizard.PageOf<CShellPage>();
        shell->IconNameEdit()->setText("Outil");
        struct Case {
            const char* typed;
            bool usable;
            const char* problem;  // part of the reason shown
        } cases[] = {
            {"bin\\missing.exe", false, "cannot be found"},
            {"../", false, "cannot be found"},
            {"/etc/hostname", false, "not in the source directory"},
            {"bin/tool.exe", true, ""},
            {"bin\\tool.exe", true, ""},
        };
        for (const Case& c : cases) {
            shell->IconFileEdit()->setText(c.typed);
            QCOMPARE(wizard.ButtonState() == BackNext, c.usable);
            QVERIFY2(shell->Problem().contains(c.problem), qPrintable(shell->Problem()));
        }
        shell->ShortcutBox()->click();
        wizard.GoNext();
        for (int i = 0; i < 4; ++i) wizard.GoNext();
        auto* end = wizard.PageOf<CEndOptionsPage>();
        QCOMPARE(wizard.CurrentIndex(), 8);
        end->ViewEdit()->setText("readme.txt");
        end->RunEdit()->setText("app.exe");
        QCOMPARE(wizard.ButtonState(), BackNext);
        wizard.GoNext();
        wizard.GoNext();
        wizard.PageOf<CEndPage>()->NoBuildBox()->click();
        wizard.DoFinish();

        CSetwellDoc& doc = *app.GetDocument();
        doc.TakeWizardResult(wizard);
        app.GetMainFrame()->GetView()->RefreshAll();
        const CData& version = *doc.m_project.GetCurrent();
        auto file = [&](const char* path) {
            return version.m_files[static_cast<size_t>(version.m_files.IndexOf(path))];
        };
        QCOMPARE(file("bin\\tool.exe").m_strMenuName, std::string("Outil"));
        QCOMPARE(file("bin\\tool.exe").m_strShortcutName, std::string("Outil"));
        QCOMPARE(file("readme.txt").GetOption(OptEndPage), int(EndPageView));
        QCOMPARE(file("app.exe").GetOption(OptEndPage), int(EndPageRun));
        // Everything the wizard writes is in the chosen language.
        QCOMPARE(ToQt(version.m_texts[5][2]),
                 QString("Cliquez sur le bouton suivant si vous souhaitez consulter les dernières "
                         "informations concernant #title :"));
        QVERIFY(ToQt(version.m_texts[5][3]).startsWith("Cochez l'option suivante"));
        QCOMPARE(ToQt(version.m_strUninstIcon), QString("Désinstaller Produit"));
        doc.SetModifiedFlag(false);
        app.ExitInstance();
    }

    void subDirectoryFileNeedsSubDirectories()
    {
        CWizSheet wizard(nullptr);
        wizard.GoNext();
        Type(wizard.PageOf<CDirectoryPage>()->DirectoryEdit(), m_source.path());
        wizard.PageOf<CDirectoryPage>()->SubDirsBox()->click();  // off
        wizard.GoNext();
        wizard.GoNext();
        auto* shell = wizard.PageOf<CShellPage>();
        shell->IconNameEdit()->setText("Tool");
        shell->IconFileEdit()->setText("bin/tool.exe");
        QCOMPARE(wizard.ButtonState(), int(CWizSheet::Back));
        QVERIFY(shell->Problem().contains("sub-directories are not included"));
        shell->IconFileEdit()->setText("app.exe");
        QCOMPARE(wizard.ButtonState(), BackNext);
        QVERIFY(shell->Problem().isEmpty());
    }

    void stoppingTheWizardTurnsThePreferenceOff()
    {
        CRecordingRunner runner;
        CSetwellApp app(&runner);
        QVERIFY(app.InitInstance({}));
        CPrefGroup::General().Set(CPrefGroup::PrefWizard, 1);
        CWizSheet wizard(app.GetMainFrame());
        wizard.PageOf<CWelcomePage>()->StopBox()->setChecked(true);
        wizard.DoFinish();
        app.GetDocument()->TakeWizardResult(wizard);
        QCOMPARE(CPrefGroup::General().Get(CPrefGroup::PrefWizard), 0);
        QVERIFY(!app.GetDocument()->IsModified());
        app.ExitInstance();
    }
};

QTEST_MAIN(NewProjectWizardTest)
#include "test_new_project_wizard.moc"
