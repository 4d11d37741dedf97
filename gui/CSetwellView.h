// The view: the versions bar above the tabbed editor sheet. It refreshes the pages when the
// project changes and carries the Test and Build commands.
#pragma once

#include <QWidget>

namespace velkan {

class CInstallSheet;
class CSetwellDoc;
class CVersionsBar;
class IBuildRunner;

class CSetwellView : public QWidget {
    Q_OBJECT
public:
    CSetwellView(CSetwellDoc& doc, IBuildRunner& runner, QWidget* parent);

    CSetwellDoc& GetDocument() const { return m_doc; }
    CInstallSheet* GetSheet() const { return m_sheet; }
    CVersionsBar* GetVersionsBar() const { return m_bar; }

    // Every page whose window exists reloads from the current version; then the Build page.
    void RefreshPages();
    // The versions bar and then the pages (after New and Open).
    void RefreshAll();
    // Every page whose window exists adapts to the new preferences.
    void NotifyPreferencesChanged();

    void OnTest();
    void OnBuild();
    // F6 / Shift+F6: moves the focus between the versions bar and the sheet.
    void FocusNextPane(bool forward);

private:
    CSetwellDoc& m_doc;
    CVersionsBar* m_bar;
    CInstallSheet* m_sheet;
};

}  // namespace velkan
