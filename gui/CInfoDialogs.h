// The dialogs of the Install info page, each editing a working copy of one entry that the caller
// takes back on OK: "Write string to INI file", "Write string to registry key" and "Write string
// to file"; and the two small pickers of the new-project wizard, "INI file" and "Registry key".
#pragma once

#include <QDialog>
#include <string>

#include "core/model/CFileInfo.h"
#include "core/model/CIniInfo.h"
#include "core/model/CRegInfo.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velkan {

class CIniWriteDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10008;

    CIniWriteDialog(QWidget* parent, const CIniInfo& entry);

    const CIniInfo& Entry() const { return m_entry; }
    // The file box lost the focus: ".ini" for a name without any ".", and the name is taken.
    void CommitFile();
    void InsertMacro(int commandId);

    QLineEdit* FileEdit() const { return m_file; }
    QLineEdit* SectionEdit() const { return m_section; }
    QLineEdit* EntryEdit() const { return m_entryName; }
    QLineEdit* StringEdit() const { return m_value; }
    QCheckBox* NoOverwriteBox() const { return m_noOverwrite; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void OnChanged();

    CIniInfo m_entry;
    QLineEdit* m_file;
    QLineEdit* m_section;
    QLineEdit* m_entryName;
    QLineEdit* m_value;
    QCheckBox* m_noOverwrite;
    QPushButton* m_ok = nullptr;
    bool m_bInit = true;
};

class CRegWriteDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10009;

    CRegWriteDialog(QWidget* parent, const CRegInfo& entry);

    const CRegInfo& Entry() const { return m_entry; }
    void InsertMacro(int commandId);

    QComboBox* RootKeyList() const { return m_root; }
    QLineEdit* KeyEdit() const { return m_key; }
    QLineEdit* SubkeyEdit() const { return m_subkey; }
    QLineEdit* StringEdit() const { return m_value; }
    QCheckBox* NoOverwriteBox() const { return m_noOverwrite; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void OnChanged();

    CRegInfo m_entry;
    QComboBox* m_root;
    QLineEdit* m_key;
    QLineEdit* m_subkey;
    QLineEdit* m_value;
    QCheckBox* m_noOverwrite;
    QPushButton* m_ok = nullptr;
    bool m_bInit = true;
};

class CFileWriteDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10010;

    // sourceDir: the version's source directory (model path).
    CFileWriteDialog(QWidget* parent, const CFileInfo& entry, const std::string& sourceDir);

    const CFileInfo& Entry() const { return m_entry; }
    // Enables OK and "Check" and names the offset "Valid" or "Invalid".
    void ValidateOffset();
    // Looks for the pattern in the file and says where it is (a message).
    void CheckOffset();
    void Browse();
    void InsertMacro(int commandId);
    // The example shown while the offset box has the focus.
    void ShowExample(bool show);

    // The first offset at which pattern occurs in the file at hostPath, -1 when it does not, -2
    // when the file cannot be read. Reads a 128 KiB window at a time.
    static int64_t FindPattern(const QString& hostPath, const std::string& pattern);

    QLineEdit* FileEdit() const { return m_file; }
    QRadioButton* NumericalButton() const { return m_numerical; }
    QRadioButton* StringButton() const { return m_string; }
    QLineEdit* OffsetEdit() const { return m_offset; }
    QLineEdit* TextEdit() const { return m_text; }
    QLabel* ExampleText() const { return m_example; }
    QLabel* ValidityText() const { return m_validity; }
    QPushButton* CheckButton() const { return m_check; }
    QPushButton* OkButton() const { return m_ok; }
    // Why the string cannot be written where it is to be, when it cannot.
    QLabel* FitText() const { return m_fit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnChanged();

    CFileInfo m_entry;
    std::string m_strSourceDir;
    QLineEdit* m_file;
    QRadioButton* m_numerical;
    QRadioButton* m_string;
    QLineEdit* m_offset;
    QLineEdit* m_text;
    QLabel* m_example;
    QLabel* m_validity;
    QPushButton* m_check;
    QLabel* m_fit;
    QPushButton* m_ok = nullptr;
    bool m_bInit = true;
};

class CIniFileDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 154;

    CIniFileDialog(QWidget* parent, const std::string& file, const std::string& section,
                   const std::string& entry);

    const std::string& File() const { return m_strFile; }
    const std::string& Section() const { return m_strSection; }
    const std::string& EntryName() const { return m_strEntry; }
    // A box lost the focus: all three are read back.
    void ReadBack();

    QLineEdit* FileEdit() const { return m_file; }
    QLineEdit* SectionEdit() const { return m_section; }
    QLineEdit* EntryEdit() const { return m_entryName; }

private:
    std::string m_strFile;
    std::string m_strSection;
    std::string m_strEntry;
    QLineEdit* m_file;
    QLineEdit* m_section;
    QLineEdit* m_entryName;
};

class CRegKeyDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 147;

    CRegKeyDialog(QWidget* parent, int rootKey, const std::string& key, const std::string& subkey);

    int RootKey() const { return m_nRootKey; }
    const std::string& Key() const { return m_strKey; }
    const std::string& Subkey() const { return m_strSubkey; }
    void ReadBack();

    QComboBox* RootKeyList() const { return m_root; }
    QLineEdit* KeyEdit() const { return m_key; }
    QLineEdit* SubkeyEdit() const { return m_subkey; }

private:
    int m_nRootKey;
    std::string m_strKey;
    std::string m_strSubkey;
    QComboBox* m_root;
    QLineEdit* m_key;
    QLineEdit* m_subkey;
};

}  // namespace velkan
