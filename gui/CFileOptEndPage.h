// "View / Run": the View button or the Run check box of the install wizard's end page for a
// single selected file. At most one file of a version has each, and no file has both.
#pragma once

#include "core/model/FileOption.h"
#include "gui/COptPage.h"

class QCheckBox;

namespace velkan {

class CFileOptEndPage : public COptPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10002;

    explicit CFileOptEndPage(CFilesPage* filesPage);

    void Refresh() override;
    // A click on the View or the Run box, whose new state is checked.
    void OnClick(EndPageAction kind, bool checked);

    QCheckBox* m_view;
    QCheckBox* m_run;
};

}  // namespace velkan
