// "Start menu": the Start-menu folder of the selected files, and the icon name, options and
// icon number of a single selected file.
#pragma once

#include "gui/COptPage.h"

class QLineEdit;
class QPushButton;

namespace velkan {

class CFileOptIcon : public COptPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 168;

    explicit CFileOptIcon(CFilesPage* filesPage);

    void Refresh() override;
    // A command of the "Macro3" menu: appends its token to Folder and stores it.
    void InsertMacro(int commandId);

    QLineEdit* m_folder;
    QLineEdit* m_name;
    QLineEdit* m_args;
    QLineEdit* m_iconNumber;
    QPushButton* m_macro;

private:
    void OnFolderChanged();
    void OnNameChanged();
    void OnArgsChanged();
    void OnIconNumberChanged();

    bool m_bUpdating = false;
};

}  // namespace velkan
