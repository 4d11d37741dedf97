// The list of one catalogue page's wizard texts, shared by the Wizard Texts and Uninstaller pages:
// one row per slot in its one-line display form ("<None>" for an empty or blank text), in-place
// editing that stores what was typed, the catalogue default for the selected slots, and the
// usage note of the first selected slot.
#pragma once

#include <QTreeWidget>
#include <string>
#include <vector>

class QLabel;

namespace velkan {

class CData;

class CWizardTextList : public QTreeWidget {
    Q_OBJECT
public:
    explicit CWizardTextList(QWidget* parent);

    // The row text of a stored text: its display form, or "<None>".
    static QString RowText(const std::string& text);
    // The stored text of what was typed in a row: empty for blank or "<None>" (any case), else
    // the display form turned back into text.
    static std::string StoredText(const QString& typed);

    // Refills the rows from page of version (nothing without a version).
    void Fill(const CData* version, int page);
    int Page() const { return m_nPage; }
    // Rows (slots) selected, top to bottom.
    std::vector<int> SelectedSlots() const;
    // The usage note of the first selected slot of version; empty with no selection.
    QString UsageOfSelection(const CData* version) const;

    // The end of an in-place edit of row with the typed text: the row shows it ("<None>" when
    // blank), the slot stores it. Returns false when version has no such slot.
    bool EndLabelEdit(CData* version, int row, const QString& typed);
    // Resets every selected slot to its catalogue default; false when nothing was selected.
    bool DefaultSelected(CData* version);
    // Starts in-place editing on the first selected row.
    void EditFirstSelected();
    // A row whose text cannot be edited in place (-1 for none).
    void SetNoInPlaceRow(int row) { m_nNoInPlaceRow = row; }
    bool CanEditInPlace(int row) const { return row != m_nNoInPlaceRow; }
    // Shows the stored text of a slot again.
    void UpdateRow(const CData* version, int row);

protected:
    // The one column stays twice as wide as the list's client area, so long texts show.
    void resizeEvent(QResizeEvent* event) override;

signals:
    // An in-place edit ended (not cancelled) with the typed text.
    void LabelEdited(int row, const QString& typed);

private:
    int m_nPage = 0;
    int m_nNoInPlaceRow = -1;
};

}  // namespace velkan
