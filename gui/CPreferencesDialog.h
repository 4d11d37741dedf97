// "Preferences": the new-project wizard switch, the three columns of the Build report and the
// command that signs what a build writes.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace velkan {

class CPreferencesDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 153;

    explicit CPreferencesDialog(QWidget* parent);

    // Shows the dialog; on OK writes all the preferences and returns true.
    bool Run();

    QCheckBox* m_wizard;
    QCheckBox* m_ratio;
    QCheckBox* m_packedSize;
    QCheckBox* m_originalSize;
    QLineEdit* m_signCommand;
};

}  // namespace velkan
