#include "gui/CWriteInfoPage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "core/model/CData.h"
#include "gui/CInfoDialogs.h"
#include "gui/CUserPrompt.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

enum ControlId {
    IdIniList = 1036,
    IdRegList = 1037,
    IdFileList = 1038,
    IdIniAdd = 1132,
    IdIniEdit = 1133,
    IdIniRemove = 1134,
    IdRegAdd = 1135,
    IdRegEdit = 1136,
    IdRegRemove = 1137,
    IdFileAdd = 1105,
    IdFileEdit = 1106,
    IdFileRemove = 1067,
};

constexpr AnchorEntry kAnchors[] = {
    {IdIniList, CAnchorLayout::AnchorStretchWidth},
    {IdRegList, CAnchorLayout::AnchorStretchWidth},
    {IdFileList, CAnchorLayout::AnchorStretchWidth},
    {IdIniAdd, CAnchorLayout::AnchorMoveRight},
    {IdIniEdit, CAnchorLayout::AnchorMoveRight},
    {IdIniRemove, CAnchorLayout::AnchorMoveRight},
    {IdRegAdd, CAnchorLayout::AnchorMoveRight},
    {IdRegEdit, CAnchorLayout::AnchorMoveRight},
    {IdRegRemove, CAnchorLayout::AnchorMoveRight},
    {IdFileAdd, CAnchorLayout::AnchorMoveRight},
    {IdFileEdit, CAnchorLayout::AnchorMoveRight},
    {IdFileRemove, CAnchorLayout::AnchorMoveRight},
    {0, 0},
};

constexpr int kIndexRole = Qt::UserRole;

struct ListDesign {
    const char* caption;
    int listId;
    int buttonIds[3];
    int top;
};

constexpr ListDesign kDesign[] = {
    {"INI files :", IdIniList, {IdIniAdd, IdIniEdit, IdIniRemove}, 5},
    {"Registry base :", IdRegList, {IdRegAdd, IdRegEdit, IdRegRemove}, 80},
    {"Write strings to files :", IdFileList, {IdFileAdd, IdFileEdit, IdFileRemove}, 155},
};

}  // namespace

CWriteInfoPage::CWriteInfoPage(CInstallSheet* sheet)
    : CPatchPage(sheet, kTemplateId, tr("Install info"), QSize(360, 230))
{
}

const AnchorEntry* CWriteInfoPage::GetAnchorTable() const
{
    return kAnchors;
}

bool CWriteInfoPage::InitPage()
{
    const QStringList headers[] = {
        {LoadQString(1067), LoadQString(1068), LoadQString(1118), LoadQString(1119)},
        {LoadQString(1210), LoadQString(1211), LoadQString(1119)},
        {LoadQString(1067), LoadQString(1212), LoadQString(1119)},
    };
    const char* buttonTexts[3][3] = {
        {"&Add", "&Edit", "&Remove"},
        {"A&dd", "Ed&it", "Re&move"},
        {"Add", "Edit", "Remove"},
    };
    QWidget* previous = nullptr;
    for (int i = 0; i < 3; ++i) {
        const ListDesign& design = kDesign[i];
        auto* caption = new QLabel(tr(design.caption), this);
        Place(caption, 0, 7, design.top, 200, 9);
        auto* list = new QTreeWidget(this);
        Place(list, design.listId, 7, design.top + 10, 290, 60);
        caption->setBuddy(list);
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setAllColumnsShowFocus(true);
        list->setHeaderLabels(headers[i]);
        list->header()->setStretchLastSection(false);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->installEventFilter(this);
        m_lists[i] = list;
        QPushButton* buttons[3];
        for (int b = 0; b < 3; ++b) {
            buttons[b] = new QPushButton(tr(buttonTexts[i][b]), this);
            Place(buttons[b], design.buttonIds[b], 303, design.top + 10 + b * 18, 50, 14);
        }
        m_remove[i] = buttons[2];
        auto which = static_cast<List>(i);
        connect(buttons[0], &QPushButton::clicked, this, [this, which] { OnAdd(which); });
        connect(buttons[1], &QPushButton::clicked, this, [this, which] { OnEdit(which); });
        connect(buttons[2], &QPushButton::clicked, this, [this, which] { OnRemove(which); });
        connect(list, &QTreeWidget::itemDoubleClicked, this, [this, which] { OnEdit(which); });
        connect(list, &QTreeWidget::itemSelectionChanged, this,
                [this, which] { UpdateRemoveButton(which); });
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, which](const QPoint& pos) { ShowContextMenu(which, pos); });
        if (previous) setTabOrder(previous, list);
        setTabOrder(list, buttons[0]);
        setTabOrder(buttons[0], buttons[1]);
        setTabOrder(buttons[1], buttons[2]);
        previous = buttons[2];
    }
    // The column widths are set once the lists have their size on screen.
    m_lists[IniList]->viewport()->installEventFilter(this);
    LoadFromProject();
    return true;
}

void CWriteInfoPage::SetInitialWidths()
{
    // From the list's client width W.
    int w = m_lists[IniList]->viewport()->width();
    const int widths[3][4] = {
        {w / 2, w / 6, w / 6, w / 6}, {w / 2, w / 4, w / 4, 0}, {w / 2, w / 4, w / 4, 0}};
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < m_lists[i]->columnCount(); ++c)
            m_lists[i]->setColumnWidth(c, widths[i][c]);
    }
    m_bWidthsSet = true;
}

void CWriteInfoPage::OnSizeChanged(int width, int height)
{
    if (!m_lists[0] || width == 0 || height == 0 || !m_bWidthsSet) return;
    // The last column takes what the others leave of the list's width.
    int client = m_lists[IniList]->viewport()->width();
    for (QTreeWidget* list : m_lists) {
        int others = 0;
        for (int c = 0; c + 1 < list->columnCount(); ++c) others += list->columnWidth(c);
        if (client - others > 0) list->setColumnWidth(list->columnCount() - 1, client - others);
    }
}

int CWriteInfoPage::EntryCount(List list) const
{
    const CData* version = GetCurrent();
    if (!version) return 0;
    switch (list) {
    case IniList: return static_cast<int>(version->m_iniEntries.size());
    case RegList: return static_cast<int>(version->m_regEntries.size());
    case FileList: return static_cast<int>(version->m_fileStrings.size());
    }
    return 0;
}

void CWriteInfoPage::SetRowTexts(List list, int row, int index)
{
    const CData* version = GetCurrent();
    QTreeWidgetItem* item = m_lists[list]->topLevelItem(row);
    if (!version || !item || index < 0 || index >= EntryCount(list)) return;
    auto at = static_cast<size_t>(index);
    QStringList texts;
    switch (list) {
    case IniList: {
        const CIniInfo& e = version->m_iniEntries[at];
        texts = {ToQt(e.m_strFile), ToQt(e.m_strSection), ToQt(e.m_strEntry), ToQt(e.m_strValue)};
        break;
    }
    case RegList: {
        const CRegInfo& e = version->m_regEntries[at];
        texts = {ToQt(e.DisplayKey()), ToQt(e.m_strSubkey), ToQt(e.m_strValue)};
        break;
    }
    case FileList: {
        const CFileInfo& e = version->m_fileStrings[at];
        // A byte pattern is shown in quotes, once: a quoted pattern carries its own.
        QString offset = ToQt(e.m_strOffset);
        bool quoted = offset.startsWith('"') || offset.startsWith('\'');
        if (e.m_nOffsetMode == CFileInfo::String && !quoted) offset = '"' + offset + '"';
        texts = {ToQt(e.m_strFile), offset, ToQt(e.m_strText)};
        break;
    }
    }
    for (int c = 0; c < texts.size(); ++c) item->setText(c, texts[c]);
    item->setData(0, kIndexRole, index);
}

void CWriteInfoPage::LoadFromProject()
{
    if (!m_lists[0]) return;
    for (int i = 0; i < 3; ++i) {
        auto list = static_cast<List>(i);
        m_lists[i]->clear();
        for (int index = 0; index < EntryCount(list); ++index) {
            m_lists[i]->addTopLevelItem(new QTreeWidgetItem);
            SetRowTexts(list, index, index);
        }
        UpdateRemoveButton(list);
    }
}

std::vector<int> CWriteInfoPage::RowIndexes(List list) const
{
    std::vector<int> indexes;
    for (int row = 0; row < m_lists[list]->topLevelItemCount(); ++row) {
        indexes.push_back(m_lists[list]->topLevelItem(row)->data(0, kIndexRole).toInt());
    }
    return indexes;
}

bool CWriteInfoPage::EditEntry(List list, int index)
{
    CData* version = GetCurrent();
    if (!version) return false;
    auto at = static_cast<size_t>(index);
    switch (list) {
    case IniList: {
        CIniWriteDialog dialog(this, index < 0 ? CIniInfo() : version->m_iniEntries[at]);
        if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return false;
        if (index < 0) {
            version->m_iniEntries.push_back(dialog.Entry());
        } else {
            version->m_iniEntries[at] = dialog.Entry();
        }
        return true;
    }
    case RegList: {
        CRegWriteDialog dialog(this, index < 0 ? CRegInfo() : version->m_regEntries[at]);
        if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return false;
        if (index < 0) {
            version->m_regEntries.push_back(dialog.Entry());
        } else {
            version->m_regEntries[at] = dialog.Entry();
        }
        return true;
    }
    case FileList: {
        CFileWriteDialog dialog(this, index < 0 ? CFileInfo() : version->m_fileStrings[at],
                                version->m_strSourceDir);
        if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return false;
        if (index < 0) {
            version->m_fileStrings.push_back(dialog.Entry());
        } else {
            version->m_fileStrings[at] = dialog.Entry();
        }
        return true;
    }
    }
    return false;
}

void CWriteInfoPage::OnAdd(List list)
{
    if (!GetCurrent() || !EditEntry(list, -1)) return;
    QTreeWidget* control = m_lists[list];
    auto* item = new QTreeWidgetItem;
    control->addTopLevelItem(item);
    SetRowTexts(list, control->topLevelItemCount() - 1, EntryCount(list) - 1);
    control->setFocus();
    control->scrollToItem(item);
    SetProjectModified();
}

void CWriteInfoPage::OnEdit(List list)
{
    QList<QTreeWidgetItem*> selected = m_lists[list]->selectedItems();
    if (!GetCurrent() || selected.isEmpty()) return;
    // The first selected row in list order.
    QTreeWidgetItem* first = nullptr;
    for (int row = 0; row < m_lists[list]->topLevelItemCount() && !first; ++row) {
        if (m_lists[list]->topLevelItem(row)->isSelected())
            first = m_lists[list]->topLevelItem(row);
    }
    int index = first->data(0, kIndexRole).toInt();
    if (index < 0 || index >= EntryCount(list) || !EditEntry(list, index)) return;
    SetRowTexts(list, m_lists[list]->indexOfTopLevelItem(first), index);
    SetProjectModified();
}

void CWriteInfoPage::OnRemove(List list)
{
    CData* version = GetCurrent();
    QTreeWidget* control = m_lists[list];
    if (!version || control->selectedItems().isEmpty()) return;
    for (int row = control->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* item = control->topLevelItem(row);
        if (!item->isSelected()) continue;
        int index = item->data(0, kIndexRole).toInt();
        delete control->takeTopLevelItem(row);
        if (index < 0 || index >= EntryCount(list)) continue;
        switch (list) {
        case IniList: version->m_iniEntries.erase(version->m_iniEntries.begin() + index); break;
        case RegList: version->m_regEntries.erase(version->m_regEntries.begin() + index); break;
        case FileList: version->m_fileStrings.erase(version->m_fileStrings.begin() + index); break;
        }
        // The rows behind the removed entry point one place lower.
        for (int other = 0; other < control->topLevelItemCount(); ++other) {
            QTreeWidgetItem* rest = control->topLevelItem(other);
            int pointed = rest->data(0, kIndexRole).toInt();
            if (pointed > index) rest->setData(0, kIndexRole, pointed - 1);
        }
    }
    UpdateRemoveButton(list);
    SetProjectModified();
}

void CWriteInfoPage::UpdateRemoveButton(List list)
{
    if (m_remove[list]) m_remove[list]->setEnabled(!m_lists[list]->selectedItems().isEmpty());
}

void CWriteInfoPage::ShowContextMenu(List list, const QPoint& pos)
{
    QMenu menu(this);
    bool selected = !m_lists[list]->selectedItems().isEmpty();
    QAction* add = menu.addAction(tr("&Add"));
    QAction* edit = menu.addAction(tr("&Edit"));
    QAction* remove = menu.addAction(tr("&Remove"));
    edit->setEnabled(selected);
    remove->setEnabled(selected);
    QAction* chosen = menu.exec(m_lists[list]->viewport()->mapToGlobal(pos));
    if (chosen == add) OnAdd(list);
    if (chosen == edit) OnEdit(list);
    if (chosen == remove) OnRemove(list);
}

bool CWriteInfoPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lists[IniList]->viewport() && event->type() == QEvent::Resize) {
        if (!m_bWidthsSet && m_lists[IniList]->viewport()->width() > 0) SetInitialWidths();
        OnSizeChanged(width(), height());
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        for (int i = 0; i < 3; ++i) {
            if (watched == m_lists[i]) {
                OnRemove(static_cast<List>(i));
                return true;
            }
        }
    }
    return CPatchPage::eventFilter(watched, event);
}

}  // namespace velkan
