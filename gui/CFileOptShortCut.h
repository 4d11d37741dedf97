// "Shortcut": the desktop shortcut's name and options of a single selected file.
#pragma once

#include "gui/COptPage.h"

class QLineEdit;

namespace velkan {

class CFileOptShortCut : public COptPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10001;

    explicit CFileOptShortCut(CFilesPage* filesPage);

    void Refresh() override;

    QLineEdit* m_name;
    QLineEdit* m_args;

private:
    void OnChanged();

    bool m_bUpdating = false;
};

}  // namespace velkan
