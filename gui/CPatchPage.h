// The base of the editor sheet's pages: reaching the project through the sheet, being refreshed
// when the project changes, the anchored layout of its controls, and its help topic (F1).
// A page's controls are created the first time its tab is shown.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include "gui/CAnchorLayout.h"

namespace velkan {

class CData;
class CDataArray;
class CInstallSheet;
class CSetwellDoc;

class CPatchPage : public QWidget {
    Q_OBJECT
public:
    // designSize: the page's size in dialog units, the size its controls are placed for.
    CPatchPage(CInstallSheet* sheet, int templateId, const QString& caption, QSize designSize);

    // Reloads everything the page shows from the current version.
    virtual void LoadFromProject() {}
    // The preferences changed (Preferences closed with OK).
    virtual void PreferencesChanged() {}
    virtual int GetHelpId() const { return 0; }
    // Page-specific set-up when the page is first shown; creates the controls.
    virtual bool InitPage() { return true; }
    // The anchor table of the page's controls, ended by an entry with id 0; null for none.
    virtual const AnchorEntry* GetAnchorTable() const { return nullptr; }
    // The page becomes the active tab / stops being it.
    virtual void OnSetActive() {}
    virtual void OnKillActive() {}

    // Creates the page's controls once (dialog initialisation); true when they exist.
    bool EnsureCreated();
    bool IsCreated() const { return m_bCreated; }

    int GetTemplateId() const { return m_nTemplateId; }
    const QString& GetCaption() const { return m_strCaption; }
    CInstallSheet* GetSheet() const { return m_sheet; }
    CSetwellDoc& GetDocument() const;
    CData* GetCurrent() const;
    // One undo step, and the document modified; every page calls it after each change to the
    // model.
    void SetProjectModified();

    // Dialog units to pixels in the page's font (4 units per average character width, 8 per
    // character height).
    QRect Dlu(int x, int y, int width, int height) const;
    // Places control as control id at a rectangle in dialog units.
    QWidget* Place(QWidget* control, int id, int x, int y, int width, int height);

protected:
    // Called after the anchored layout moved the controls for a new size.
    virtual void OnSizeChanged(int width, int height)
    {
        (void)width;
        (void)height;
    }

    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CInstallSheet* m_sheet;
    int m_nTemplateId;
    QString m_strCaption;
    QSize m_designSize;
    QRect m_initialRect;
    CAnchorLayout m_layout;
    bool m_bCreated = false;
};

}  // namespace velkan
