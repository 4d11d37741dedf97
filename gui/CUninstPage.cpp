#include "gui/CUninstPage.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "core/model/CData.h"
#include "core/wizard/WizardPage.h"
#include "gui/CWizardTextList.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

enum ControlId {
    IdFile = 1114,
    IdFolder = 1115,
    IdIcon = 1116,
    IdExtra = 1151,
    IdKeys = 1015,
    IdAdd = 1099,
    IdEdit = 1100,
    IdRemove = 1101,
    IdTexts = 1014,
    IdUsageGroup = 1062,
    IdUsage = 1041,
};

constexpr AnchorEntry kAnchors[] = {
    {IdAdd, CAnchorLayout::AnchorMoveRight},
    {IdEdit, CAnchorLayout::AnchorMoveRight},
    {IdRemove, CAnchorLayout::AnchorMoveRight},
    {IdKeys, CAnchorLayout::AnchorStretchWidth},
    {IdExtra, CAnchorLayout::AnchorStretchWidth},
    {IdTexts, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorStretchHeight},
    {IdUsageGroup, CAnchorLayout::AnchorMoveDown | CAnchorLayout::AnchorStretchWidth},
    {IdUsage, CAnchorLayout::AnchorMoveDown | CAnchorLayout::AnchorStretchWidth},
    {0, 0},
};

constexpr int kIndexRole = Qt::UserRole;
// The index of a row added but not yet typed into.
constexpr int kNewKey = -1;

// Hands a key's typed text to the page, which decides what the row shows.
class CKeyEditDelegate : public QStyledItemDelegate {
public:
    explicit CKeyEditDelegate(CUninstPage* page) : QStyledItemDelegate(page), m_page(page) {}

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            m_page->OnKeyEdited(index.row(), edit->text());
    }

private:
    CUninstPage* m_page;
};

}  // namespace

CUninstPage::CUninstPage(CInstallSheet* sheet)
    : CPatchPage(sheet, kTemplateId, tr("Uninstaller"), QSize(360, 230))
{
}

const AnchorEntry* CUninstPage::GetAnchorTable() const
{
    return kAnchors;
}

bool CUninstPage::InitPage()
{
    auto label = [this](const QString& text, int x, int y, int w, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        Place(l, 0, x, y, w, 9);
        l->setBuddy(buddy);
    };
    m_file = new QLineEdit(this);
    label(tr("Uninstaller &filename :"), 7, 7, 80, m_file);
    Place(m_file, IdFile, 90, 5, 120, 13);
    m_folder = new QLineEdit(this);
    label(tr("Icon F&older :"), 7, 23, 80, m_folder);
    Place(m_folder, IdFolder, 90, 21, 120, 13);
    m_icon = new QLineEdit(this);
    label(tr("Icon &Name :"), 215, 23, 45, m_icon);
    Place(m_icon, IdIcon, 262, 21, 91, 13);
    m_extra = new QLineEdit(this);
    label(tr("Additional files to remo&ve :"), 7, 39, 110, m_extra);
    Place(m_extra, IdExtra, 120, 37, 233, 13);
    m_keys = new QTreeWidget(this);
    label(tr("Registry &keys to remove :"), 7, 54, 150, m_keys);
    Place(m_keys, IdKeys, 7, 64, 290, 50);
    m_add = new QPushButton(tr("&Add"), this);
    Place(m_add, IdAdd, 303, 64, 50, 14);
    m_edit = new QPushButton(tr("&Edit"), this);
    Place(m_edit, IdEdit, 303, 82, 50, 14);
    m_remove = new QPushButton(tr("&Remove"), this);
    Place(m_remove, IdRemove, 303, 100, 50, 14);
    m_texts = new CWizardTextList(this);
    label(tr("Uninstaller &texts :"), 7, 119, 150, m_texts);
    Place(m_texts, IdTexts, 7, 129, 346, 55);
    auto* group = new QGroupBox(tr("Usage"), this);
    Place(group, IdUsageGroup, 7, 186, 346, 38);
    m_usage = new QLabel(this);
    m_usage->setWordWrap(true);
    m_usage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(m_usage, IdUsage, 13, 197, 334, 24);

    m_keys->setRootIsDecorated(false);
    m_keys->setUniformRowHeights(true);
    m_keys->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_keys->setHeaderLabels({LoadQString(1075)});
    m_keys->header()->setStretchLastSection(false);
    m_keys->setEditTriggers(QAbstractItemView::EditKeyPressed);
    auto* delegate = new CKeyEditDelegate(this);
    m_keys->setItemDelegate(delegate);
    // Escape on a row just added leaves no blank key behind.
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] {
        for (int row = m_keys->topLevelItemCount() - 1; row >= 0; --row) {
            if (m_keys->topLevelItem(row)->data(0, kIndexRole).toInt() == kNewKey)
                delete m_keys->takeTopLevelItem(row);
        }
        UpdateRemoveButton();
    });
    m_keys->setContextMenuPolicy(Qt::CustomContextMenu);
    m_keys->installEventFilter(this);
    // The key column is sized once the list has its size on screen, then follows it.
    m_keys->viewport()->installEventFilter(this);

    for (QLineEdit* edit : {m_file, m_folder, m_icon, m_extra}) {
        connect(edit, &QLineEdit::editingFinished, this, &CUninstPage::CommitEdits);
    }
    connect(m_add, &QPushButton::clicked, this, &CUninstPage::OnAddKey);
    connect(m_edit, &QPushButton::clicked, this, &CUninstPage::OnEditKey);
    connect(m_remove, &QPushButton::clicked, this, &CUninstPage::OnRemoveKeys);
    connect(m_keys, &QTreeWidget::itemDoubleClicked, this, &CUninstPage::OnEditKey);
    connect(m_keys, &QTreeWidget::itemSelectionChanged, this, &CUninstPage::UpdateRemoveButton);
    connect(m_keys, &QWidget::customContextMenuRequested, this, &CUninstPage::ShowKeysMenu);
    connect(m_texts, &QTreeWidget::itemDoubleClicked, this, &CUninstPage::OnEditText);
    connect(m_texts, &CWizardTextList::LabelEdited, this, &CUninstPage::OnTextEdited);
    connect(m_texts, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_usage->setText(m_texts->UsageOfSelection(GetCurrent())); });
    connect(m_texts, &QWidget::customContextMenuRequested, this, &CUninstPage::ShowTextsMenu);

    QWidget* order[] = {m_file, m_folder, m_icon,   m_extra, m_keys,
                        m_add,  m_edit,   m_remove, m_texts};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    LoadFromProject();
    return true;
}

void CUninstPage::OnSizeChanged(int width, int height)
{
    if (!m_keys || width == 0 || height == 0) return;
    int client = m_keys->viewport()->width();
    if (m_nKeysWidth == 0 && client > 0) {
        int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        m_keys->setColumnWidth(0, qMax(1, client - scrollBar));
        m_nKeysWidth = client;
        return;
    }
    int column = m_keys->columnWidth(0);
    if (column != 0 && m_nKeysWidth != 0)
        m_keys->setColumnWidth(0, qMax(1, column + client - m_nKeysWidth));
    m_nKeysWidth = client;
}

void CUninstPage::LoadFromProject()
{
    if (!m_file) return;
    CData* version = GetCurrent();
    if (!version) return;
    m_file->setText(ToQt(version->m_strUninstFile));
    m_folder->setText(ToQt(version->m_strUninstFolder));
    m_icon->setText(ToQt(version->m_strUninstIcon));
    m_extra->setText(ToQt(version->m_strUninstExtra));
    m_texts->Fill(version, PageUninstaller);
    m_usage->clear();
    FillKeys();
}

void CUninstPage::FillKeys()
{
    m_keys->clear();
    CData* version = GetCurrent();
    if (!version) return;
    for (size_t i = 0; i < version->m_regKeysToRemove.size(); ++i) {
        auto* row = new QTreeWidgetItem({ToQt(version->m_regKeysToRemove[i])});
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        row->setData(0, kIndexRole, static_cast<int>(i));
        m_keys->addTopLevelItem(row);
    }
    UpdateRemoveButton();
}

void CUninstPage::CommitEdits()
{
    CData* version = GetCurrent();
    if (!version) return;
    bool changed = false;
    auto take = [&changed](QLineEdit* edit, std::string& field) {
        std::string text = FromQt(edit->text());
        if (text == field) return;
        field = text;
        changed = true;
    };
    take(m_file, version->m_strUninstFile);
    take(m_folder, version->m_strUninstFolder);
    take(m_icon, version->m_strUninstIcon);
    take(m_extra, version->m_strUninstExtra);
    if (changed) SetProjectModified();
}

void CUninstPage::UpdateRemoveButton()
{
    // Edit and Remove act on the selected keys: with none they have nothing to act on.
    bool selected = !m_keys->selectedItems().isEmpty();
    m_remove->setEnabled(selected);
    m_edit->setEnabled(selected);
}

void CUninstPage::OnAddKey()
{
    CData* version = GetCurrent();
    if (!version) return;
    // A key still being typed is committed first: that fills the list again, which would take
    // a row added before it away.
    m_keys->setFocus();
    // The key joins the version once something is typed: a row left blank (Escape) goes.
    auto* row = new QTreeWidgetItem({QString()});
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    row->setData(0, kIndexRole, kNewKey);
    m_keys->addTopLevelItem(row);
    m_keys->scrollToItem(row);
    m_keys->clearSelection();
    row->setSelected(true);
    m_keys->setCurrentItem(row);
    m_keys->editItem(row, 0);
}

void CUninstPage::OnEditKey()
{
    for (int row = 0; row < m_keys->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_keys->topLevelItem(row);
        if (!item->isSelected()) continue;
        m_keys->setFocus();
        m_keys->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        m_keys->editItem(item, 0);
        return;
    }
}

void CUninstPage::OnKeyEdited(int row, const QString& typed)
{
    CData* version = GetCurrent();
    QTreeWidgetItem* item = m_keys->topLevelItem(row);
    if (!version || !item) return;
    QString text = typed.trimmed();
    int index = item->data(0, kIndexRole).toInt();
    if (index == kNewKey) {
        if (text.isEmpty()) {
            delete m_keys->takeTopLevelItem(row);
            UpdateRemoveButton();
            return;
        }
        version->m_regKeysToRemove.emplace_back();
        index = static_cast<int>(version->m_regKeysToRemove.size() - 1);
        item->setData(0, kIndexRole, index);
    }
    if (index < 0 || static_cast<size_t>(index) >= version->m_regKeysToRemove.size()) return;
    item->setText(0, text);
    if (!text.isEmpty()) {
        version->m_regKeysToRemove[static_cast<size_t>(index)] = FromQt(text);
    } else {
        version->m_regKeysToRemove.erase(version->m_regKeysToRemove.begin() + index);
        delete m_keys->takeTopLevelItem(row);
        for (int other = 0; other < m_keys->topLevelItemCount(); ++other) {
            QTreeWidgetItem* rest = m_keys->topLevelItem(other);
            int pointed = rest->data(0, kIndexRole).toInt();
            if (pointed > index) rest->setData(0, kIndexRole, pointed - 1);
        }
    }
    UpdateRemoveButton();
    SetProjectModified();
}

void CUninstPage::OnRemoveKeys()
{
    CData* version = GetCurrent();
    if (!version || m_keys->selectedItems().isEmpty()) return;
    for (int row = m_keys->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* item = m_keys->topLevelItem(row);
        if (!item->isSelected()) continue;
        int index = item->data(0, kIndexRole).toInt();
        delete m_keys->takeTopLevelItem(row);
        if (index < 0 || static_cast<size_t>(index) >= version->m_regKeysToRemove.size()) continue;
        version->m_regKeysToRemove.erase(version->m_regKeysToRemove.begin() + index);
        for (int other = 0; other < m_keys->topLevelItemCount(); ++other) {
            QTreeWidgetItem* rest = m_keys->topLevelItem(other);
            int pointed = rest->data(0, kIndexRole).toInt();
            if (pointed > index) rest->setData(0, kIndexRole, pointed - 1);
        }
    }
    UpdateRemoveButton();
    SetProjectModified();
}

void CUninstPage::OnEditText()
{
    m_texts->EditFirstSelected();
}

void CUninstPage::OnDefaultTexts()
{
    if (m_texts->DefaultSelected(GetCurrent())) SetProjectModified();
}

void CUninstPage::OnTextEdited(int row, const QString& typed)
{
    if (m_texts->EndLabelEdit(GetCurrent(), row, typed)) SetProjectModified();
}

void CUninstPage::ShowKeysMenu(const QPoint& pos)
{
    QMenu menu(this);
    bool selected = !m_keys->selectedItems().isEmpty();
    QAction* add = menu.addAction(tr("&Add"));
    QAction* edit = menu.addAction(tr("&Edit"));
    QAction* remove = menu.addAction(tr("&Remove"));
    edit->setEnabled(selected);
    remove->setEnabled(selected);
    QAction* chosen = menu.exec(m_keys->viewport()->mapToGlobal(pos));
    if (chosen == add) OnAddKey();
    if (chosen == edit) OnEditKey();
    if (chosen == remove) OnRemoveKeys();
}

void CUninstPage::ShowTextsMenu(const QPoint& pos)
{
    QMenu menu(this);
    bool selected = !m_texts->SelectedSlots().empty();
    QAction* edit = menu.addAction(tr("&Edit"));
    QAction* reset = menu.addAction(tr("&Default"));
    edit->setEnabled(selected);
    reset->setEnabled(selected);
    QAction* chosen = menu.exec(m_texts->viewport()->mapToGlobal(pos));
    if (chosen == edit) OnEditText();
    if (chosen == reset) OnDefaultTexts();
}

bool CUninstPage::eventFilter(QObject* watched, QEvent* event)
{
    if (m_keys && watched == m_keys->viewport() && event->type() == QEvent::Resize) {
        OnSizeChanged(width(), height());
    }
    if (watched == m_keys && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        OnRemoveKeys();
        return true;
    }
    return CPatchPage::eventFilter(watched, event);
}

}  // namespace velkan
