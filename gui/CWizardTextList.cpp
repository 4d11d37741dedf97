#include "gui/CWizardTextList.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "core/model/CData.h"
#include "core/model/PathCompare.h"
#include "core/wizard/CTextCatalogue.h"
#include "core/wizard/WizardText.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

constexpr int kNoneId = 1095;

// Hands the typed text to the list instead of writing it into the row: the list decides what the
// row shows.
class CLabelEditDelegate : public QStyledItemDelegate {
public:
    explicit CLabelEditDelegate(CWizardTextList* list) : QStyledItemDelegate(list), m_list(list) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        if (!m_list->CanEditInPlace(index.row())) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            emit m_list->LabelEdited(index.row(), edit->text());
        }
    }

private:
    CWizardTextList* m_list;
};

bool IsBlank(const QString& text)
{
    for (QChar c : text) {
        if (c != ' ') return false;
    }
    return true;
}

}  // namespace

CWizardTextList::CWizardTextList(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAllColumnsShowFocus(true);
    setHeaderLabels({LoadQString(1069)});
    header()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setItemDelegate(new CLabelEditDelegate(this));
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void CWizardTextList::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    setColumnWidth(0, 2 * viewport()->width());
}

QString CWizardTextList::RowText(const std::string& text)
{
    QString display = ToQt(TextToDisplay(text));
    return IsBlank(display) ? LoadQString(kNoneId) : display;
}

std::string CWizardTextList::StoredText(const QString& typed)
{
    if (IsBlank(typed) || typed.compare(LoadQString(kNoneId), Qt::CaseInsensitive) == 0) {
        return std::string();
    }
    return DisplayToText(FromQt(typed));
}

void CWizardTextList::Fill(const CData* version, int page)
{
    m_nPage = page;
    clear();
    if (!version || page < 0 || static_cast<size_t>(page) >= version->m_texts.size()) return;
    QList<QTreeWidgetItem*> rows;
    for (const std::string& text : version->m_texts[static_cast<size_t>(page)]) {
        auto* row = new QTreeWidgetItem;
        row->setText(0, RowText(text));
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        rows << row;
    }
    addTopLevelItems(rows);
}

std::vector<int> CWizardTextList::SelectedSlots() const
{
    std::vector<int> selected;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (topLevelItem(row)->isSelected()) selected.push_back(row);
    }
    return selected;
}

QString CWizardTextList::UsageOfSelection(const CData* version) const
{
    std::vector<int> selected = SelectedSlots();
    if (!version || selected.empty()) return QString();
    size_t page = static_cast<size_t>(m_nPage);
    size_t slot = static_cast<size_t>(selected.front());
    if (page >= version->m_usages.size() || slot >= version->m_usages[page].size()) {
        return QString();
    }
    return ToQt(version->m_usages[page][slot]);
}

void CWizardTextList::UpdateRow(const CData* version, int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    size_t page = static_cast<size_t>(m_nPage);
    if (!item || !version || page >= version->m_texts.size() ||
        static_cast<size_t>(row) >= version->m_texts[page].size()) {
        return;
    }
    item->setText(0, RowText(version->m_texts[page][static_cast<size_t>(row)]));
}

bool CWizardTextList::EndLabelEdit(CData* version, int row, const QString& typed)
{
    QTreeWidgetItem* item = topLevelItem(row);
    size_t page = static_cast<size_t>(m_nPage);
    if (!item || !version || page >= version->m_texts.size() || row < 0 ||
        static_cast<size_t>(row) >= version->m_texts[page].size()) {
        return false;
    }
    item->setText(0, IsBlank(typed) ? LoadQString(kNoneId) : typed);
    version->m_texts[page][static_cast<size_t>(row)] = StoredText(typed);
    return true;
}

bool CWizardTextList::DefaultSelected(CData* version)
{
    std::vector<int> selected = SelectedSlots();
    if (!version || selected.empty() || static_cast<size_t>(m_nPage) >= version->m_texts.size()) {
        return false;
    }
    auto& texts = version->m_texts[static_cast<size_t>(m_nPage)];
    for (int slot : selected) {
        if (static_cast<size_t>(slot) >= texts.size()) continue;
        texts[static_cast<size_t>(slot)] = GetDefaultText(m_nPage, slot);
        UpdateRow(version, slot);
    }
    return true;
}

void CWizardTextList::EditFirstSelected()
{
    std::vector<int> selected = SelectedSlots();
    if (selected.empty()) return;
    QTreeWidgetItem* item = topLevelItem(selected.front());
    setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    editItem(item, 0);
}

}  // namespace velkan
