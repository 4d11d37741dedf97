// The Uninstaller page: the uninstall program's file name, its Start-menu icon, the further
// files and the registry keys it removes, and its texts (catalogue page 8).
#pragma once

#include "gui/CPatchPage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace velkan {

class CWizardTextList;

class CUninstPage : public CPatchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 169;

    explicit CUninstPage(CInstallSheet* sheet);

    bool InitPage() override;
    void LoadFromProject() override;
    int GetHelpId() const override { return kTemplateId; }
    const AnchorEntry* GetAnchorTable() const override;

    // The four edit boxes: each field that differs (exactly) takes its box's text.
    void CommitEdits();
    void OnAddKey();
    void OnEditKey();
    void OnRemoveKeys();
    // The end of an in-place edit of a key's row (not cancelled).
    void OnKeyEdited(int row, const QString& typed);
    void OnEditText();
    void OnDefaultTexts();
    void OnTextEdited(int row, const QString& typed);

    QLineEdit* FileEdit() const { return m_file; }
    QLineEdit* FolderEdit() const { return m_folder; }
    QLineEdit* IconEdit() const { return m_icon; }
    QLineEdit* ExtraEdit() const { return m_extra; }
    QTreeWidget* KeyList() const { return m_keys; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* EditButton() const { return m_edit; }
    CWizardTextList* TextList() const { return m_texts; }
    QLabel* UsageText() const { return m_usage; }

protected:
    void OnSizeChanged(int width, int height) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillKeys();
    void UpdateRemoveButton();
    void ShowKeysMenu(const QPoint& pos);
    void ShowTextsMenu(const QPoint& pos);

    QLineEdit* m_file = nullptr;
    QLineEdit* m_folder = nullptr;
    QLineEdit* m_icon = nullptr;
    QLineEdit* m_extra = nullptr;
    QTreeWidget* m_keys = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_remove = nullptr;
    CWizardTextList* m_texts = nullptr;
    QLabel* m_usage = nullptr;
    int m_nKeysWidth = 0;
};

}  // namespace velkan
