#include "gui/CFilesPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QMainWindow>
#include <QTreeWidget>
#include <algorithm>
#include <exception>

#include "core/model/CData.h"
#include "core/model/CUserAbort.h"
#include "core/model/FileListRescan.h"
#include "core/model/PathCompare.h"
#include "core/platform/ProjectFolder.h"
#include "core/res/StringTable.h"
#include "gui/CBuildPage.h"
#include "gui/CFolderBrowser.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/COptSheet.h"
#include "gui/CScanHost.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CUserPrompt.h"
#include "gui/CommandIds.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

enum ControlId {
    IdFileList = 1017,
    IdDirLabel = 1066,
    IdDirEdit = 1018,
    IdBrowse = 1019,
    IdOptionsGroup = 1057,
    IdPlaceholder = 1108,
    IdSubDirs = 1040,
};

constexpr AnchorEntry kAnchors[] = {
    {IdFileList, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorStretchHeight},
    {IdDirLabel, CAnchorLayout::AnchorMoveRight},
    {IdDirEdit, CAnchorLayout::AnchorMoveRight},
    {IdBrowse, CAnchorLayout::AnchorMoveRight},
    {IdOptionsGroup, CAnchorLayout::AnchorMoveRight | CAnchorLayout::AnchorMoveDown},
    {IdPlaceholder, CAnchorLayout::AnchorMoveRight | CAnchorLayout::AnchorMoveDown},
    {0, 0},
};

constexpr int kFileIndexRole = Qt::UserRole;

QString NativeSeparator()
{
    return QString(QDir::separator());
}

bool CanEnter(const QString& dir)
{
    QFileInfo info(dir);
    return info.isDir() && info.isExecutable();
}

}  // namespace

CFilesPage::CFilesPage(CInstallSheet* sheet)
    : CPatchPage(sheet, kTemplateId, tr("Files"), QSize(360, 230))
{
    m_buildTimer.setInterval(kBuildTimerMs);
    connect(&m_buildTimer, &QTimer::timeout, this, &CFilesPage::RunPendingBuild);
}

const AnchorEntry* CFilesPage::GetAnchorTable() const
{
    return kAnchors;
}

bool CFilesPage::InitPage()
{
    m_subDirs = new QCheckBox(tr("&Include sub-directories"), this);
    Place(m_subDirs, IdSubDirs, 7, 5, 150, 10);
    m_list = new QTreeWidget(this);
    Place(m_list, IdFileList, 7, 18, 180, 205);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({LoadQString(1065), LoadQString(1066)});
    m_list->header()->setStretchLastSection(false);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setTextElideMode(Qt::ElideRight);

    auto* label = new QLabel(tr("Directory :"), this);
    Place(label, IdDirLabel, 195, 5, 158, 9);
    m_directory = new QLineEdit(this);
    Place(m_directory, IdDirEdit, 195, 15, 158, 13);
    label->setBuddy(m_directory);
    m_browse = new QPushButton(tr("&Browse"), this);
    Place(m_browse, IdBrowse, 303, 31, 50, 14);
    auto* group = new QGroupBox(tr("File Options"), this);
    Place(group, IdOptionsGroup, 195, 50, 158, 173);
    m_placeholder = new QWidget(this);
    Place(m_placeholder, IdPlaceholder, 199, 61, 150, 158);
    m_placeholder->setVisible(false);

    SetColumnWidths();

    m_optSheet = new COptSheet(this);
    m_optSheet->setParent(this);
    m_optSheet->setGeometry(m_placeholder->geometry());

    // Keyboard order: the file list first, then the directory, then the file options.
    setTabOrder(m_list, m_subDirs);
    setTabOrder(m_subDirs, m_directory);
    setTabOrder(m_directory, m_browse);
    setTabOrder(m_browse, m_optSheet);

    connect(m_directory, &QLineEdit::editingFinished, this, &CFilesPage::CommitDirectory);
    connect(m_browse, &QPushButton::clicked, this, &CFilesPage::BrowseDirectory);
    connect(m_subDirs, &QCheckBox::clicked, this, &CFilesPage::ToggleSubdirectories);
    connect(m_list, &QTreeWidget::itemSelectionChanged, m_optSheet, &COptSheet::RefreshActivePage);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CFilesPage::ShowContextMenu);

    LoadFromProject();
    return true;
}

void CFilesPage::SetColumnWidths()
{
    // "Options" twice the list's width, "Files" the width less the room of the flags; so the
    // first column follows every change of the list's width.
    int width = m_list->viewport()->width();
    QFontMetrics metrics(m_list->font());
    int room = metrics.horizontalAdvance(LoadQString(1066)) + metrics.horizontalAdvance("####");
    m_list->setColumnWidth(1, 2 * width);
    m_list->setColumnWidth(0, qMax(1, width - room));
}

void CFilesPage::OnSizeChanged(int width, int height)
{
    if (!m_list || width == 0 || height == 0) return;
    m_optSheet->setGeometry(m_placeholder->geometry());
    SetColumnWidths();
}

void CFilesPage::OnKillActive()
{
    // A directory typed into the edit is committed before the page is left.
    if (m_directory && m_directory->hasFocus()) m_browse->setFocus();
    CommitDirectory();
}

void CFilesPage::PreferencesChanged()
{
    update();
}

int CFilesPage::CompareFileEntries(const std::string& a, const std::string& b)
{
    size_t slashA = a.rfind('\\');
    size_t slashB = b.rfind('\\');
    if (slashA == std::string::npos && slashB == std::string::npos) {
        return QString::localeAwareCompare(ToQt(a), ToQt(b));
    }
    if (slashA == std::string::npos) return -1;
    if (slashB == std::string::npos) return 1;
    int byDir = CompareNoCase(std::string_view(a).substr(0, slashA + 1),
                              std::string_view(b).substr(0, slashB + 1));
    if (byDir != 0) return byDir;
    return CompareNoCase(std::string_view(a).substr(slashA + 1),
                         std::string_view(b).substr(slashB + 1));
}

void CFilesPage::ShowStatusText(const QString& text)
{
    if (auto* frame = qobject_cast<CMainFrame*>(window())) frame->SetMessageText(text);
}

bool CFilesPage::RescanFiles(const std::string& path)
{
    CData* version = GetCurrent();
    if (!version) return false;
    QString hostDir = ToQt(path);
    // A relative folder is read from the project's folder, as every build reads it.
    const std::string projectFolder = ProjectFolderOf(GetDocument().GetPathName().toStdString());
    const QString resolvedDir =
        QString::fromStdString(ResolveInFolder(hostDir.toStdString(), projectFolder));
    // A mistyped directory, or a scan that stops (Escape, an unreadable directory), changes
    // nothing: the list keeps every file's options and the directory stays what it was.
    auto keepAsItWas = [this, version] {
        if (m_directory) m_directory->setText(ToQt(version->m_strSourceDir));
        if (m_subDirs) m_subDirs->setChecked(version->m_bSubDirs != 0);
        FillFileList();
        return false;
    };
    if (!path.empty() && !CanEnter(resolvedDir)) {
        CUserPrompt::Information(this, LoadQString(2013).replace("%s", hostDir));
        return keepAsItWas();
    }
    if (path.empty()) {
        version->m_files.clear();
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CScanHost host([this](const QString& text) { ShowStatusText(text); });
        QString failure;
        bool stopped = false;
        std::vector<std::string> notes;
        try {
            notes = RescanFileList(version->m_files, path, version->m_bSubDirs != 0, projectFolder,
                                   &host)
                        .notes;
        } catch (const CUserAbort&) {
            stopped = true;
        } catch (const std::exception& e) {
            stopped = true;
            failure = FromEngineText(e.what());
        }
        ShowStatusText(QString());
        QApplication::restoreOverrideCursor();
        if (stopped) {
            if (!failure.isEmpty()) CUserPrompt::Error(this, failure);
            return keepAsItWas();
        }
        // What the scan left out (FIFOs, devices, dangling links, links leaving the folder) is
        // shown, so the author does not find a file missing only at the end user's.
        if (!notes.empty()) {
            QString text = tr("The scan left out these files:");
            for (const std::string& note : notes) text += "\n" + QString::fromStdString(note);
            CUserPrompt::Message(this, text, QMessageBox::Warning, QMessageBox::Ok);
        }
    }
    version->m_strSourceDir = path;
    if (m_directory) m_directory->setText(hostDir);
    FillFileList();
    return true;
}

void CFilesPage::KeepOptionsOfDroppedFiles(const CFileList& before, CData& version)
{
    CFileList& aside = m_setAside[version.m_strName];
    CFileList back;
    for (const CFileItem& item : version.m_files) {
        const CFileItem* kept =
            before.FindByPath(item.m_strPath) ? nullptr : aside.FindByPath(item.m_strPath);
        back.AddUnique(kept ? *kept : item);
    }
    CFileList stillAside;
    for (const CFileItem& item : before) {
        if (!version.m_files.FindByPath(item.m_strPath)) stillAside.AddUnique(item);
    }
    for (const CFileItem& item : aside) {
        if (!back.FindByPath(item.m_strPath) && !stillAside.FindByPath(item.m_strPath))
            stillAside.AddUnique(item);
    }
    aside = std::move(stillAside);
    version.m_files = std::move(back);
}

void CFilesPage::FillFileList()
{
    if (!m_list) return;
    m_list->clear();
    CData* version = GetCurrent();
    if (!version) return;
    std::vector<int> order(version->m_files.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    const CFileList& files = version->m_files;
    std::stable_sort(order.begin(), order.end(), [&files](int a, int b) {
        return CompareFileEntries(files[static_cast<size_t>(a)].m_strPath,
                                  files[static_cast<size_t>(b)].m_strPath) < 0;
    });
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QList<QTreeWidgetItem*> rows;
    for (int index : order) {
        const CFileItem& file = files[static_cast<size_t>(index)];
        auto* row = new QTreeWidgetItem;
        row->setText(0, ToQt(file.m_strPath));
        row->setToolTip(0, ToQt(file.m_strPath));
        row->setText(1, QString::fromLatin1(file.FlagsText().c_str()));
        row->setFont(1, fixed);
        row->setData(0, kFileIndexRole, index);
        rows << row;
    }
    m_list->addTopLevelItems(rows);
}

QTreeWidgetItem* CFilesPage::RowOfFile(int fileIndex) const
{
    if (!m_list) return nullptr;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (item->data(0, kFileIndexRole).toInt() == fileIndex) return item;
    }
    return nullptr;
}

void CFilesPage::UpdateRowCode(int fileIndex)
{
    CData* version = GetCurrent();
    QTreeWidgetItem* row = RowOfFile(fileIndex);
    if (!version || !row || fileIndex < 0 ||
        static_cast<size_t>(fileIndex) >= version->m_files.size()) {
        return;
    }
    row->setText(1, QString::fromLatin1(
                        version->m_files[static_cast<size_t>(fileIndex)].FlagsText().c_str()));
}

std::vector<int> CFilesPage::SelectedFiles() const
{
    std::vector<int> selected;
    CData* version = GetCurrent();
    if (!m_list || !version) return selected;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        int index = item->data(0, kFileIndexRole).toInt();
        if (item->isSelected() && index >= 0 &&
            static_cast<size_t>(index) < version->m_files.size()) {
            selected.push_back(index);
        }
    }
    return selected;
}

void CFilesPage::GetSelectionOptions(std::array<int, kFileOptionCount>& values,
                                     std::array<int, kFileOptionCount>& enabled) const
{
    std::vector<int> selected = SelectedFiles();
    values.fill(-1);
    enabled.fill(selected.empty() ? 0 : 1);
    CData* version = GetCurrent();
    if (selected.empty() || !version) return;
    bool first = true;
    for (int index : selected) {
        const CFileItem& file = version->m_files[static_cast<size_t>(index)];
        for (int option = 0; option < kFileOptionCount; ++option) {
            int value = file.GetOption(option);
            if (first) {
                values[static_cast<size_t>(option)] = value;
            } else if (values[static_cast<size_t>(option)] != value) {
                values[static_cast<size_t>(option)] = -1;
            }
        }
        if (file.GetOption(OptDestination) == DestInstallDir) enabled[OptUsageCount] = 0;
        first = false;
    }
}

void CFilesPage::SetSelectionOption(int option, int value)
{
    CData* version = GetCurrent();
    if (!version || value == -1) return;
    for (int index : SelectedFiles()) {
        version->m_files[static_cast<size_t>(index)].SetOption(option, value);
        UpdateRowCode(index);
    }
    SetProjectModified();
}

void CFilesPage::LoadFromProject()
{
    CData* version = GetCurrent();
    if (!version || !m_list) return;
    m_directory->setText(ToQt(version->m_strSourceDir));
    m_subDirs->setChecked(version->m_bSubDirs != 0);
    if (GetDocument().IsRestoring()) {
        // An undone or redone list is shown as it was, not scanned again (which would drop
        // again the files a re-scan dropped).
        FillFileList();
    } else if (version->m_bWizardPending) {
        RescanFiles(version->m_strSourceDir);
        version->m_bWizardPending = 0;
        for (int index : version->ApplyWizardChoices()) UpdateRowCode(index);
    } else if (!version->m_strSourceDir.empty()) {
        RescanFiles(version->m_strSourceDir);
    } else {
        FillFileList();
    }
    m_optSheet->RefreshActivePage();
    if (version->m_bAutoBuild) {
        version->m_bAutoBuild = 0;
        m_buildTimer.start();
    }
}

void CFilesPage::CommitDirectory()
{
    CData* version = GetCurrent();
    if (!version || !m_directory) return;
    QString text = m_directory->text();
    if (!text.isEmpty() && !text.endsWith(NativeSeparator())) text += NativeSeparator();
    std::optional<std::string> path = FromQtExact(text);
    if (!path) {
        CUserPrompt::Error(this, tr("The directory name %1 cannot be written in the Windows-1252 "
                                    "code page of install programs.")
                                     .arg(text));
        m_directory->setText(ToQt(version->m_strSourceDir));
        return;
    }
    if (*path == version->m_strSourceDir) return;
    if (RescanFiles(*path)) SetProjectModified();
}

void CFilesPage::BrowseDirectory()
{
    CData* version = GetCurrent();
    if (!version) return;
    CFolderBrowser browser(this, ToQt(version->m_strSourceDir));
    if (browser.Browse() != CFolderBrowser::Chosen) return;
    QString folder = browser.Folder();
    if (!folder.endsWith(NativeSeparator())) folder += NativeSeparator();
    // A folder inside the project's folder is stored relative to it, so the two move together.
    if (const QString project = GetDocument().GetPathName(); !project.isEmpty()) {
        folder = QString::fromStdString(
            RelativeToFolder(folder.toStdString(), ProjectFolderOf(project.toStdString())));
    }
    std::optional<std::string> path = FromQtExact(folder);
    if (!path) {
        CUserPrompt::Error(this, tr("The directory name %1 cannot be written in the Windows-1252 "
                                    "code page of install programs.")
                                     .arg(folder));
        return;
    }
    if (RescanFiles(*path)) SetProjectModified();
}

void CFilesPage::ToggleSubdirectories()
{
    CData* version = GetCurrent();
    if (!version) return;
    int state = m_subDirs->isChecked() ? 1 : 0;
    if (state == version->m_bSubDirs) return;
    int before = version->m_bSubDirs;
    const CFileList files = version->m_files;
    version->m_bSubDirs = state;
    if (!RescanFiles(version->m_strSourceDir)) {
        version->m_bSubDirs = before;
        m_subDirs->setChecked(before != 0);
        return;
    }
    KeepOptionsOfDroppedFiles(files, *version);
    FillFileList();
    SetProjectModified();
}

void CFilesPage::SelectAll(bool select)
{
    if (!m_list) return;
    if (select) {
        m_list->selectAll();
    } else {
        m_list->clearSelection();
    }
}

void CFilesPage::OnRefresh()
{
    CData* version = GetCurrent();
    if (!version) return;
    if (RescanFiles(version->m_strSourceDir)) SetProjectModified();
}

std::pair<bool, bool> CFilesPage::ContextMenuState() const
{
    bool any = m_list && m_list->topLevelItemCount() > 0;
    return {any, !SelectedFiles().empty()};
}

void CFilesPage::ShowContextMenu(const QPoint& pos)
{
    QMenu menu(this);
    auto [canSelect, canUnselect] = ContextMenuState();
    QAction* selectAll = menu.addAction(tr("&Select All"));
    selectAll->setEnabled(canSelect);
    QAction* unselect = menu.addAction(tr("&Unselect"));
    unselect->setEnabled(canUnselect);
    menu.addSeparator();
    QAction* refresh = menu.addAction(tr("&Refresh"));
    QAction* chosen = menu.exec(m_list->viewport()->mapToGlobal(pos));
    if (chosen == selectAll) SelectAll(true);
    if (chosen == unselect) SelectAll(false);
    if (chosen == refresh) OnRefresh();
}

void CFilesPage::RunPendingBuild()
{
    if (!isVisible()) return;
    m_buildTimer.stop();
    GetSheet()->BuildNow();
    CData* version = GetCurrent();
    if (version && version->m_bKeepOutputPath) {
        // A command-line build: the program's exit status tells how the build ended.
        if (CSetwellApp* app = CSetwellApp::Instance(); app && app->ExitCode() == 0) {
            app->SetExitCode(CBuildPage::ExitStatusFor(GetSheet()->GetBuildPage()->LastResult()));
        }
        if (QWidget* frame = window()) {
            QMetaObject::invokeMethod(frame, "close", Qt::QueuedConnection);
        }
    }
}

}  // namespace velkan
