// The strip above the editor sheet: the version selector (selecting, and renaming by typing),
// Add, Del and the "Mutually exclusive" box.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace velkan {

class CSetwellDoc;

class CVersionsBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 10006;

    CVersionsBar(CSetwellDoc& doc, QWidget* parent);

    // Fills the box with the version names, selects the current one, shows the exclusive flag,
    // then refreshes the pages.
    void Refresh();

    void OnSelect(int index);
    void OnRename(const QString& text);
    void OnAdd();
    void OnDel();
    void OnExclusive(bool checked);
    void FocusCombo();

    QComboBox* Combo() const { return m_combo; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* DelButton() const { return m_del; }
    QCheckBox* ExclusiveBox() const { return m_exclusive; }

private:
    CSetwellDoc& m_doc;
    QComboBox* m_combo;
    QPushButton* m_add;
    QPushButton* m_del;
    QCheckBox* m_exclusive;
    bool m_bFilling = false;
};

}  // namespace velkan
