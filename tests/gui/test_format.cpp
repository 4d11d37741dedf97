// The editor's pure rules: engine texts, command line, window placement, help
// topics, anchored layout, file order, folder names, macro tokens, preferences and recent files.
#include <QtTest>

#include <QPushButton>

#include "gui/CAnchorLayout.h"
#include "gui/CFilesPage.h"
#include "gui/CFolderBrowser.h"
#include "gui/CMacroMenu.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CRecentFileList.h"
#include "gui/CVelkanCommandLine.h"
#include "gui/CommandIds.h"
#include "gui/HelpTopics.h"
#include "gui/QtText.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class FormatTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;

private slots:
    void engineText()
    {
        // Texts of the string table are Windows-1252; file errors carry UTF-8 host paths.
        QCOMPARE(FromEngineText("plain"), QString("plain"));
        QCOMPARE(FromEngineText("/tmp/\xc3\xa9t\xc3\xa9.exe: cannot create"),
                 QString::fromUtf8("/tmp/\xc3\xa9t\xc3\xa9.exe: cannot create"));
        QCOMPARE(FromEngineText("caf\xe9"), QString::fromUtf8("caf\xc3\xa9"));
        QCOMPARE(FromEngineText(std::string("\x80", 1)), QString(QChar(0x20AC)));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("build");
        QTest::newRow("none") << QStringList{} << "" << false;
        QTest::newRow("/b and a quoted path")
            << QStringList{"/b", "\"C:\\My Projects\\a.vkp\""} << "C:\\My Projects\\a.vkp" << true;
        QTest::newRow("-B") << QStringList{"proj.vkp", "-B"} << "proj.vkp" << true;
        QTest::newRow("/x is ignored") << QStringList{"/x", "a.vkp"} << "a.vkp" << false;
        QTest::newRow("/Build starts with B") << QStringList{"/Build"} << "" << true;
        QTest::newRow("blanks trimmed, then quotes")
            << QStringList{"  \"a b.vkp\"  "} << "a b.vkp" << false;
        QTest::newRow("a later name replaces") << QStringList{"a.vkp", "b.vkp"} << "b.vkp" << false;
        QTest::newRow("lone quote") << QStringList{"\""} << "" << false;
        QTest::newRow("one-sided quote stays") << QStringList{"\"a.vkp"} << "\"a.vkp" << false;
        QTest::newRow("absolute unix path is a file")
            << QStringList{"/home/me/p.vkp", "-b"} << "/home/me/p.vkp" << true;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        CVelkanCommandLine line;
        line.ParseArguments(arguments);
        QTEST(line.m_strFileName, "file");
        QTEST(line.m_bBuild, "build");
    }

    void placement_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("fits exactly") << "0,0,800,600" << true;
        QTest::newRow("too wide by the offset") << "100,100,800,600" << false;
        QTest::newRow("starts off screen") << "800,0,10,10" << false;
        QTest::newRow("too tall") << "0,1,800,600" << false;
        QTest::newRow("three numbers") << "0,0,800" << false;
        QTest::newRow("not a number") << "0,0,wide,600" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("zero size") << "10,10,0,0" << false;
        QTest::newRow("overflowing sum") << "10,10,2147483647,10" << false;
    }
    void placement()
    {
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        QRect rect;
        QCOMPARE(CMainFrame::ParsePlacement(value, QSize(800, 600), &rect), accepted);
        if (accepted) QCOMPARE(rect, QRect(0, 0, 800, 600));
    }

    void helpTopics()
    {
        QCOMPARE(HelpTopicFor(kHelpContextBase + 10005, true), QString("vk/o_info.htm"));
        QCOMPARE(HelpTopicFor(kHelpContextBase + 160, true), QString("vk/o_fichiers.htm"));
        QCOMPARE(HelpTopicFor(kHelpContextBase + 136, true), QString("vk/o_construction.htm"));
        QCOMPARE(HelpTopicFor(kHelpContextBase + 170, true), QString("vk/preferences.htm"));
        // The main window's own id is not in the table: the index, without a folder.
        QCOMPARE(HelpTopicFor(kHelpContextBase + 128, true), QString("index.htm"));
        QCOMPARE(HelpTopicFor(kHelpContextBase + 160, false), QString("index.htm"));
    }

    void anchoredLayout()
    {
        QWidget owner;
        owner.resize(200, 100);
        auto* moving = new QPushButton(&owner);
        moving->setObjectName(CAnchorLayout::ControlName(1));
        moving->setGeometry(150, 10, 40, 20);
        auto* stretching = new QPushButton(&owner);
        stretching->setObjectName(CAnchorLayout::ControlName(2));
        stretching->setGeometry(10, 40, 100, 50);
        auto* corner = new QPushButton(&owner);
        corner->setObjectName(CAnchorLayout::ControlName(3));
        corner->setGeometry(150, 70, 40, 20);
        static constexpr AnchorEntry table[] = {
            {1, CAnchorLayout::AnchorMoveRight},
            {2, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorStretchHeight},
            {3, CAnchorLayout::AnchorMoveRight | CAnchorLayout::AnchorMoveDown},
            {99, CAnchorLayout::AnchorMoveRight},  // no such control: skipped
            {0, 0},
        };
        CAnchorLayout layout;
        layout.Attach(&owner, table);
        layout.Resize(260, 130);
        QCOMPARE(moving->geometry(), QRect(210, 10, 40, 20));
        QCOMPARE(stretching->geometry(), QRect(10, 40, 160, 80));
        QCOMPARE(corner->geometry(), QRect(210, 100, 40, 20));
        // Always from the attach-time rectangles: back to the first size, back to the start.
        layout.Resize(230, 90);
        layout.Resize(200, 100);
        QCOMPARE(stretching->geometry(), QRect(10, 40, 100, 50));
        // Minimised: nothing moves.
        layout.Resize(0, 0);
        QCOMPARE(moving->geometry(), QRect(150, 10, 40, 20));
        // A table whose first entry ends it leaves everything in place.
        static constexpr AnchorEntry empty[] = {{0, CAnchorLayout::AnchorMoveRight}};
        CAnchorLayout none;
        none.Attach(&owner, empty);
        none.Resize(500, 500);
        QCOMPARE(moving->geometry(), QRect(150, 10, 40, 20));
    }

    void fileOrder()
    {
        // Root files before every sub-directory file; directories, then names, without case.
        QStringList paths = {"sub\\b.txt", "Sub\\A.txt", "z.txt", "a\\z.txt", "m.txt"};
        std::vector<std::string> sorted;
        for (const QString& p : paths) sorted.push_back(p.toStdString());
        std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return CFilesPage::CompareFileEntries(a, b) < 0;
        });
        QCOMPARE(QString::fromStdString(sorted[0]), QString("m.txt"));
        QCOMPARE(QString::fromStdString(sorted[1]), QString("z.txt"));
        QCOMPARE(QString::fromStdString(sorted[2]), QString("a\\z.txt"));
        QCOMPARE(QString::fromStdString(sorted[3]), QString("Sub\\A.txt"));
        QCOMPARE(QString::fromStdString(sorted[4]), QString("sub\\b.txt"));
        QCOMPARE(CFilesPage::CompareFileEntries("SUB\\x.txt", "sub\\X.TXT"), 0);
        // The directory part keeps its backslash: "a\" sorts before "a b\".
        QVERIFY(CFilesPage::CompareFileEntries("a\\x", "a b\\x") != 0);
    }

    void folderNames()
    {
        QCOMPARE(CFolderBrowser::NormalizeInitialFolder("C:\\Data\\\\"), QString("C:\\Data"));
        QCOMPARE(CFolderBrowser::NormalizeInitialFolder("C:\\"), QString("C:"));
        QCOMPARE(CFolderBrowser::NormalizeInitialFolder("/home/me/"), QString("/home/me"));
        QCOMPARE(CFolderBrowser::NormalizeInitialFolder("/"), QString("/"));
        QCOMPARE(CFolderBrowser::NormalizeInitialFolder(QString(400, 'a')).size(), 259);
        QVERIFY(!CFolderBrowser::IsAcceptable(""));
        QVERIFY(!CFolderBrowser::IsAcceptable("/no/such/folder/here"));
        QVERIFY(CFolderBrowser::IsAcceptable(QDir::tempPath()));
    }

    void macroTokens()
    {
        QCOMPARE(CMacroMenu::TokenFor(5009), QString("#Start Menu#"));
        QCOMPARE(CMacroMenu::TokenFor(5010), QString("#Startup#"));
        QCOMPARE(CMacroMenu::TokenFor(5007), QString());
        QVERIFY(CMacroMenu::Offers(CMacroMenu::Macro3, 5009));
        QVERIFY(!CMacroMenu::Offers(CMacroMenu::Macro3, 5003));
        QVERIFY(CMacroMenu::Offers(CMacroMenu::Macro2, 5008));
    }

    void commandStrings()
    {
        QCOMPARE(CommandString(IdPreferences), QString("Display the preferences\nPreferences"));
        QCOMPARE(CommandShortName(IdBuild), QString("Build"));
        QCOMPARE(CommandPrompt(IdFileOpen), QString("Open an existing project"));
    }

    void preferences()
    {
        CPrefGroup output = CPrefGroup::Output();
        QCOMPARE(output.Get(CPrefGroup::PrefOutputRatio), 1);
        QCOMPARE(output.Get(CPrefGroup::PrefOutputPackedSize), 1);
        QCOMPARE(output.Get(CPrefGroup::PrefOutputOriginalSize), 0);
        QCOMPARE(CPrefGroup::General().Get(CPrefGroup::PrefWizard), 1);
        output.Set(CPrefGroup::PrefOutputOriginalSize, 1);
        QCOMPARE(CPrefGroup::Output().Get(CPrefGroup::PrefOutputOriginalSize), 1);
        QSettings settings(kSettingsOrganization, kSettingsApplication);
        QCOMPARE(settings.value("Output/output_originalsize").toInt(), 1);
        // A value that is not a number falls back to the default text.
        settings.setValue("Output/output_ratio", "many");
        settings.sync();
        QCOMPARE(output.Get(CPrefGroup::PrefOutputRatio), 1);
    }

    void recentFiles()
    {
        CRecentFileList list;
        list.Load();
        for (const char* path :
             {"/p/1.vkp", "/p/2.vkp", "/p/3.vkp", "/p/4.vkp", "/p/5.vkp", "/p/3.vkp"}) {
            list.Add(path);
        }
        QCOMPARE(list.Paths(), (QStringList{"/p/3.vkp", "/p/5.vkp", "/p/4.vkp", "/p/2.vkp"}));
        CRecentFileList again;
        again.Load();
        QCOMPARE(again.Paths(), list.Paths());
        QSettings settings(kSettingsOrganization, kSettingsApplication);
        QCOMPARE(settings.value("Recent File List/File1").toString(), QString("/p/3.vkp"));
    }
};

QTEST_MAIN(FormatTest)
#include "test_format.moc"
