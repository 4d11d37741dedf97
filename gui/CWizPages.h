// The eleven pages of the new-project wizard, in their order.
#pragma once

#include "gui/CWizSheet.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace velkan {

class CWelcomePage : public CWizPage {
    Q_OBJECT
public:
    explicit CWelcomePage(CWizSheet* sheet);
    void OnSetActive() override;
    QCheckBox* StopBox() const { return m_stop; }

private:
    QCheckBox* m_stop;
};

class CDirectoryPage : public CWizPage {
    Q_OBJECT
public:
    explicit CDirectoryPage(CWizSheet* sheet);
    void OnSetActive() override;
    // The directory rule on a typed text.
    void CheckDirectory(const QString& text);
    QLineEdit* DirectoryEdit() const { return m_dir; }
    QCheckBox* SubDirsBox() const { return m_subDirs; }

protected:
    void OnFirstShow() override;

private:
    void Browse();
    QLineEdit* m_dir;
    QCheckBox* m_subDirs;
};

class CTitlePage : public CWizPage {
    Q_OBJECT
public:
    explicit CTitlePage(CWizSheet* sheet);
    void OnKillActive() override;
    // A language chosen: the texts reset, then the language's template read over them.
    void ChooseLanguage(const QString& language);
    void CommitTitle();
    QComboBox* LanguageList() const { return m_language; }
    QLineEdit* TitleEdit() const { return m_title; }

protected:
    void OnFirstShow() override;

private:
    QComboBox* m_language;
    QLineEdit* m_title;
};

class CShellPage : public CWizPage {
    Q_OBJECT
public:
    explicit CShellPage(CWizSheet* sheet);
    void OnSetActive() override;
    QString IconFile() const { return m_strIconFile; }
    QString IconName() const { return m_strIconName; }
    bool Shortcut() const { return m_bShortcut; }
    QLineEdit* IconFileEdit() const { return m_file; }
    QLineEdit* IconNameEdit() const { return m_name; }
    QCheckBox* ShortcutBox() const { return m_shortcut; }

protected:
    void OnFirstShow() override;

private:
    void Rule();
    void Browse();
    QString m_strIconFile;
    QString m_strIconName;
    bool m_bShortcut = false;
    QLineEdit* m_file;
    QLineEdit* m_name;
    QCheckBox* m_shortcut;
};

class CInfoPage : public CWizPage {
    Q_OBJECT
public:
    explicit CInfoPage(CWizSheet* sheet);
    void OnKillActive() override;
    QPlainTextEdit* TextEdit() const { return m_text; }
    QPushButton* PreviewButton() const { return m_preview; }

protected:
    void OnFirstShow() override;

private:
    QPlainTextEdit* m_text;
    QPushButton* m_preview;
};

class CWindowPage : public CWizPage {
    Q_OBJECT
public:
    explicit CWindowPage(CWizSheet* sheet);
    void OnKillActive() override;
    void CommitTitle();
    // The title box, when the page exists, shows the background title again.
    void ShowTitle();
    void SetMode(int mode);
    QLineEdit* TitleEdit() const { return m_title; }
    QRadioButton* SmallButton() const { return m_small; }
    QRadioButton* FullButton() const { return m_full; }

protected:
    void OnFirstShow() override;

private:
    QRadioButton* m_small;
    QRadioButton* m_full;
    QLineEdit* m_title;
};

class CBitmapsPage : public CWizPage {
    Q_OBJECT
public:
    explicit CBitmapsPage(CWizSheet* sheet);
    void OnSetActive() override;
    void OnKillActive() override;
    void Browse(int which);
    QLineEdit* WizardBitmapEdit() const { return m_wizard; }
    QLineEdit* PatternEdit() const { return m_pattern; }

protected:
    void OnFirstShow() override;

private:
    QLineEdit* m_wizard;
    QWidget* m_patternText;
    QLineEdit* m_pattern;
    QPushButton* m_patternBrowse;
};

class CInstallDirPage : public CWizPage {
    Q_OBJECT
public:
    explicit CInstallDirPage(CWizSheet* sheet);
    void OnKillActive() override;
    void EditRegistry();
    void EditIniFile();
    QLineEdit* DirectoryEdit() const { return m_dir; }

protected:
    void OnFirstShow() override;

private:
    QLineEdit* m_dir;
};

class CEndOptionsPage : public CWizPage {
    Q_OBJECT
public:
    explicit CEndOptionsPage(CWizSheet* sheet);
    void OnSetActive() override;
    QString ViewFile() const { return m_strView; }
    QString RunFile() const { return m_strRun; }
    QLineEdit* ViewEdit() const { return m_view; }
    QLineEdit* RunEdit() const { return m_run; }

protected:
    void OnFirstShow() override;

private:
    void Rule();
    void Browse(bool run);
    QString m_strView;
    QString m_strRun;
    QLineEdit* m_view;
    QLineEdit* m_run;
};

class CUninstallPage : public CWizPage {
    Q_OBJECT
public:
    explicit CUninstallPage(CWizSheet* sheet);
    bool Uninstaller() const;
    QCheckBox* UninstallBox() const { return m_box; }

private:
    QCheckBox* m_box;
};

class CEndPage : public CWizPage {
    Q_OBJECT
public:
    explicit CEndPage(CWizSheet* sheet);
    void OnSetActive() override;
    void OnWizardFinish() override;
    QCheckBox* NoBuildBox() const { return m_noBuild; }

private:
    QCheckBox* m_noBuild;
};

}  // namespace velkan
