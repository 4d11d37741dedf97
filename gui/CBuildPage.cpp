#include "gui/CBuildPage.h"

#include <cstdio>

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTreeWidget>
#include <exception>

#include "core/builder/BuildExitCode.h"
#include "core/builder/ReportNumbers.h"
#include "core/model/CDataArray.h"
#include "core/model/PathCompare.h"
#include "core/platform/ProjectFolder.h"
#include "core/platform/SignCommand.h"
#include "gui/CInstallSheet.h"
#include "gui/CMainFrame.h"
#include "gui/CPrefGroup.h"
#include "gui/CQtBuildHost.h"
#include "gui/CQtDiskHost.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellApp.h"
#include "gui/CUserPrompt.h"
#include "gui/IBuildRunner.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

enum ControlId {
    IdBuild = 1035,
    IdReport = 1036,
    IdPlatformGroup = 1046,
    IdWin31 = 1047,
    IdWin32 = 1048,
};

constexpr AnchorEntry kAnchors[] = {
    {IdBuild, CAnchorLayout::AnchorMoveRight},
    {IdReport, CAnchorLayout::AnchorStretchWidth | CAnchorLayout::AnchorStretchHeight},
    {0, 0},
};

}  // namespace

CBuildPage::CBuildPage(CInstallSheet* sheet, IBuildRunner& runner)
    : CPatchPage(sheet, kTemplateId, tr("Build"), QSize(360, 230)), m_runner(runner)
{
}

const AnchorEntry* CBuildPage::GetAnchorTable() const
{
    return kAnchors;
}

bool CBuildPage::InitPage()
{
    auto* group = new QGroupBox(tr("Platform"), this);
    Place(group, IdPlatformGroup, 7, 4, 220, 30);
    m_win32 = new QRadioButton(tr("Windows &95 / NT"), this);
    Place(m_win32, IdWin32, 15, 16, 100, 11);
    m_win31 = new QRadioButton(tr("Windows &3.1"), this);
    Place(m_win31, IdWin31, 125, 16, 90, 11);
    m_build = new QPushButton(tr("&Build"), this);
    Place(m_build, IdBuild, 293, 12, 60, 16);
    m_report = new QTreeWidget(this);
    Place(m_report, IdReport, 7, 40, 346, 183);
    m_report->setRootIsDecorated(false);
    m_report->setUniformRowHeights(true);
    m_report->setSelectionMode(QAbstractItemView::SingleSelection);
    m_report->setHeaderLabels(
        {LoadQString(1086), LoadQString(1077), LoadQString(1087), LoadQString(1078)});
    m_report->header()->setStretchLastSection(false);
    m_report->header()->setSectionsMovable(false);
    for (int column : {ColPacked, ColSize, ColRatio}) {
        m_report->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_report->setContextMenuPolicy(Qt::CustomContextMenu);
    SetColumnWidths();
    // The list's client area changes with its size and with its scroll bar coming and going;
    // "File" follows it each time so the number columns stay whole.
    m_report->viewport()->installEventFilter(this);

    connect(m_build, &QPushButton::clicked, this, &CBuildPage::OnBuild);
    connect(m_win32, &QRadioButton::clicked, this, [this] { OnPlatform(CDataArray::Win32); });
    connect(m_win31, &QRadioButton::clicked, this, [this] { OnPlatform(CDataArray::Win31); });
    connect(m_report, &QWidget::customContextMenuRequested, this, &CBuildPage::ShowContextMenu);
    RefreshDisplay();
    return true;
}

void CBuildPage::SetColumnWidths()
{
    if (!m_report) return;
    CPrefGroup output = CPrefGroup::Output();
    QFontMetrics metrics(m_report->font());
    auto widthOf = [&metrics](const char* sample, bool shown) {
        return shown ? metrics.horizontalAdvance(sample) : 0;
    };
    int size = widthOf("X XX,XXX,XXX X", output.Get(CPrefGroup::PrefOutputOriginalSize) != 0);
    int packed = widthOf("X X,XXX,XXX X", output.Get(CPrefGroup::PrefOutputPackedSize) != 0);
    int ratio = widthOf("X XX% X", output.Get(CPrefGroup::PrefOutputRatio) != 0);
    m_report->setColumnHidden(ColSize, size == 0);
    m_report->setColumnHidden(ColPacked, packed == 0);
    m_report->setColumnHidden(ColRatio, ratio == 0);
    if (size) m_report->setColumnWidth(ColSize, size);
    if (packed) m_report->setColumnWidth(ColPacked, packed);
    if (ratio) m_report->setColumnWidth(ColRatio, ratio);
    int client = m_report->viewport()->width();
    m_report->setColumnWidth(ColFile, qMax(20, client - size - packed - ratio));
}

bool CBuildPage::eventFilter(QObject* watched, QEvent* event)
{
    if (m_report && watched == m_report->viewport() && event->type() == QEvent::Resize) {
        SetColumnWidths();
    }
    return CPatchPage::eventFilter(watched, event);
}

void CBuildPage::OnSizeChanged(int width, int height)
{
    // Only "File" follows the list's width; the number columns keep theirs.
    if (!m_report || width == 0 || height == 0) return;
    SetColumnWidths();
}

void CBuildPage::PreferencesChanged()
{
    SetColumnWidths();
}

void CBuildPage::LoadFromProject()
{
    RefreshDisplay();
}

void CBuildPage::OnSetActive()
{
    LoadFromProject();
}

void CBuildPage::RefreshDisplay()
{
    if (!m_win32) return;
    int platform = GetSheet()->GetProject().m_nPlatform;
    m_win32->setChecked(platform == CDataArray::Win32);
    m_win31->setChecked(platform == CDataArray::Win31);
}

void CBuildPage::OnPlatform(int platform)
{
    CDataArray& project = GetSheet()->GetProject();
    if (project.m_nPlatform == platform) return;
    project.m_nPlatform = platform;
    SetProjectModified();
}

void CBuildPage::EnableWindowCommands(bool enable)
{
    m_build->setEnabled(enable);
    GetSheet()->tabBar()->setEnabled(enable);
    if (auto* frame = qobject_cast<CMainFrame*>(window())) frame->EnableCommands(enable);
}

void CBuildPage::OnBuild()
{
    EnsureCreated();
    CData* version = GetCurrent();
    if (!version || m_bBuilding) return;
    m_lastResult.reset();
    CDataArray& project = GetSheet()->GetProject();
    if (version->m_bKeepOutputPath == 1 && project.m_strOutputPath.empty()) {
        // An unattended build cannot ask for a name: it fails and says why.
        std::fprintf(stderr, "velkan: %s\n",
                     tr("The project names no install program to build (no output path); open it "
                        "in the editor and build it once to choose one.")
                         .toLocal8Bit()
                         .constData());
        AddLine(FromQt(tr("Build failed: the project has no output path.")));
        m_lastResult = BuildStatus::Failed;
        return;
    }
    if (version->m_bKeepOutputPath != 1) {
        QString chosen =
            CUserPrompt::SaveFileName(this, tr("Save As"), ToQt(project.m_strOutputPath),
                                      CUserPrompt::QtFilter(LoadQString(1028)));
        if (chosen.isEmpty()) return;
        if (QFileInfo(chosen).suffix().isEmpty()) chosen += ".exe";
        std::optional<std::string> path = FromQtExact(chosen);
        if (!path) {
            CUserPrompt::Error(this, tr("The file name %1 cannot be written in the Windows-1252 "
                                        "code page of install programs.")
                                         .arg(chosen));
            return;
        }
        if (!EqualsNoCase(*path, project.m_strOutputPath)) {
            project.m_strOutputPath = *path;
            SetProjectModified();
        }
    }
    if (project.m_strOutputPath.empty()) return;

    m_bBuilding = true;
    EnableWindowCommands(false);
    bool quit = false;
    {
        auto* frame = qobject_cast<QMainWindow*>(window());
        CQtBuildHost host(window(), frame ? frame->statusBar() : nullptr, this);
        CQtDiskHost disks(this);
        ClearReport();
        repaint();
        // Built as velkanc builds it: paths read from the project's folder, lists scanned again.
        const std::string projectPath = GetDocument().GetPathName().toStdString();
        BuildInputs inputs{ProjectFolderOf(projectPath), {}, true, projectPath};
        BuildSettings settings{
            ResolveInFolder(HostPath(project.m_strOutputPath).toStdString(), inputs.projectFolder),
            std::string()};
        if (QString sign = CPrefGroup::SignCommand(); !sign.isEmpty()) {
            settings.signFile = [command = sign.toStdString()](const std::string& path) {
                RunSignCommand(command, path);
            };
        }
        settings.deltaSearch = CPrefGroup::DeltaSearchChoice();
        settings.shareEqualFiles = CPrefGroup::ShareEqualFiles();
        try {
            m_lastResult = m_runner.Build(project, inputs, settings, *this, host, disks).status;
        } catch (const std::exception& e) {
            // The engine reports its own failures; this is a last guard for the window state.
            m_lastResult = BuildStatus::Failed;
            CUserPrompt::Error(this, FromEngineText(e.what()));
        }
        quit = host.QuitRequested();
    }
    if (m_lastResult == BuildStatus::Cancelled) AddLine(FromQt(tr("Build cancelled.")));
    if (m_lastResult == BuildStatus::Failed) AddLine(FromQt(tr("Build failed.")));
    EnableWindowCommands(true);
    m_bBuilding = false;
    if (quit) {
        // The close that stopped the build, repeated now that the window is free again; a
        // program ended that way reports failure.
        QPointer<QWidget> frame = window();
        QMetaObject::invokeMethod(
            frame,
            [frame] {
                CSetwellApp* app = CSetwellApp::Instance();
                if (frame && frame->close() && app) app->SetExitCode(kBuildExitFailed);
            },
            Qt::QueuedConnection);
    }
}

int CBuildPage::ExitStatusFor(std::optional<BuildStatus> result)
{
    return result ? BuildExitCode(*result) : kBuildExitStopped;
}

void CBuildPage::ClearReport()
{
    if (m_report) m_report->clear();
    m_nLastLine = -1;
}

void CBuildPage::AddLine(const std::string& text)
{
    EnsureCreated();
    auto* row = new QTreeWidgetItem(m_report, {ToQt(text)});
    for (int column : {ColPacked, ColSize, ColRatio}) {
        row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_nLastLine = m_report->indexOfTopLevelItem(row);
    m_report->setCurrentItem(row);
    m_report->scrollToItem(row);
    m_report->repaint();
}

void CBuildPage::SetNumbers(int kind, uint64_t size, uint64_t packed)
{
    QTreeWidgetItem* row = m_report ? m_report->topLevelItem(m_nLastLine) : nullptr;
    if (!row) return;
    ReportColumns cells = FormatReportNumbers(kind, size, packed);
    row->setText(ColSize, QString::fromStdString(cells.size));
    row->setText(ColPacked, QString::fromStdString(cells.packed));
    row->setText(ColRatio, QString::fromStdString(cells.ratio));
    m_report->repaint();
}

void CBuildPage::ShowContextMenu(const QPoint& pos)
{
    QMenu menu(this);
    QAction* clear = menu.addAction(tr("&Clear"));
    clear->setEnabled(m_report->topLevelItemCount() > 0);
    if (menu.exec(m_report->viewport()->mapToGlobal(pos)) == clear) ClearReport();
}

}  // namespace velkan
