// "Preferences": the new-project wizard switch, the three columns of the Build report, the
// command that signs what a build writes and the opt-in options for smaller setup programs.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
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
    // Index 0: window (the default), 1: global.
    QComboBox* m_deltaSearch;
    QCheckBox* m_shareEqualFiles;
};

}  // namespace velkan
