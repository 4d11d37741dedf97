// What the author types is kept as typed or refused with a reason: characters outside the
// install programs' code page, and a registry key row added and left blank.
#include <QtTest>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QLabel>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "gui/CCodePageGuard.h"
#include "gui/CInfoDialogs.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CUninstPage.h"
#include "gui/CWizPages.h"
#include "gui/CWizSheet.h"
#include "gui/QtText.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class AuthorInputTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CSetwellApp> m_app;

    CSetwellView& View() { return *m_app->GetMainFrame()->GetView(); }
    CUninstPage& Uninstaller()
    {
        View().GetSheet()->setCurrentIndex(CInstallSheet::TabUninstaller);
        return *static_cast<CUninstPage*>(View().GetSheet()->Page(CInstallSheet::TabUninstaller));
    }
    CData& Version() { return *m_app->GetDocument()->m_project.GetCurrent(); }
    // Types text key by key, each key with its character, as a keyboard layout delivers it.
    static void Type(QWidget* widget, const QString& text)
    {
        for (char32_t c : text.toUcs4()) {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
        }
    }

private slots:
    void initTestCase() { CPrefGroup::General().Set(CPrefGroup::PrefWizard, 0); }

    void init()
    {
        m_prompts = std::make_unique<CScriptedPrompts>();
        m_app = std::make_unique<CSetwellApp>();
        QVERIFY(m_app->InitInstance({}));
        m_app->GetMainFrame()->show();
        m_app->GetMainFrame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_app->GetMainFrame()));
    }

    void cleanup()
    {
        m_app->GetDocument()->SetModifiedFlag(false);
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
    }

    void unwritableCharactersAreRefusedWhereTyped()
    {
        struct Case {
            QString typed;
            QString kept;
            QString refused;  // the character named, empty when all is kept
        } cases[] = {
            {"Caf\u00E9 \u20AC5", "Caf\u00E9 \u20AC5", ""},  // é and € are Windows-1252
            {"A\u03A9B", "AB", "\u03A9"},
            {"x\U0001F600y", "xy", "\U0001F600"},
        };
        CUninstPage& page = Uninstaller();
        for (const Case& c : cases) {
            page.FolderEdit()->clear();
            page.FolderEdit()->setFocus();
            Type(page.FolderEdit(), c.typed);
            QCOMPARE(page.FolderEdit()->text(), c.kept);
            if (!c.refused.isEmpty()) {
                QVERIFY2(CCodePageGuard::LastRefusal().contains(c.refused),
                         qPrintable(CCodePageGuard::LastRefusal()));
                QVERIFY(CCodePageGuard::LastRefusal().contains("Windows-1252"));
            }
            emit page.FolderEdit()->editingFinished();
            QCOMPARE(ToQt(Version().m_strUninstFolder), c.kept);
        }
        // A paste into a multi-line text: the whole insertion is refused.
        CWizSheet wizard(m_app->GetMainFrame());
        wizard.show();
        QPlainTextEdit* text = wizard.PageOf<CInfoPage>()->TextEdit();
        text->setPlainText("Licence");
        text->moveCursor(QTextCursor::End);
        text->insertPlainText("\n\u2126 ok");
        QCOMPARE(text->toPlainText(), QString("Licence"));
        text->insertPlainText("\nok \u00E9");
        QCOMPARE(text->toPlainText(), QString("Licence\nok \u00E9"));
    }

    // A string that cannot fit at its offset in the file the source folder holds cannot be
    // confirmed, and the dialog says why.
    void aStringThatCannotFitIsRefused()
    {
        QTemporaryDir source;
        QFile file(source.path() + "/app.ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(27, 'x'));
        file.close();
        CFileInfo entry;
        entry.m_strFile = "app.ini";
        CFileWriteDialog dialog(nullptr, entry, (source.path() + "/").toStdString());
        struct Case {
            const char* offset;
            const char* text;
            bool ok;
        } cases[] = {
            {"16", "0123456789", true},    // 11 bytes with the 0 byte: fits exactly
            {"16", "0123456789A", false},  // one byte past the end
            {"0x10", "#WinDir#", true},    // its size is known only at install time
            {"30", "a", false},
        };
        for (const Case& c : cases) {
            dialog.OffsetEdit()->setText(c.offset);
            dialog.TextEdit()->setText(c.text);
            QCOMPARE(dialog.OkButton()->isEnabled(), c.ok);
            QCOMPARE(dialog.FitText()->text().isEmpty(), c.ok);
        }
        QVERIFY2(dialog.FitText()->text().contains("offset 30 of the 27-byte file"),
                 qPrintable(dialog.FitText()->text()));
    }

    void aKeyRowLeftBlankGoes()
    {
        CUninstPage& page = Uninstaller();
        QVERIFY(!page.EditButton()->isEnabled());  // nothing to edit in an empty list
        page.OnAddKey();
        QCOMPARE(page.KeyList()->topLevelItemCount(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(page.KeyList()->topLevelItemCount(), 0);
        QVERIFY(Version().m_regKeysToRemove.empty());

        page.OnAddKey();
        QTest::keyClicks(QApplication::focusWidget(), "HKEY_CURRENT_USER\\Software\\Kept");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        page.OnAddKey();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(page.KeyList()->topLevelItemCount(), 1);
        QCOMPARE(Version().m_regKeysToRemove,
                 (std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Kept"}));
    }
};

QTEST_MAIN(AuthorInputTest)
#include "test_author_input.moc"
