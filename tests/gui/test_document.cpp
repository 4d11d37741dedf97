// The document through the GUI: caption and modified flag, open and save, ".vkt" files,
// unreadable files, source-directory repair, and the versions bar.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/model/CData.h"
#include "core/model/ProjectFile.h"
#include "gui/CMainFrame.h"
#include "gui/CMissingDirDialog.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CVersionsBar.h"
#include "tests/gui/GuiTestSupport.h"

using namespace velkan;

class DocumentTest : public QObject {
    Q_OBJECT
    CTestSettings m_settings;
    std::unique_ptr<CScriptedPrompts> m_prompts;
    std::unique_ptr<CSetwellApp> m_app;
    QTemporaryDir m_dir;

    CSetwellDoc& Doc() { return *m_app->GetDocument(); }
    QString Caption() { return m_app->GetMainFrame()->windowTitle(); }
    CVersionsBar& Bar() { return *m_app->GetMainFrame()->GetView()->GetVersionsBar(); }

    QString WriteProject(const QString& name, const std::vector<std::string>& versionNames,
                         const std::vector<std::string>& sourceDirs = {})
    {
        CDataArray project = NewProject();
        project.m_versions.clear();
        for (size_t i = 0; i < versionNames.size(); ++i) {
            CData version;
            version.m_strName = versionNames[i];
            if (i < sourceDirs.size()) version.m_strSourceDir = sourceDirs[i];
            project.m_versions.push_back(version);
        }
        QString path = m_dir.path() + "/" + name;
        SaveProject(project, path.toStdString());
        return path;
    }

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
        Doc().SetModifiedFlag(false);
        m_app->GetMainFrame()->close();
        m_app->ExitInstance();
        m_app.reset();
        m_prompts.reset();
    }

    void captionFollowsTitleAndModifiedFlag()
    {
        QCOMPARE(Caption(), QString("Orvanti Velkan - Untitled"));
        Doc().SetModifiedFlag(true);
        QCOMPARE(Caption(), QString("Orvanti Velkan - Untitled*"));
        m_prompts->fileNames << m_dir.path() + "/demo";
        QVERIFY(Doc().DoFileSave());
        QCOMPARE(Caption(), QString("Orvanti Velkan - demo.vkp"));
        QVERIFY(QFileInfo::exists(m_dir.path() + "/demo.vkp"));
    }

    void saveAndOpenRoundTrip()
    {
        CData* version = Doc().m_project.GetCurrent();
        version->m_strTitle = "R\xE9sum\xE9 Pro";  // Windows-1252 bytes survive the trip
        Bar().OnAdd();
        QCOMPARE(Doc().m_project.m_versions.size(), size_t(2));
        QString path = m_dir.path() + "/round.vkp";
        QVERIFY(Doc().DoSave(path));
        QVERIFY(!Doc().IsModified());
        QVERIFY(m_app->OpenDocumentFile(path));
        QCOMPARE(Doc().m_project.m_versions.size(), size_t(2));
        QCOMPARE(Doc().m_project.m_nCurrent, 0);
        QCOMPARE(Doc().m_project.m_versions[0].m_strTitle, std::string("R\xE9sum\xE9 Pro"));
        QCOMPARE(Doc().m_project.m_versions[1].m_strName, std::string("Version 2"));
        QCOMPARE(Bar().Combo()->count(), 2);
        QCOMPARE(m_app->GetRecentFiles().Paths().value(0), path);
    }

    void savePromptCancelKeepsProject()
    {
        QString path = WriteProject("other.vkp", {"A"});
        Doc().SetModifiedFlag(true);
        m_prompts->answers << QMessageBox::Cancel;
        QVERIFY(!m_app->OpenDocumentFile(path));
        QCOMPARE(m_prompts->messages.value(0), QString("Save changes to Untitled?"));
        QVERIFY(Doc().IsModified());
        QCOMPARE(Doc().m_project.m_versions[0].m_strName, std::string("Default"));
    }

    void unreadableFileKeepsOpenProject()
    {
        QString good = WriteProject("good.vkp", {"Kept"});
        QVERIFY(m_app->OpenDocumentFile(good));
        QString bad = m_dir.path() + "/bad.vkp";
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a project at all");
        file.close();
        QVERIFY(!m_app->OpenDocumentFile(bad));
        QCOMPARE(m_prompts->messages.size(), 1);
        QVERIFY(m_prompts->messages[0].contains("bad.vkp"));
        QCOMPARE(Doc().m_project.m_versions[0].m_strName, std::string("Kept"));
        QCOMPARE(Doc().GetPathName(), good);
        QVERIFY(!m_app->OpenDocumentFile(m_dir.path() + "/missing.vkp"));
        QVERIFY(m_prompts->messages.value(1).contains("missing.vkp"));
    }

    void failedSaveKeepsPreviousFile()
    {
        QString path = WriteProject("keep.vkp", {"Old"});
        QByteArray before;
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            before = f.readAll();
        }
        // A target that is a directory cannot be replaced: the save fails with a message.
        QString blocked = m_dir.path() + "/blocked.vkp";
        QVERIFY(QDir().mkpath(blocked));
        QVERIFY(!Doc().DoSave(blocked));
        QCOMPARE(m_prompts->messages.size(), 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void vktFiles()
    {
        // Beside an existing .vkp: no path, so Save asks for a name.
        QString vkt = WriteProject("demo.vkt", {"T"});
        WriteProject("demo.vkp", {"P"});
        QVERIFY(m_app->OpenDocumentFile(vkt));
        QCOMPARE(Doc().GetPathName(), QString());
        QCOMPARE(Doc().m_project.m_versions[0].m_strName, std::string("T"));
        // Alone: the path becomes the .vkp name, also in the recent-file list.
        QString alone = WriteProject("solo.VKT", {"S"});
        QVERIFY(m_app->OpenDocumentFile(alone));
        QCOMPARE(Doc().GetPathName(), m_dir.path() + "/solo.vkp");
        QCOMPARE(m_app->GetRecentFiles().Paths().value(0), m_dir.path() + "/solo.vkp");
        QCOMPARE(Caption(), QString("Orvanti Velkan - solo.vkp"));
    }

    void jsonProjectsOpenAndSaveAsText()
    {
        QString path = WriteProject("text.json", {"J"});
        QVERIFY(m_app->OpenDocumentFile(path));
        QCOMPARE(Doc().m_project.m_versions[0].m_strName, std::string("J"));
        Doc().m_project.m_versions[0].m_strTitle = "Caf\xE9";
        Doc().SetModifiedFlag(true);
        QVERIFY(Doc().DoFileSave());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("{\n  \"$schema\": \"velkan-project.schema.json\""));
        QCOMPARE(LoadProject(path.toStdString()).m_versions[0].m_strTitle, std::string("Caf\xE9"));

        QString bad = m_dir.path() + "/bad.json";
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"versions\": [{\"subdirs\": \"yes\"}]}");
        file.close();
        QVERIFY(!m_app->OpenDocumentFile(bad));
        QVERIFY(
            m_prompts->messages.value(0).contains("versions[0].subdirs: expected true or false"));
        QCOMPARE(Doc().GetPathName(), path);
    }

    void missingDirectoriesAskUntilCancel()
    {
        QString path = WriteProject("dirs.vkp", {"A", "B", "C"},
                                    {"/nowhere/a/", "/nowhere/b/", "/nowhere/c/"});
        QStringList asked;
        bool okEnabledAtFirst = true;
        QString replacement = m_dir.path();
        m_prompts->onDialog = [&](QDialog& dialog) -> int {
            auto& missing = static_cast<CMissingDirDialog&>(dialog);
            asked << missing.Edit()->text();
            if (asked.size() == 1) {
                okEnabledAtFirst = missing.OkButton()->isEnabled();
                missing.Edit()->setText(replacement);
                if (!missing.OkButton()->isEnabled()) return int(QDialog::Rejected);
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        };
        QVERIFY(m_app->OpenDocumentFile(path));
        QCOMPARE(asked, (QStringList{"/nowhere/a/", "/nowhere/b/"}));
        QVERIFY2(!okEnabledAtFirst, "OK starts disabled for a missing directory");
        const auto& versions = Doc().m_project.m_versions;
        // The folder chosen is the project's own: stored relative to it.
        QCOMPARE(versions[0].m_strSourceDir, std::string("./"));
        QCOMPARE(versions[1].m_strSourceDir, std::string("/nowhere/b/"));
        QCOMPARE(versions[2].m_strSourceDir, std::string("/nowhere/c/"));
        QVERIFY(Doc().IsModified());
    }

    void sameDirectoryOnTheProjectDrive()
    {
        QCOMPARE(CSetwellDoc::OnProjectDrive("D:\\work\\src\\", "E:\\p\\a.vkp"),
                 QString("E:\\work\\src\\"));
        QCOMPARE(CSetwellDoc::OnProjectDrive("/work/src/", "/p/a.vkp"), QString("/work/src/"));
    }

    void versionsBar()
    {
        CDataArray& project = Doc().m_project;
        Bar().OnAdd();
        Bar().OnAdd();
        QCOMPARE(project.m_versions.size(), size_t(3));
        QCOMPARE(project.m_versions[2].m_strName, std::string("Version 3"));
        QCOMPARE(project.m_nCurrent, 2);
        QVERIFY(Doc().IsModified());
        // The number counts versions, even when the name is taken already.
        project.m_versions[0].m_strName = "Version 4";
        Bar().OnAdd();
        QCOMPARE(project.m_versions[3].m_strName, std::string("Version 4"));

        // Select: current, not modified.
        Doc().SetModifiedFlag(false);
        Bar().OnSelect(1);
        QCOMPARE(project.m_nCurrent, 1);
        QVERIFY(!Doc().IsModified());

        // Rename by typing.
        QTest::keyClicks(Bar().Combo()->lineEdit(), "X");
        QCOMPARE(project.m_versions[1].m_strName, std::string("Version 2X"));
        QVERIFY(Doc().IsModified());

        // Del asks nothing (Undo brings the version back). Deleting the last makes the one
        // before it current.
        Bar().OnSelect(3);
        Bar().OnDel();
        QCOMPARE(project.m_versions.size(), size_t(3));
        QCOMPARE(project.m_nCurrent, 2);
        QVERIFY(m_prompts->messages.isEmpty());
        // Deleting the first makes the former second current (index 0).
        Bar().OnSelect(0);
        Bar().OnDel();
        QCOMPARE(project.m_nCurrent, 0);
        QCOMPARE(project.m_versions[0].m_strName, std::string("Version 2X"));
        QCOMPARE(Bar().Combo()->currentText(), QString("Version 2X"));
        // With one version left, Del does nothing.
        Bar().OnDel();
        Bar().OnDel();
        QCOMPARE(project.m_versions.size(), size_t(1));
        QVERIFY(m_prompts->messages.isEmpty());

        // Mutually exclusive: stored at once, not a modification.
        Doc().SetModifiedFlag(false);
        Bar().ExclusiveBox()->click();
        QCOMPARE(project.m_bExclusive, 0);
        QVERIFY(!Doc().IsModified());
    }
};

QTEST_MAIN(DocumentTest)
#include "test_document.moc"
