// The Wizard Texts page: the texts of one wizard page of the current version at a time, edited
// row by row in their one-line display form, the product title that "#title" stands for, and
// the test run of the install wizard on the page shown.
#pragma once

#include "gui/CPatchPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velkan {

class CWizardTextList;

class CWizardPagesPage : public CPatchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 132;

    explicit CWizardPagesPage(CInstallSheet* sheet);

    bool InitPage() override;
    void LoadFromProject() override;
    int GetHelpId() const override { return kTemplateId; }
    const AnchorEntry* GetAnchorTable() const override;

    // The catalogue page shown.
    int SelectedPage() const;
    void SelectPage(int page);
    void CommitTitle();
    // Edit: the multi-line dialog for the Information page's scroll text, else in-place editing.
    void OnEdit();
    void OnDefault();
    void OnPreview();
    // The end of an in-place edit of row.
    void OnLabelEdited(int row, const QString& typed);
    // The context menu's state: Edit and Default are enabled with a selection.
    bool ContextMenuEnabled() const;

    QComboBox* PageList() const { return m_pages; }
    QLineEdit* TitleEdit() const { return m_title; }
    CWizardTextList* TextList() const { return m_list; }
    QPushButton* PreviewButton() const { return m_preview; }
    QLabel* UsageText() const { return m_usage; }

private:
    void FillTexts();
    void ShowUsage();
    void ShowContextMenu(const QPoint& pos);

    QComboBox* m_pages = nullptr;
    QLineEdit* m_title = nullptr;
    QPushButton* m_preview = nullptr;
    CWizardTextList* m_list = nullptr;
    QGroupBox* m_usageGroup = nullptr;
    QLabel* m_usage = nullptr;
};

}  // namespace velkan
