// The tabbed editor sheet: Files, Wizard Texts, Wizard Options, Install info, Uninstaller and
// Build. Pages reach the project through it.
#pragma once

#include <QList>
#include <QTabWidget>

namespace velkan {

class CBuildPage;
class CData;
class CDataArray;
class CFilesPage;
class CPatchPage;
class CSetwellDoc;
class IBuildRunner;

class CInstallSheet : public QTabWidget {
    Q_OBJECT
public:
    enum Tab {
        TabFiles,
        TabWizardTexts,
        TabWizardOptions,
        TabInstallInfo,
        TabUninstaller,
        TabBuild
    };

    CInstallSheet(CSetwellDoc& doc, IBuildRunner& runner, QWidget* parent);

    CSetwellDoc& GetDocument() const { return m_doc; }
    CDataArray& GetProject() const;
    CData* GetCurrent() const;

    const QList<CPatchPage*>& Pages() const { return m_pages; }
    CPatchPage* Page(Tab tab) const { return m_pages.value(tab); }
    CFilesPage* GetFilesPage() const { return m_filesPage; }
    CBuildPage* GetBuildPage() const { return m_buildPage; }
    bool IsCreated() const { return m_bCreated; }

    // Makes the Build page active and starts a build.
    void BuildNow();
    // The Build page's own display (after RefreshPages).
    void RefreshBuildPage();

private:
    void OnCurrentChanged(int index);

    CSetwellDoc& m_doc;
    QList<CPatchPage*> m_pages;
    CFilesPage* m_filesPage;
    CBuildPage* m_buildPage;
    int m_nActive = -1;
    bool m_bCreated = false;
};

}  // namespace velkan
