// The Wizard Options page: the wizard's look (window mode, bitmaps, background title with its
// font and colour; project-wide) and the default installation directory with the registry value
// or INI entry the install program reads it from (the current version's).
#pragma once

#include "gui/CPatchPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velkan {

class COptionsPage : public CPatchPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 131;

    explicit COptionsPage(CInstallSheet* sheet);

    bool InitPage() override;
    void LoadFromProject() override;
    int GetHelpId() const override { return kTemplateId; }

    void OnWindowMode(int mode);
    void OnReadOnly();
    void OnUpdateKey();
    void OnUpdateEntry();
    void OnRootKey(int index);
    // Takes every edit box whose text differs from its field (some without regard to case).
    void CommitEdits();
    // "..." of the wizard bitmap (which 0) or the background bitmap (1).
    void BrowseBitmap(int which);
    void ChooseFont();
    // A command of the macro menus: Macro1's tokens are appended to the default directory.
    void InsertMacro(int commandId);
    void OnPreview();

    QRadioButton* SmallButton() const { return m_small; }
    QRadioButton* NormalButton() const { return m_normal; }
    QLineEdit* WizardBitmapEdit() const { return m_wizardBitmap; }
    QPushButton* WizardBitmapButton() const { return m_wizardBitmapBrowse; }
    QLineEdit* BackBitmapEdit() const { return m_backBitmap; }
    QPushButton* BackBitmapButton() const { return m_backBitmapBrowse; }
    QLineEdit* BackTitleEdit() const { return m_backTitle; }
    QLineEdit* FontEdit() const { return m_font; }
    QPushButton* FontButton() const { return m_fontBrowse; }
    QLineEdit* InstallDirEdit() const { return m_installDir; }
    QCheckBox* ReadOnlyBox() const { return m_readOnly; }
    QComboBox* RootKeyList() const { return m_rootKey; }
    QLineEdit* KeyEdit() const { return m_key; }
    QLineEdit* SubkeyEdit() const { return m_subkey; }
    QCheckBox* UpdateKeyBox() const { return m_updateKey; }
    QLineEdit* IniFileEdit() const { return m_iniFile; }
    QLineEdit* IniSectionEdit() const { return m_iniSection; }
    QLineEdit* IniEntryEdit() const { return m_iniEntry; }
    QCheckBox* UpdateEntryBox() const { return m_updateEntry; }
    QPushButton* PreviewButton() const { return m_preview; }

private:
    void EnableFullScreenControls(bool enable);
    void SetDirFlag(int32_t bit, bool set);

    QRadioButton* m_small = nullptr;
    QRadioButton* m_normal = nullptr;
    QLineEdit* m_wizardBitmap = nullptr;
    QPushButton* m_wizardBitmapBrowse = nullptr;
    QLineEdit* m_backBitmap = nullptr;
    QPushButton* m_backBitmapBrowse = nullptr;
    QLineEdit* m_backTitle = nullptr;
    QLineEdit* m_font = nullptr;
    QPushButton* m_fontBrowse = nullptr;
    QLineEdit* m_installDir = nullptr;
    QPushButton* m_macro = nullptr;
    QCheckBox* m_readOnly = nullptr;
    QComboBox* m_rootKey = nullptr;
    QLineEdit* m_key = nullptr;
    QLineEdit* m_subkey = nullptr;
    QCheckBox* m_updateKey = nullptr;
    QLineEdit* m_iniFile = nullptr;
    QLineEdit* m_iniSection = nullptr;
    QLineEdit* m_iniEntry = nullptr;
    QCheckBox* m_updateEntry = nullptr;
    QPushButton* m_preview = nullptr;
};

}  // namespace velkan
