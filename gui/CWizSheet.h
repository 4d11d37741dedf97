// The new-project wizard: eleven pages that set up a project (source directory, language and
// title, Start-menu icon, information text, window look, bitmaps, installation directory, files
// to view or run at the end, uninstaller, and whether to build at once) on a project of its own,
// which the document takes over after Finish together with five further choices.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <string>

#include "core/model/CDataArray.h"
#include "core/wizard/LanguageTemplates.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace velkan {

class CWizSheet;

// One page of the wizard: its template id (help topic), caption and buttons.
class CWizPage : public QWidget {
    Q_OBJECT
public:
    CWizPage(CWizSheet* sheet, int templateId, const QString& caption);

    int GetTemplateId() const { return m_nTemplateId; }
    const QString& GetCaption() const { return m_strCaption; }
    CWizSheet& Sheet() const { return *m_sheet; }
    CDataArray& Project() const;
    CData& Version() const;

    // The page becomes the current one: it sets the wizard's buttons.
    virtual void OnSetActive();
    // The page is left (Next, Back or Finish): the text boxes store their texts.
    virtual void OnKillActive() {}
    // Finish pressed on this page.
    virtual void OnWizardFinish() {}
    // Whether the page was shown once (its first-display set-up ran).
    bool WasShown() const { return m_bShown; }
    // A file name as typed or browsed, as the source directory followed by the file's path in it
    // ('/' between folders; a backslash is a separator too, as on the target). Relative names
    // lie in the source directory. Empty when the name lies outside it.
    QString InSourceDir(const QString& typed) const;
    // Why Next is disabled, as the page says it below its fields; empty when nothing is wrong.
    QString Problem() const;

protected:
    // The first display of the page.
    virtual void OnFirstShow() {}
    // Sets the buttons; a page with a rule calls it whenever the rule's result changes.
    void SetButtons(int buttons);
    // A wrapped static text.
    QLabel* AddText(const QString& text);
    void SetProblem(const QString& text);

private:
    friend class CWizSheet;
    CWizSheet* m_sheet;
    int m_nTemplateId;
    QString m_strCaption;
    bool m_bShown = false;
    int m_nLastButtons = -1;
    QLabel* m_problem = nullptr;
};

class CWizSheet : public QDialog {
    Q_OBJECT
public:
    enum Button { Back = 1, Next = 2, Finish = 4 };
    static constexpr int kPageCount = 11;

    explicit CWizSheet(QWidget* parent);

    CDataArray& Result() { return m_result; }
    CData& Version() { return m_result.m_versions.front(); }
    // 0 once the author ticked "Click here to stop using this wizard".
    int UseWizard() const { return m_bUseWizard; }
    void SetUseWizard(int use) { m_bUseWizard = use; }
    bool TitleEdited() const { return m_bTitleEdited; }
    void SetTitleEdited() { m_bTitleEdited = true; }
    // The texts the document writes besides the wizard texts, in the chosen language.
    const NewProjectTexts& Texts() const { return m_texts; }
    NewProjectTexts& Texts() { return m_texts; }

    // The five choices for the Files page and the uninstaller choice, as the pages hold them.
    QString IconFile() const;
    QString IconName() const;
    bool Shortcut() const;
    QString ViewFile() const;
    QString RunFile() const;
    bool Uninstaller() const;

    // Navigation, as the buttons do it.
    void GoNext();
    void GoBack();
    void DoFinish();
    int CurrentIndex() const;
    CWizPage* Page(int index) const { return m_pages.value(index); }
    template <class T>
    T* PageOf() const
    {
        for (CWizPage* page : m_pages) {
            if (auto* p = qobject_cast<T*>(page)) return p;
        }
        return nullptr;
    }
    // The buttons shown and enabled now (Button bits).
    int ButtonState() const;
    void SetButtons(int buttons);
    // Starts the test of the install wizard on the result project.
    void Preview(int startPage);

private:
    void ShowPage(int index);

    CDataArray m_result;
    int m_bUseWizard = 1;
    bool m_bTitleEdited = false;
    NewProjectTexts m_texts = DefaultNewProjectTexts();
    QList<CWizPage*> m_pages;
    QStackedWidget* m_stack;
    QLabel* m_caption;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_finish;
};

}  // namespace velkan
