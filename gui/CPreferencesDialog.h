// "Preferences": the new-project wizard switch and the three columns of the Build report.
#pragma once

#include <QDialog>

class QCheckBox;

namespace velkan {

class CPreferencesDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 153;

    explicit CPreferencesDialog(QWidget* parent);

    // Shows the dialog; on OK writes all four preferences and returns true.
    bool Run();

    QCheckBox* m_wizard;
    QCheckBox* m_ratio;
    QCheckBox* m_packedSize;
    QCheckBox* m_originalSize;
};

}  // namespace velkan
