#include "gui/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUndoStack>

#include "gui/CHelpWindow.h"
#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/CSetwellView.h"
#include "gui/CommandIds.h"
#include "gui/HelpTopics.h"
#include "gui/QtText.h"

namespace velkan {

CMainFrame::CMainFrame(CSetwellApp& app, CSetwellDoc& doc, IBuildRunner& runner)
    : m_app(app), m_doc(doc), m_view(new CSetwellView(doc, runner, this))
{
    setCentralWidget(m_view);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    RestorePlacement();
    connect(&m_doc, &CSetwellDoc::TitleChanged, this, &CMainFrame::OnUpdateFrameTitle);
    OnUpdateFrameTitle();
    qApp->installEventFilter(this);
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, this);
    if (!key.isEmpty()) action->setShortcut(key);
    action->setStatusTip(CommandPrompt(id));
    action->setToolTip(CommandShortName(id));
    menu->addAction(action);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateMenus()
{
    QStyle* s = style();
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    connect(AddCommand(m_fileMenu, IdFileNew, tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, &m_app, &CSetwellApp::OnFileNew);
    connect(AddCommand(m_fileMenu, IdFileOpen, tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, &m_app, &CSetwellApp::OnFileOpen);
    connect(AddCommand(m_fileMenu, IdFileSave, tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, [this] { m_doc.DoFileSave(); });
    connect(AddCommand(m_fileMenu, IdFileSaveAs, tr("Save &As...")), &QAction::triggered, this,
            [this] { m_doc.DoSave(QString()); });
    m_fileMenu->addSeparator();
    connect(AddCommand(m_fileMenu, IdExportTexts, tr("&Export Wizard Texts")), &QAction::triggered,
            this, [this] { m_doc.OnExportTexts(); });
    connect(AddCommand(m_fileMenu, IdImportTexts, tr("&Import Wizard Texts")), &QAction::triggered,
            this, [this] { m_doc.OnImportTexts(); });
    m_fileMenu->addSeparator();
    connect(AddCommand(m_fileMenu, IdPreferences, tr("&Preferences")), &QAction::triggered, this,
            [this] { m_doc.OnPreferences(); });
    m_recentSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addSeparator();
    connect(AddCommand(m_fileMenu, IdAppExit, tr("E&xit")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    connect(AddCommand(editMenu, IdEditUndo, tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z)),
            &QAction::triggered, this, [this] { m_doc.OnUndo(); });
    connect(AddCommand(editMenu, IdEditRedo, tr("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y)),
            &QAction::triggered, this, [this] { m_doc.OnRedo(); });
    QUndoStack& steps = m_doc.Undo().Stack();
    connect(&steps, &QUndoStack::indexChanged, this, &CMainFrame::UpdateUndoCommands);
    connect(&steps, &QUndoStack::cleanChanged, this, &CMainFrame::UpdateUndoCommands);
    UpdateUndoCommands();

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    QAction* toolbar = AddCommand(viewMenu, IdViewToolbar, tr("&Toolbar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    connect(AddCommand(tools, IdTestWizard, tr("&Test Install Wizard"),
                       QKeySequence(Qt::CTRL | Qt::Key_T)),
            &QAction::triggered, m_view, &CSetwellView::OnTest);
    connect(AddCommand(tools, IdBuild, tr("&Build Install Program"),
                       QKeySequence(Qt::CTRL | Qt::Key_B)),
            &QAction::triggered, m_view, &CSetwellView::OnBuild);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    connect(AddCommand(help, IdHelpContents, tr("&Contents")), &QAction::triggered, this,
            [this] { m_app.WinHelp(0, false); });
    connect(AddCommand(help, IdAppAbout, tr("&About Velkan...")), &QAction::triggered, &m_app,
            &CSetwellApp::OnAppAbout);

    Action(IdFileNew)->setIcon(s->standardIcon(QStyle::SP_FileIcon));
    Action(IdFileOpen)->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    Action(IdFileSave)->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    Action(IdTestWizard)->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    Action(IdBuild)->setIcon(s->standardIcon(QStyle::SP_DialogApplyButton));
    Action(IdHelpContents)->setIcon(s->standardIcon(QStyle::SP_MessageBoxQuestion));

    // F6 and Shift+F6 move between the panes: the versions bar and the editor sheet.
    auto* next = new QAction(this);
    next->setShortcut(QKeySequence(Qt::Key_F6));
    connect(next, &QAction::triggered, m_view, [this] { m_view->FocusNextPane(true); });
    auto* previous = new QAction(this);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previous, &QAction::triggered, m_view, [this] { m_view->FocusNextPane(false); });
    addAction(next);
    addAction(previous);
    m_actions.insert(IdNextPane, next);
    m_actions.insert(IdPrevPane, previous);

    RebuildRecentMenu();
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName("toolbar");
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : {int(IdFileNew), int(IdFileOpen), int(IdFileSave), 0, int(IdTestWizard),
                   int(IdBuild), 0, int(IdHelpContents)}) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        // The button's label is the short name, not the menu text.
        QAction* menuAction = Action(id);
        auto* button = new QAction(menuAction->icon(), CommandShortName(id), this);
        button->setToolTip(CommandShortName(id));
        button->setStatusTip(CommandPrompt(id));
        connect(button, &QAction::triggered, menuAction, &QAction::trigger);
        m_toolBar->addAction(button);
    }
    // Every button as wide as the widest label, as the original toolbar sizes them.
    int widest = 0;
    for (QAction* action : m_toolBar->actions()) {
        widest = qMax(widest, fontMetrics().horizontalAdvance(action->text()));
    }
    for (QAction* action : m_toolBar->actions()) {
        if (QWidget* button = m_toolBar->widgetForAction(action);
            button && !action->isSeparator()) {
            button->setMinimumWidth(widest + 12);
        }
    }
    QAction* toggle = Action(IdViewToolbar);
    connect(toggle, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar()
{
    m_message = new QLabel(this);
    m_message->setObjectName("messagePane");
    statusBar()->addWidget(m_message, 1);
    // The lock-key panes: Qt cannot read the lock states, so they stay greyed as when off.
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(tr(text), this);
        pane->setEnabled(false);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        statusBar()->addPermanentWidget(pane);
    }
    statusBar()->setSizeGripEnabled(true);
}

void CMainFrame::SetMessageText(const QString& text)
{
    statusBar()->clearMessage();
    m_message->setText(text);
    m_message->repaint();
}

void CMainFrame::OnUpdateFrameTitle()
{
    QString caption = LoadQString(128).section('\n', 0, 0);
    QString title = m_doc.GetTitle();
    if (!title.isEmpty()) caption += " - " + title;
    if (m_doc.IsModified()) caption += "*";
    if (windowTitle() != caption) setWindowTitle(caption);
}

void CMainFrame::RebuildRecentMenu()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const QStringList& paths = m_app.GetRecentFiles().Paths();
    QAction* before =
        m_fileMenu->actions().value(m_fileMenu->actions().indexOf(m_recentSeparator) + 1);
    for (int i = 0; i < paths.size(); ++i) {
        auto* action =
            new QAction(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(paths[i])), this);
        action->setStatusTip(tr("Open this project"));
        QString path = paths[i];
        connect(action, &QAction::triggered, this, [this, path] { m_app.OpenDocumentFile(path); });
        m_fileMenu->insertAction(before, action);
        m_recentActions << action;
    }
}

void CMainFrame::EnableCommands(bool enable)
{
    for (QAction* menu : menuBar()->actions()) menu->setEnabled(enable);
    for (QAction* action : m_toolBar->actions()) action->setEnabled(enable);
    for (QAction* action : m_actions) action->setEnabled(enable);
    m_bCommandsEnabled = enable;
    UpdateUndoCommands();
}

void CMainFrame::UpdateUndoCommands()
{
    const QUndoStack& steps = m_doc.Undo().Stack();
    QAction* undo = Action(IdEditUndo);
    QAction* redo = Action(IdEditRedo);
    undo->setEnabled(m_bCommandsEnabled && steps.canUndo());
    redo->setEnabled(m_bCommandsEnabled && steps.canRedo());
    undo->setText(steps.canUndo() ? tr("&Undo %1").arg(steps.undoText()) : tr("&Undo"));
    redo->setText(steps.canRedo() ? tr("&Redo %1").arg(steps.redoText()) : tr("&Redo"));
}

bool CMainFrame::ParsePlacement(const QString& value, const QSize& screen, QRect* placement)
{
    QStringList parts = value.split(',');
    if (parts.size() != 4) return false;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return false;
    }
    int x = numbers[0], y = numbers[1], width = numbers[2], height = numbers[3];
    // A window of no size could never be seen or grabbed again.
    if (width <= 0 || height <= 0) return false;
    if (x >= screen.width() || y >= screen.height()) return false;
    if (static_cast<int64_t>(x) + width > screen.width()) return false;
    if (static_cast<int64_t>(y) + height > screen.height()) return false;
    if (placement) *placement = QRect(x, y, width, height);
    return true;
}

void CMainFrame::RestorePlacement()
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    QString value = settings.value("Settings/Window").toString();
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect placement;
    if (screen && ParsePlacement(value, screen->geometry().size(), &placement)) {
        move(placement.topLeft());
        resize(placement.size());
    } else {
        // The default size, made smaller when the screen's free area (in the scaled pixels of a
        // high-density display) is smaller; the view scrolls what does not fit.
        QSize size(800, 600);
        if (screen) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
        resize(size);
    }
}

void CMainFrame::SavePlacement()
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    QRect frame = frameGeometry();
    settings.setValue(
        "Settings/Window",
        QString("%1,%2,%3,%4").arg(frame.left()).arg(frame.top()).arg(width()).arg(height()));
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A focused field claims Ctrl+Z for its own typing; the window's fields are nearly always
    // focused, so the project's steps are reached whenever the field has no typing to undo.
    if (event->type() == QEvent::ShortcutOverride) {
        QLineEdit* edit = CProjectUndo::TextFieldOf(watched);
        if (edit && edit->window() == this) {
            QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
            if ((keys == Action(IdEditUndo)->shortcut() && !edit->isUndoAvailable()) ||
                (keys == Action(IdEditRedo)->shortcut() && !edit->isRedoAvailable())) {
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_doc.SaveModified()) {
        event->ignore();
        return;
    }
    SavePlacement();
    if (m_app.GetHelpWindow()) m_app.GetHelpWindow()->close();
    event->accept();
}

}  // namespace velkan
