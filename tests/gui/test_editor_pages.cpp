// The Wizard Texts, Wizard Options, Install info and Uninstaller pages: what they store for what
// is typed, their enabling rules, and when they mark the project modified.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardText.h"
#include "gui/CEditTextDialog.h"
#include "gui/CInfoDialogs.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/COptionsPage.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CTitleFontDialog.h"
#include "gui/CUninstPage.h"
#include "gui/CWizardPagesPage.h"
#include "gui/CWizardTextList.h"
#include "gui/CWriteInfoPage.h"
#include "gui/LogFontQt.h"
#include "gui/QtText.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/support/BitmapFiles.h"

using namespace velkan;

class EditorPagesTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CSetwellApp> m_app;

    CInstallSheet& Sheet() { return *m_app->GetMainFrame()->GetView()->GetSheet(); }
    CSetwellDoc& Doc() { return *m_app->GetDocument(); }
    CDataArray& Project() { return Doc().m_project; }
    CData& Version() { return *Project().GetCurrent(); }
    template <class Page>
    Page& Show(CInstallSheet::Tab tab)
    {
        Sheet().setCurrentIndex(tab);
        return *static_cast<Page*>(Sheet().Page(tab));
    }
    CWizardPagesPage& Texts() { return Show<CWizardPagesPage>(CInstallSheet::TabWizardTexts); }
    COptionsPage& Options() { return Show<COptionsPage>(CInstallSheet::TabWizardOptions); }
    CWriteInfoPage& Info() { return Show<CWriteInfoPage>(CInstallSheet::TabInstallInfo); }
    CUninstPage& Uninst() { return Show<CUninstPage>(CInstallSheet::TabUninstaller); }
    void Unmodify() { Doc().SetModifiedFlag(false); }
    static void SelectRows(QTreeWidget* list, std::initializer_list<int> rows)
    {
        list->clearSelection();
        for (int row : rows) list->topLevelItem(row)->setSelected(true);
    }
    static QStringList Column(QTreeWidget* list, int column)
    {
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            texts << list->topLevelItem(row)->text(column);
        }
        return texts;
    }
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setText(text);
        emit edit->editingFinished();
    }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
        m_app->GetMainFrame()->resize(900, 640);
    }

    void cleanup()
    {
        m_app->GetDocument()->SetModifiedFlag(false);
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
    }

    // ------------------------------------------------------------------ Wizard Texts

    void textsRowsAndTheirStoredTexts()
    {
        CWizardPagesPage& page = Texts();
        CWizardTextList* list = page.TextList();
        // Confirmation (page 3): its default text 1 is a single space, shown as <None>.
        page.SelectPage(3);
        QCOMPARE(list->topLevelItem(1)->text(0), QString("<None>"));

        struct Case {
            const char* typed;
            const char* stored;
            const char* shown;
        };
        const Case cases[] = {
            // The row shows what was typed; only a blank one shows the <None> of an empty text.
            {"<none>", "", "<none>"},
            {"   ", "", "<None>"},
            {"a\\nb", "a\nb", "a\\nb"},
            {"Welcome to #title", "Welcome to #title", "Welcome to #title"},
        };
        for (const Case& c : cases) {
            Unmodify();
            page.OnLabelEdited(0, c.typed);
            QCOMPARE(QString::fromStdString(Version().m_texts[3][0]), QString(c.stored));
            QCOMPARE(list->topLevelItem(0)->text(0), QString(c.shown));
            QVERIFY(Doc().IsModified());
        }
    }

    void textsInformationScrollTextUsesTheDialog()
    {
        CWizardPagesPage& page = Texts();
        page.SelectPage(1);
        CWizardTextList* list = page.TextList();
        QVERIFY(!list->CanEditInPlace(1));
        QVERIFY(list->CanEditInPlace(0));
        SelectRows(list, {1});
        m_prompts->onDialog = [](QDialog& dialog) {
            auto& edit = static_cast<CEditTextDialog&>(dialog);
            edit.Edit()->setPlainText("First line\nSecond line");
            return int(QDialog::Accepted);
        };
        Unmodify();
        page.OnEdit();
        QCOMPARE(m_prompts->dialogCount, 1);
        QCOMPARE(Version().m_texts[1][1], std::string("First line\r\nSecond line"));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("First line\\nSecond line"));
        QVERIFY(Doc().IsModified());
        // Cancel changes nothing.
        m_prompts->onDialog = nullptr;
        Unmodify();
        page.OnEdit();
        QVERIFY(!Doc().IsModified());
    }

    void textsDefaultRestoresEverySelectedRow()
    {
        CWizardPagesPage& page = Texts();
        page.SelectPage(0);
        Version().m_texts[0][0] = "x";
        Version().m_texts[0][1] = "y";
        page.LoadFromProject();
        SelectRows(page.TextList(), {0, 1});
        QVERIFY(page.ContextMenuEnabled());
        Unmodify();
        page.OnDefault();
        QCOMPARE(Version().m_texts[0][0], GetDefaultText(0, 0));
        QCOMPARE(Version().m_texts[0][1], GetDefaultText(0, 1));
        QCOMPARE(page.TextList()->topLevelItem(0)->text(0),
                 CWizardTextList::RowText(GetDefaultText(0, 0)));
        QVERIFY(Doc().IsModified());
        page.TextList()->clearSelection();
        QVERIFY(!page.ContextMenuEnabled());
    }

    void textsPreviewEnabling()
    {
        CWizardPagesPage& page = Texts();
        struct Case {
            int page;
            int versions;
            bool enabled;
        };
        const Case cases[] = {{0, 1, true},  {5, 1, true},  {6, 1, false},
                              {7, 1, false}, {9, 1, false}, {9, 2, true}};
        for (const Case& c : cases) {
            Project().m_versions.resize(static_cast<size_t>(c.versions));
            page.SelectPage(c.page);
            page.LoadFromProject();
            QVERIFY2(page.PreviewButton()->isEnabled() == c.enabled,
                     qPrintable(QString("page %1, %2 versions").arg(c.page).arg(c.versions)));
        }
        // The listed pages: 0 to 7 and 9, by name.
        QCOMPARE(page.PageList()->count(), 9);
        QCOMPARE(page.PageList()->itemData(8).toInt(), 9);
    }

    void textsTitleAndUsage()
    {
        CWizardPagesPage& page = Texts();
        Unmodify();
        Type(page.TitleEdit(), QString::fromStdString(Version().m_strTitle));
        QVERIFY(!Doc().IsModified());
        Type(page.TitleEdit(), "My Product");
        QCOMPARE(Version().m_strTitle, std::string("My Product"));
        QVERIFY(Doc().IsModified());
        page.SelectPage(0);
        SelectRows(page.TextList(), {0});
        QCOMPARE(page.UsageText()->text(), QString::fromStdString(CTextCatalogue::GetUsage(0, 0)));
        page.SelectPage(2);
        QVERIFY(page.UsageText()->text().isEmpty());
    }

    // ------------------------------------------------------------------ Wizard Options

    void optionsWindowModeEnabling()
    {
        COptionsPage& page = Options();
        struct Case {
            int mode;
            bool fullScreenControls;
        };
        for (const Case& c : {Case{0, false}, Case{1, true}}) {
            Unmodify();
            page.OnWindowMode(c.mode);
            QCOMPARE(Project().m_nWindowMode, c.mode);
            QVERIFY(Doc().IsModified());
            for (QWidget* control : {static_cast<QWidget*>(page.BackBitmapEdit()),
                                     static_cast<QWidget*>(page.BackTitleEdit()),
                                     static_cast<QWidget*>(page.FontEdit()),
                                     static_cast<QWidget*>(page.FontButton())}) {
                QCOMPARE(control->isEnabled(), c.fullScreenControls);
            }
            QVERIFY(page.BackBitmapButton()->isEnabled());
            QVERIFY(page.WizardBitmapEdit()->isEnabled());
            Project().m_nWindowMode = 1 - c.mode;
            page.LoadFromProject();
            QCOMPARE(page.BackTitleEdit()->isEnabled(), !c.fullScreenControls);
        }
        // In Small mode the pattern's "..." still stores a path.
        page.OnWindowMode(0);
        m_prompts->fileNames << "/tmp/pattern.bmp";
        page.BrowseBitmap(1);
        QCOMPARE(Project().m_strBackBitmap, std::string("/tmp/pattern.bmp"));
        QCOMPARE(page.BackBitmapEdit()->text(), QString("/tmp/pattern.bmp"));
    }

    // "..." of a bitmap takes only one the wizard can show, and says why it refuses one; a
    // wizard bitmap larger than its field is taken with a note that it will be scaled down.
    void optionsBitmapChoiceFollowsTheWizardsRule()
    {
        COptionsPage& page = Options();
        QTemporaryDir dir;
        auto write = [&](const QString& name, const std::vector<uint8_t>& bytes) {
            QFile out(dir.filePath(name));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size()));
        };
        auto picture = [](int x, int y) { return static_cast<uint32_t>(x * y) % 5; };
        write("tall.bmp", test::MakeBitmapFile(test::BitmapForm::Rle8, 164, 314, picture));
        write("topdown.bmp", test::MakeBitmapFile(test::BitmapForm::TopDown, 8, 8, picture));
        write("text.bmp", {'h', 'e', 'l', 'l', 'o'});
        Project().m_strWizardBitmap = "C:\\Art\\Side.bmp";
        page.LoadFromProject();
        struct Case {
            const char* file;
            int which;
            bool taken;
            const char* said;  // in the one message shown; empty: none
        } cases[] = {
            {"topdown.bmp", 0, false, "its rows run top-down"},
            {"text.bmp", 1, false, "it is not a bitmap file"},
            {"tall.bmp", 1, true, ""},  // a pattern is tiled, never scaled
            {"tall.bmp", 0, true, "scaled down to 128x245"},
        };
        for (const Case& c : cases) {
            const std::string before =
                c.which == 0 ? Project().m_strWizardBitmap : Project().m_strBackBitmap;
            m_prompts->messages.clear();
            m_prompts->fileNames << dir.filePath(c.file);
            page.BrowseBitmap(c.which);
            const std::string& field =
                c.which == 0 ? Project().m_strWizardBitmap : Project().m_strBackBitmap;
            QCOMPARE(field, c.taken ? FromQt(dir.filePath(c.file)) : before);
            if (*c.said == 0) {
                QVERIFY(m_prompts->messages.isEmpty());
            } else {
                QCOMPARE(m_prompts->messages.size(), 1);
                QVERIFY2(m_prompts->messages[0].contains(c.said),
                         qPrintable(m_prompts->messages[0]));
            }
        }
    }

    void optionsEditBoxes()
    {
        COptionsPage& page = Options();
        Project().m_strBackTitle = "Product Setup";
        Project().m_strWizardBitmap = "C:\\Art\\Side.bmp";
        Version().m_strDirIniFile = "";
        page.LoadFromProject();
        struct Case {
            const char* name;
            QLineEdit* edit;
            const char* typed;
            std::function<std::string()> field;
            const char* stored;
            bool modified;
        };
        const Case cases[] = {
            {"title, case only", page.BackTitleEdit(), "PRODUCT SETUP",
             [this] { return Project().m_strBackTitle; }, "Product Setup", false},
            {"bitmap, case only", page.WizardBitmapEdit(), "c:\\art\\side.BMP",
             [this] { return Project().m_strWizardBitmap; }, "C:\\Art\\Side.bmp", false},
            {"title with a line break", page.BackTitleEdit(), "First\\nSecond",
             [this] { return Project().m_strBackTitle; }, "First\nSecond", true},
            {"ini without a dot", page.IniFileEdit(), "settings",
             [this] { return Version().m_strDirIniFile; }, "settings.ini", true},
            {"ini with a dot", page.IniFileEdit(), "my.cfg",
             [this] { return Version().m_strDirIniFile; }, "my.cfg", true},
            {"ini emptied", page.IniFileEdit(), "", [this] { return Version().m_strDirIniFile; },
             "", true},
            {"key, case matters", page.KeyEdit(), "SOFTWARE",
             [this] { return Version().m_strDirKey; }, "SOFTWARE", true},
            {"key, case only", page.KeyEdit(), "software", [this] { return Version().m_strDirKey; },
             "software", true},
        };
        for (const Case& c : cases) {
            Unmodify();
            Type(c.edit, c.typed);
            QVERIFY2(c.field() == c.stored, c.name);
            QVERIFY2(Doc().IsModified() == c.modified, c.name);
        }
        // The INI box keeps what was typed until the next load.
        Type(page.IniFileEdit(), "other");
        QCOMPARE(page.IniFileEdit()->text(), QString("other"));
        page.LoadFromProject();
        QCOMPARE(page.IniFileEdit()->text(), QString("other.ini"));
    }

    void optionsFlagsRootKeyAndMacros()
    {
        COptionsPage& page = Options();
        Version().m_nDirFlags = kDirChangeable | kDirUpdateKey | kDirUpdateEntry;
        page.LoadFromProject();
        QVERIFY(!page.ReadOnlyBox()->isChecked());
        page.ReadOnlyBox()->click();
        QCOMPARE(Version().m_nDirFlags, kDirUpdateKey | kDirUpdateEntry);
        page.UpdateKeyBox()->click();
        QCOMPARE(Version().m_nDirFlags, kDirUpdateEntry);
        page.OnRootKey(2);
        QCOMPARE(Version().m_nDirRootKey, 2);

        Version().m_strInstallDir = "";
        page.LoadFromProject();
        page.InsertMacro(5001);
        page.InsertMacro(5001);
        QCOMPARE(Version().m_strInstallDir, std::string("#System##System#"));
        // A token of another menu appends nothing.
        Unmodify();
        page.InsertMacro(5003);
        QCOMPARE(Version().m_strInstallDir, std::string("#System##System#"));
        QVERIFY(!Doc().IsModified());
    }

    void optionsFontKeepsWhatQtCannotSay()
    {
        COptionsPage& page = Options();
        LogFont stored = Project().m_lfTitleFont;
        stored.lfCharSet = 1;
        stored.lfEscapement = 900;
        stored.lfQuality = 2;
        stored.lfHeight = -40;
        Project().m_lfTitleFont = stored;
        m_prompts->onDialog = [](QDialog& dialog) {
            auto& fonts = static_cast<CTitleFontDialog&>(dialog);
            QFont chosen("DejaVu Sans");
            chosen.setPointSize(24);
            chosen.setWeight(QFont::Bold);
            chosen.setUnderline(true);
            fonts.FontChooser()->setCurrentFont(chosen);
            fonts.SetColor(QColor(0x10, 0x20, 0x30));
            return int(QDialog::Accepted);
        };
        Unmodify();
        page.ChooseFont();
        const LogFont& font = Project().m_lfTitleFont;
        QCOMPARE(QString::fromStdString(font.FaceName()), page.FontEdit()->text());
        // 24 points at 96 dots per inch, still a character height.
        QCOMPARE(font.lfHeight, -32);
        QCOMPARE(font.lfWeight, 700);
        QCOMPARE(font.lfUnderline, uint8_t(1));
        // The style shown was not changed: the stored italic stays.
        QCOMPARE(font.lfItalic, stored.lfItalic);
        QCOMPARE(font.lfCharSet, uint8_t(1));
        QCOMPARE(font.lfEscapement, 900);
        QCOMPARE(font.lfQuality, uint8_t(2));
        QCOMPARE(Project().m_crTitleColor, 0x302010u);
        QVERIFY(Doc().IsModified());

        // OK without a change keeps the whole description, even a face this system lacks.
        Project().m_lfTitleFont = stored;
        m_prompts->onDialog = [](QDialog&) { return int(QDialog::Accepted); };
        page.ChooseFont();
        QVERIFY(Project().m_lfTitleFont == stored);
    }

    // ------------------------------------------------------------------ Install info

    void infoAddEditRemoveKeepRowsOnTheirEntries()
    {
        CWriteInfoPage& page = Info();
        int added = 0;
        m_prompts->onDialog = [&added](QDialog& dialog) {
            auto& ini = static_cast<CIniWriteDialog&>(dialog);
            ini.FileEdit()->setText(QString("file%1").arg(added));
            emit ini.FileEdit()->editingFinished();
            ini.SectionEdit()->setText("Section");
            ini.EntryEdit()->setText(QString("Entry%1").arg(added++));
            return int(QDialog::Accepted);
        };
        for (int i = 0; i < 4; ++i) page.OnAdd(CWriteInfoPage::IniList);
        QCOMPARE(Version().m_iniEntries.size(), size_t(4));
        QCOMPARE(Version().m_iniEntries[2].m_strFile, std::string("file2.ini"));
        QCOMPARE(Column(page.ListControl(CWriteInfoPage::IniList), 2),
                 (QStringList{"Entry0", "Entry1", "Entry2", "Entry3"}));

        // Two adjacent rows go; the others still edit their own entries.
        Unmodify();
        SelectRows(page.ListControl(CWriteInfoPage::IniList), {1, 2});
        page.OnRemove(CWriteInfoPage::IniList);
        QVERIFY(Doc().IsModified());
        QCOMPARE(Version().m_iniEntries.size(), size_t(2));
        QCOMPARE(page.RowIndexes(CWriteInfoPage::IniList), (std::vector<int>{0, 1}));
        QVERIFY(!page.RemoveButton(CWriteInfoPage::IniList)->isEnabled());
        m_prompts->onDialog = [](QDialog& dialog) {
            static_cast<CIniWriteDialog&>(dialog).StringEdit()->setText("value");
            return int(QDialog::Accepted);
        };
        SelectRows(page.ListControl(CWriteInfoPage::IniList), {1});
        page.OnEdit(CWriteInfoPage::IniList);
        QCOMPARE(Version().m_iniEntries[1].m_strEntry, std::string("Entry3"));
        QCOMPARE(Version().m_iniEntries[1].m_strValue, std::string("value"));
        QCOMPARE(page.ListControl(CWriteInfoPage::IniList)->topLevelItem(1)->text(3),
                 QString("value"));
        // Cancel leaves the entry as it was.
        m_prompts->onDialog = nullptr;
        Unmodify();
        page.OnEdit(CWriteInfoPage::IniList);
        QVERIFY(!Doc().IsModified());
    }

    void infoRowTexts()
    {
        CRegInfo reg;
        reg.m_nRootKey = 7;
        reg.m_strKey = "Software\\Product";
        reg.m_strSubkey = "Path";
        Version().m_regEntries = {reg};
        CFileInfo pattern;
        pattern.m_strFile = "app.cfg";
        pattern.m_strOffset = "0x41";
        pattern.m_nOffsetMode = CFileInfo::String;
        Version().m_fileStrings = {pattern};
        CWriteInfoPage& page = Info();
        QCOMPARE(page.ListControl(CWriteInfoPage::RegList)->topLevelItem(0)->text(0),
                 QString("HKEY_CLASSES_ROOT\\Software\\Product"));
        QCOMPARE(page.ListControl(CWriteInfoPage::FileList)->topLevelItem(0)->text(1),
                 QString("\"0x41\""));
        // A quoted pattern keeps its own quotes, not doubled ones.
        Version().m_fileStrings[0].m_strOffset = "\"key=\"";
        page.LoadFromProject();
        QCOMPARE(page.ListControl(CWriteInfoPage::FileList)->topLevelItem(0)->text(1),
                 QString("\"key=\""));
    }

    void infoDialogsOkRulesAndMacros()
    {
        CIniWriteDialog ini(nullptr, CIniInfo());
        QVERIFY(!ini.OkButton()->isEnabled());
        ini.FileEdit()->setText("a");
        ini.SectionEdit()->setText("b");
        QVERIFY(!ini.OkButton()->isEnabled());
        ini.EntryEdit()->setText("c");
        QVERIFY(ini.OkButton()->isEnabled());
        ini.InsertMacro(5003);
        ini.InsertMacro(5003);
        QCOMPARE(ini.Entry().m_strValue, std::string("#InstallDir##InstallDir#"));
        ini.InsertMacro(5009);  // a Start-menu token: not in this menu
        QCOMPARE(ini.StringEdit()->text(), QString("#InstallDir##InstallDir#"));
        ini.NoOverwriteBox()->click();
        QCOMPARE(ini.Entry().m_nFlags, 1);

        CRegWriteDialog reg(nullptr, CRegInfo());
        QVERIFY(!reg.OkButton()->isEnabled());
        reg.KeyEdit()->setText("Software");
        QVERIFY(reg.OkButton()->isEnabled());
        reg.RootKeyList()->setCurrentIndex(2);
        reg.SubkeyEdit()->setText("Value");
        emit reg.SubkeyEdit()->editingFinished();
        reg.InsertMacro(5005);
        QCOMPARE(reg.Entry().m_nRootKey, 2);
        QCOMPARE(reg.Entry().m_strSubkey, std::string("Value"));
        QCOMPARE(reg.Entry().m_strValue, std::string("#UserName#"));

        CIniFileDialog pick(nullptr, "", "", "");
        pick.FileEdit()->setText("setup");
        emit pick.FileEdit()->editingFinished();
        QCOMPARE(pick.File(), std::string("setup.ini"));
        QCOMPARE(pick.FileEdit()->text(), QString("setup"));
    }

    void fileDialogValidity_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("validity");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("check");
        QTest::newRow("hex number") << 0 << "0x8000"
                                    << "x"
                                    << "Valid" << true << false;
        QTest::newRow("decimal with blanks") << 0 << " 32768 "
                                             << "x"
                                             << "Valid" << true << false;
        QTest::newRow("bad number") << 0 << "12a"
                                    << "x"
                                    << "Invalid" << false << false;
        QTest::newRow("empty offset") << 0 << ""
                                      << "x"
                                      << "Invalid" << false << false;
        QTest::newRow("no string to write") << 0 << "0x10"
                                            << ""
                                            << "Valid" << false << false;
        QTest::newRow("pattern") << 1 << "0x41,\"BCD\",69,'FGH'"
                                 << "x"
                                 << "Valid" << true << true;
        QTest::newRow("bad pattern") << 1 << ",1"
                                     << "x"
                                     << "Invalid" << false << false;
        QTest::newRow("pattern, no string") << 1 << "65"
                                            << ""
                                            << "Valid" << false << true;
    }

    void fileDialogValidity()
    {
        QFETCH(int, mode);
        QFETCH(QString, offset);
        QFETCH(QString, text);
        QFETCH(QString, validity);
        QFETCH(bool, ok);
        QFETCH(bool, check);
        CFileWriteDialog dialog(nullptr, CFileInfo(), "/src/");
        (mode == 1 ? dialog.StringButton() : dialog.NumericalButton())->click();
        dialog.OffsetEdit()->setText(offset);
        dialog.TextEdit()->setText(text);
        QCOMPARE(dialog.ValidityText()->text(), validity);
        QCOMPARE(dialog.OkButton()->isEnabled(), ok);
        QCOMPARE(dialog.CheckButton()->isEnabled(), check);
        QCOMPARE(dialog.Entry().m_nOffsetMode, mode);
        QCOMPARE(QString::fromStdString(dialog.Entry().m_strOffset), offset);
    }

    void fileDialogCheckAndBrowse()
    {
        QTemporaryDir source;
        // 200 KiB of zeros with ABCDEFGH across the 64 KiB boundary, and once more later.
        QByteArray data(200 * 1024, '\0');
        data.replace(0x10000 - 3, 8, "ABCDEFGH");
        data.replace(150000, 8, "ABCDEFGH");
        WriteFile(source.path() + "/big.bin", data);
        CFileInfo entry;
        entry.m_strFile = "big.bin";
        entry.m_nOffsetMode = CFileInfo::String;
        entry.m_strOffset = "0x41,\"BCD\",69,'FGH'";
        entry.m_strText = "x";
        CFileWriteDialog dialog(nullptr, entry, (source.path() + "/").toStdString());
        dialog.CheckOffset();
        QCOMPARE(m_prompts->messages.value(0),
                 QString("String found, offset %1.").arg(0x10000 - 3));
        dialog.OffsetEdit()->setText("\"nowhere\"");
        dialog.CheckOffset();
        QCOMPARE(m_prompts->messages.value(1), QString("String not found in this file."));
        dialog.FileEdit()->setText("absent.bin");
        dialog.CheckOffset();
        QCOMPARE(m_prompts->messages.value(2), QString("File not found."));
        // The search's window edges: a match at the very end and one that starts at the last byte.
        QCOMPARE(CFileWriteDialog::FindPattern(source.path() + "/big.bin", "ABCDEFGH"),
                 0x10000 - 3);
        data = QByteArray(0x30000, 'z');
        data.replace(0x30000 - 2, 2, "QR");
        WriteFile(source.path() + "/end.bin", data);
        QCOMPARE(CFileWriteDialog::FindPattern(source.path() + "/end.bin", "QR"), 0x30000 - 2);
        QCOMPARE(CFileWriteDialog::FindPattern(source.path() + "/end.bin", "RQ"), -1);

        // Browse: a file below the source directory gives its relative name; others none.
        WriteFile(source.path() + "/sub/app.ini", "x");
        m_prompts->fileNames << source.path() + "/sub/app.ini"
                             << "/etc/hostname";
        dialog.Browse();
        QCOMPARE(dialog.Entry().m_strFile, std::string("sub\\app.ini"));
        dialog.Browse();
        QCOMPARE(dialog.Entry().m_strFile, std::string());
        QCOMPARE(m_prompts->messages.last(), QString("The file MUST be in the source directory!"));
    }

    // ------------------------------------------------------------------ Uninstaller

    void uninstTexts()
    {
        CUninstPage& page = Uninst();
        struct Case {
            const char* typed;
            const char* stored;
            const char* shown;
        };
        for (const Case& c :
             {Case{"<NONE>", "", "<NONE>"}, Case{"", "", "<None>"},
              Case{"Line one\\nLine two", "Line one\nLine two", "Line one\\nLine two"}}) {
            page.OnTextEdited(0, c.typed);
            QCOMPARE(QString::fromStdString(Version().m_texts[8][0]), QString(c.stored));
            QCOMPARE(page.TextList()->topLevelItem(0)->text(0), QString(c.shown));
        }
        SelectRows(page.TextList(), {0});
        Unmodify();
        page.OnDefaultTexts();
        QCOMPARE(Version().m_texts[8][0], GetDefaultText(8, 0));
        QVERIFY(Doc().IsModified());
        QCOMPARE(page.UsageText()->text(), QString::fromStdString(CTextCatalogue::GetUsage(8, 0)));
    }

    void uninstKeysAndFields()
    {
        CUninstPage& page = Uninst();
        Version().m_regKeysToRemove = {"A", "B", "C", "D"};
        page.LoadFromProject();
        // Two adjacent keys removed.
        SelectRows(page.KeyList(), {1, 2});
        page.OnRemoveKeys();
        QCOMPARE(Version().m_regKeysToRemove, (std::vector<std::string>{"A", "D"}));
        QCOMPARE(Column(page.KeyList(), 0), (QStringList{"A", "D"}));
        // A key added joins the version once typed: confirmed empty or cancelled, it goes.
        page.OnAddKey();
        QCOMPARE(Version().m_regKeysToRemove.size(), size_t(2));
        QCOMPARE(page.KeyList()->topLevelItemCount(), 3);
        page.OnKeyEdited(2, "   ");
        QCOMPARE(Version().m_regKeysToRemove, (std::vector<std::string>{"A", "D"}));
        QCOMPARE(page.KeyList()->topLevelItemCount(), 2);
        page.OnAddKey();
        if (auto* editor = page.KeyList()->viewport()->findChild<QLineEdit*>()) {
            emit page.KeyList()->itemDelegate()->closeEditor(
                editor, QAbstractItemDelegate::RevertModelCache);
        }
        QCOMPARE(Version().m_regKeysToRemove, (std::vector<std::string>{"A", "D"}));
        QCOMPARE(page.KeyList()->topLevelItemCount(), 2);
        // Removing the first key leaves the others editing their own.
        SelectRows(page.KeyList(), {0});
        page.OnRemoveKeys();
        page.OnKeyEdited(0, " Software\\X ");
        QCOMPARE(Version().m_regKeysToRemove, (std::vector<std::string>{"Software\\X"}));

        Unmodify();
        Type(page.FileEdit(), QString::fromStdString(Version().m_strUninstFile));
        QVERIFY(!Doc().IsModified());
        Type(page.FolderEdit(), "My Product");
        QCOMPARE(Version().m_strUninstFolder, std::string("My Product"));
        QVERIFY(Doc().IsModified());
    }

    // ------------------------------------------------------------------ Refresh

    void pagesFollowTheCurrentVersion()
    {
        Texts();
        Options();
        Info();
        Uninst();
        CData second = Version();
        second.m_strTitle = "Second";
        second.m_strInstallDir = "#Program Files#\\Second";
        second.m_regKeysToRemove = {"K"};
        Project().m_versions.push_back(second);
        Project().m_nCurrent = 1;
        m_app->GetMainFrame()->GetView()->RefreshPages();
        QCOMPARE(Texts().TitleEdit()->text(), QString("Second"));
        QCOMPARE(Options().InstallDirEdit()->text(), QString("#Program Files#\\Second"));
        QCOMPARE(Uninst().KeyList()->topLevelItemCount(), 1);
    }
};

QTEST_MAIN(EditorPagesTest)
#include "test_editor_pages.moc"
