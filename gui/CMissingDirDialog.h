// "Cannot find directory": asks for a replacement of a version's source directory that does not
// exist. OK is enabled exactly while the typed directory can be entered.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace velkan {

class CMissingDirDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 170;

    CMissingDirDialog(QWidget* parent, const QString& missingDirectory);

    // The remembered directory, with a trailing separator.
    const QString& Directory() const { return m_strDirectory; }
    QLineEdit* Edit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void Validate();
    void BrowseFolder();

    QLineEdit* m_edit;
    QPushButton* m_ok;
    QString m_strDirectory;
    int m_nOkState = -1;  // undetermined until the first validation
};

}  // namespace velkan
