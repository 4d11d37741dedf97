#include "gui/CWizPages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/wizard/WizardPage.h"
#include "core/wizard/WizardTextFile.h"
#include "gui/BitmapChoice.h"
#include "gui/CFolderBrowser.h"
#include "gui/CInfoDialogs.h"
#include "gui/CUserPrompt.h"
#include "gui/QtText.h"
#include "core/wizard/LanguageTemplates.h"
#include "gui/TemplatesFolder.h"

namespace velkan {

namespace {

QVBoxLayout* Column(QWidget* page)
{
    return static_cast<QVBoxLayout*>(page->layout());
}

QPushButton* Button(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

// A box with its button on one row.
QHBoxLayout* Row(QWidget* field, QWidget* button)
{
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    if (button) row->addWidget(button);
    return row;
}

bool CanRead(const QString& path)
{
    QFile file(path);
    return !path.isEmpty() && QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
}

// The reason, if any, that a file the author names on the Shell or End page options page cannot
// be used: the choice is applied to that file in the project's list, so it must be one the scan
// of the source directory finds. Relative names are looked up in the current directory, which
// is the source directory from the Directory page on.
QString ProblemOf(const CWizPage& page, const QString& typed)
{
    if (!CanRead(QString(typed).replace('\\', '/')))
        return CWizPage::tr("%1 cannot be found or read.").arg(typed);
    QString full = page.InSourceDir(typed);
    QString source = ToQt(page.Version().m_strSourceDir);
    if (full.isEmpty())
        return CWizPage::tr("%1 is not in the source directory %2.").arg(typed, source);
    if (full.mid(source.size()).contains('/') && page.Version().m_bSubDirs == 0) {
        return CWizPage::tr("%1 is in a sub-directory, and sub-directories are not included.")
            .arg(typed);
    }
    return QString();
}

QString WithSeparator(QString dir)
{
    if (!dir.endsWith('/') && !dir.endsWith('\\')) dir += QDir::separator();
    return dir;
}

// The Window page's two samples: the small wizard on the desktop, and the full-screen window
// with its gradient.
class CModeSample : public QWidget {
public:
    CModeSample(bool fullScreen, QWidget* parent) : QWidget(parent), m_bFull(fullScreen)
    {
        setFixedSize(96, 72);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QRect area = rect().adjusted(1, 1, -1, -1);
        if (m_bFull) {
            for (int i = 0; i < area.height(); ++i) {
                int blue = 255 - 255 * i / area.height();
                painter.setPen(QColor(0, 0, blue));
                painter.drawLine(area.left(), area.top() + i, area.right(), area.top() + i);
            }
            painter.fillRect(area.left() + 6, area.top() + 4, 4, 2, palette().highlight());
            painter.fillRect(area.left() + 16, area.top() + 4, 4, 2, palette().highlight());
        } else {
            painter.fillRect(area, QColor(0, 128, 128));
            QRect strip(area.left(), area.bottom() - 5, area.width(), 6);
            painter.fillRect(strip, palette().button());
            painter.fillRect(strip.left(), strip.top(), strip.width(), 2, palette().light());
        }
        // The wizard dialog in the middle.
        QRect dialog(area.center().x() - 22, area.center().y() - 15, 44, 30);
        painter.fillRect(dialog, palette().window());
        painter.fillRect(dialog.left(), dialog.top(), dialog.width(), 5, QColor(0, 0, 128));
        painter.fillRect(dialog.left() + 3, dialog.top() + 8, 10, 18, QColor(0, 96, 160));
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }

private:
    bool m_bFull;
};

}  // namespace

// ---------------------------------------------------------------- 1 Welcome

CWelcomePage::CWelcomePage(CWizSheet* sheet)
    : CWizPage(sheet, 142, tr("Welcome")),
      m_stop(new QCheckBox(tr("&Click here to stop using this wizard"), this))
{
    AddText(
        tr("Welcome to the Velkan wizard. This wizard will guide you through the process of "
           "creating an installation program for your files."));
    AddText(tr("Click &Next to continue."));
    Column(this)->addStretch(1);
    Column(this)->addWidget(m_stop);
    connect(m_stop, &QCheckBox::toggled, this, [this](bool checked) {
        Sheet().SetUseWizard(checked ? 0 : 1);
        SetButtons(checked ? CWizSheet::Finish : CWizSheet::Next);
    });
}

void CWelcomePage::OnSetActive()
{
    SetButtons(m_stop->isChecked() ? CWizSheet::Finish : CWizSheet::Next);
}

// ---------------------------------------------------------------- 2 Directory

CDirectoryPage::CDirectoryPage(CWizSheet* sheet)
    : CWizPage(sheet, 143, tr("Directory")),
      m_dir(new QLineEdit(this)),
      m_subDirs(new QCheckBox(tr("&Include sub-directories"), this))
{
    AddText(tr("You first have to select the directory that contains your files:"));
    QPushButton* browse = Button(tr("&Browse"), this);
    Column(this)->addLayout(Row(m_dir, browse));
    Column(this)->addSpacing(12);
    AddText(
        tr("Select the following check box if you want to include any files within "
           "sub-directories:"));
    Column(this)->addWidget(m_subDirs);
    Column(this)->addStretch(1);
    connect(m_dir, &QLineEdit::textEdited, this, &CDirectoryPage::CheckDirectory);
    connect(m_dir, &QLineEdit::editingFinished, this, [this] { CheckDirectory(m_dir->text()); });
    connect(browse, &QPushButton::clicked, this, &CDirectoryPage::Browse);
    connect(m_subDirs, &QCheckBox::clicked, this,
            [this](bool checked) { Version().m_bSubDirs = checked ? 1 : 0; });
}

void CDirectoryPage::OnFirstShow()
{
    m_dir->setText(ToQt(Version().m_strSourceDir));
    m_subDirs->setChecked(Version().m_bSubDirs != 0);
    m_dir->setFocus();
}

void CDirectoryPage::OnSetActive()
{
    CheckDirectory(ToQt(Version().m_strSourceDir));
}

void CDirectoryPage::CheckDirectory(const QString& text)
{
    if (text.isEmpty()) {
        SetButtons(CWizSheet::Back);
        return;
    }
    QString dir = WithSeparator(text);
    Version().m_strSourceDir = FromQt(dir);
    // The source directory becomes the current one: later pages look relative names up there.
    bool exists = QFileInfo(dir).isDir() && QDir::setCurrent(dir);
    SetButtons(exists ? CWizSheet::Back | CWizSheet::Next : CWizSheet::Back);
}

void CDirectoryPage::Browse()
{
    CFolderBrowser browser(this, ToQt(Version().m_strSourceDir));
    if (browser.Browse() != CFolderBrowser::Chosen) return;
    m_dir->setText(browser.Folder());
    CheckDirectory(browser.Folder());
}

// ---------------------------------------------------------------- 3 Title and language

CTitlePage::CTitlePage(CWizSheet* sheet)
    : CWizPage(sheet, 144, tr("Setting your program\u2019s title")),
      m_language(new QComboBox(this)),
      m_title(new QLineEdit(this))
{
    AddText(
        tr("Through these next pages, the wizard will guide you in the process of customizing "
           "your Install program."));
    Column(this)->addSpacing(8);
    AddText(tr("Please choose your language :"));
    Column(this)->addWidget(m_language);
    Column(this)->addSpacing(8);
    AddText(tr("Please enter below the title of the product you want to install :"));
    Column(this)->addWidget(m_title);
    Column(this)->addStretch(1);
    QPushButton* preview = Button(tr("Pre&view"), this);
    Column(this)->addLayout(Row(new QWidget(this), preview));
    m_language->setEditable(true);
    m_language->setInsertPolicy(QComboBox::NoInsert);
    connect(m_language, &QComboBox::activated, this,
            [this](int index) { ChooseLanguage(m_language->itemText(index)); });
    connect(m_title, &QLineEdit::editingFinished, this, &CTitlePage::CommitTitle);
    connect(preview, &QPushButton::clicked, this, [this] {
        CommitTitle();
        Sheet().Preview(PagePresentation);
    });
}

void CTitlePage::OnFirstShow()
{
    QStringList languages = TemplateLanguages();
    m_language->addItems(languages);
    m_language->setCurrentIndex(languages.indexOf(LoadQString(1107)));
    m_title->setText(ToQt(Version().m_strTitle));
}

void CTitlePage::ChooseLanguage(const QString& language)
{
    try {
        ApplyLanguageTemplate(Version().m_texts, EditorTemplatesFolder().toStdString(),
                              FromQt(language), &Sheet().Texts());
    } catch (const std::exception&) {
        // A template that cannot be read leaves the catalogue's texts.
        Version().ResetTexts();
        Sheet().Texts() = DefaultNewProjectTexts();
    }
}

void CTitlePage::CommitTitle()
{
    Version().m_strTitle = FromQt(m_title->text());
    if (Sheet().TitleEdited()) return;
    Project().m_strBackTitle = Version().m_strTitle;
    if (auto* window = Sheet().PageOf<CWindowPage>(); window && window->WasShown()) {
        window->ShowTitle();
    }
}

void CTitlePage::OnKillActive()
{
    CommitTitle();
}

// ---------------------------------------------------------------- 4 Shell

CShellPage::CShellPage(CWizSheet* sheet)
    : CWizPage(sheet, 10000, tr("Shell")),
      m_file(new QLineEdit(this)),
      m_name(new QLineEdit(this)),
      m_shortcut(new QCheckBox(tr("&Add desktop shortcut"), this))
{
    AddText(
        tr("Please enter below the name of a file for which you want to create an icon in the "
           "Start menu (usually the main executable file). Leave this box empty if you do not "
           "need icons."));
    QPushButton* browse = Button(tr("&Browse"), this);
    Column(this)->addLayout(Row(m_file, browse));
    AddText(tr("Please enter below the name of the icon corresponding to the above file :"));
    Column(this)->addWidget(m_name);
    AddText(
        tr("Please select the following option if you want a shortcut to be added to the "
           "deskop :"));
    Column(this)->addWidget(m_shortcut);
    Column(this)->addStretch(1);
    connect(m_file, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_strIconFile = text;
        Rule();
    });
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_strIconName = text;
        Rule();
    });
    connect(browse, &QPushButton::clicked, this, &CShellPage::Browse);
    connect(m_shortcut, &QCheckBox::clicked, this, [this](bool checked) { m_bShortcut = checked; });
}

void CShellPage::OnFirstShow()
{
    m_file->setText(m_strIconFile);
    m_name->setText(m_strIconName);
    m_file->setFocus();
}

void CShellPage::OnSetActive()
{
    Rule();
}

void CShellPage::Rule()
{
    QString problem;
    if (m_strIconFile.isEmpty()) {
        SetButtons(CWizSheet::Back | CWizSheet::Next);
    } else if (m_strIconName.isEmpty()) {
        problem = tr("The icon needs a name.");
        SetButtons(CWizSheet::Back);
    } else {
        problem = ProblemOf(*this, m_strIconFile);
        SetButtons(problem.isEmpty() ? CWizSheet::Back | CWizSheet::Next : CWizSheet::Back);
    }
    SetProblem(problem);
}

void CShellPage::Browse()
{
    QString chosen =
        CUserPrompt::OpenFileName(this, tr("Open"), ToQt(Version().m_strSourceDir) + "*.exe",
                                  CUserPrompt::QtFilter(LoadQString(1028)));
    if (chosen.isEmpty()) return;
    m_file->setText(QDir::toNativeSeparators(chosen));
}

// ---------------------------------------------------------------- 5 Information

CInfoPage::CInfoPage(CWizSheet* sheet)
    : CWizPage(sheet, 167, tr("Information")),
      m_text(new QPlainTextEdit(this)),
      m_preview(Button(tr("Pre&view"), this))
{
    AddText(
        tr("Optional: Enter below any additional information you would like displayed before "
           "the install process (e.g. license info, installing details)."));
    Column(this)->addWidget(m_text, 1);
    Column(this)->addLayout(Row(new QWidget(this), m_preview));
    m_text->setTabChangesFocus(true);
    connect(m_text, &QPlainTextEdit::textChanged, this,
            [this] { m_preview->setEnabled(!m_text->toPlainText().trimmed().isEmpty()); });
    connect(m_preview, &QPushButton::clicked, this, [this] {
        if (m_text->toPlainText().trimmed().isEmpty()) return;
        OnKillActive();
        Sheet().Preview(PageInformation);
    });
}

void CInfoPage::OnFirstShow()
{
    QString text = ToQt(Version().m_texts[PageInformation][kInformationText]);
    text.remove('\r');
    m_text->setPlainText(text);
    m_preview->setEnabled(!text.trimmed().isEmpty());
}

void CInfoPage::OnKillActive()
{
    // Stored with the line breaks of the install program's multi-line box.
    QString text = m_text->toPlainText();
    text.replace('\n', "\r\n");
    Version().m_texts[PageInformation][kInformationText] = FromQt(text);
}

// ---------------------------------------------------------------- 6 Window

CWindowPage::CWindowPage(CWizSheet* sheet)
    : CWizPage(sheet, 145, tr("Window")),
      m_small(new QRadioButton(tr("&Small"), this)),
      m_full(new QRadioButton(tr("&Full Screen"), this)),
      m_title(new QLineEdit(this))
{
    AddText(tr("Please select the window format:"));
    auto* samples = new QGridLayout;
    samples->addWidget(new CModeSample(false, this), 0, 0, Qt::AlignCenter);
    samples->addWidget(new CModeSample(true, this), 0, 1, Qt::AlignCenter);
    samples->addWidget(m_small, 1, 0, Qt::AlignCenter);
    samples->addWidget(m_full, 1, 1, Qt::AlignCenter);
    Column(this)->addLayout(samples);
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_small);
    modes->addButton(m_full);
    Column(this)->addSpacing(8);
    AddText(tr("Enter the text that will appear in the top-left corner of the window:"));
    Column(this)->addWidget(m_title);
    Column(this)->addStretch(1);
    QPushButton* preview = Button(tr("Pre&view"), this);
    Column(this)->addLayout(Row(new QWidget(this), preview));
    connect(m_small, &QRadioButton::clicked, this, [this] { SetMode(CDataArray::SmallWindow); });
    connect(m_full, &QRadioButton::clicked, this, [this] { SetMode(CDataArray::FullScreen); });
    connect(m_title, &QLineEdit::editingFinished, this, &CWindowPage::CommitTitle);
    connect(preview, &QPushButton::clicked, this, [this] {
        CommitTitle();
        Sheet().Preview(PagePresentation);
    });
}

void CWindowPage::OnFirstShow()
{
    bool fullScreen = Project().m_nWindowMode == CDataArray::FullScreen;
    (fullScreen ? m_full : m_small)->setChecked(true);
    ShowTitle();
    m_title->setEnabled(fullScreen);
}

void CWindowPage::ShowTitle()
{
    m_title->setText(ToQt(Project().m_strBackTitle));
}

void CWindowPage::SetMode(int mode)
{
    Project().m_nWindowMode = mode;
    m_title->setEnabled(mode == CDataArray::FullScreen);
}

void CWindowPage::CommitTitle()
{
    std::string title = FromQt(m_title->text());
    if (title == Project().m_strBackTitle) return;
    Project().m_strBackTitle = title;
    Sheet().SetTitleEdited();
}

void CWindowPage::OnKillActive()
{
    CommitTitle();
}

// ---------------------------------------------------------------- 7 Bitmaps

CBitmapsPage::CBitmapsPage(CWizSheet* sheet)
    : CWizPage(sheet, 146, tr("Bitmaps")),
      m_wizard(new QLineEdit(this)),
      m_pattern(new QLineEdit(this))
{
    AddText(
        tr("Optional: please enter below the name of the bitmap to display to the left of the "
           "window. This bitmap must be a Windows BMP file, 128x280 in size:"));
    QPushButton* browse = Button(tr("&Browse"), this);
    Column(this)->addLayout(Row(m_wizard, browse));
    Column(this)->addSpacing(8);
    m_patternText =
        AddText(tr("Optional: you can replace the standard gradient background by a "
                   "pattern. Please enter below the name of this pattern. This bitmap "
                   "must be a 16 or 256 color Windows BMP file."));
    m_patternBrowse = Button(tr("B&rowse"), this);
    Column(this)->addLayout(Row(m_pattern, m_patternBrowse));
    Column(this)->addStretch(1);
    QPushButton* preview = Button(tr("Pre&view"), this);
    Column(this)->addLayout(Row(new QWidget(this), preview));
    connect(browse, &QPushButton::clicked, this, [this] { Browse(0); });
    connect(m_patternBrowse, &QPushButton::clicked, this, [this] { Browse(1); });
    connect(m_wizard, &QLineEdit::editingFinished, this, &CBitmapsPage::OnKillActive);
    connect(m_pattern, &QLineEdit::editingFinished, this, &CBitmapsPage::OnKillActive);
    connect(preview, &QPushButton::clicked, this, [this] {
        OnKillActive();
        Sheet().Preview(PagePresentation);
    });
}

void CBitmapsPage::OnFirstShow()
{
    m_wizard->setText(ToQt(Project().m_strWizardBitmap));
    m_pattern->setText(ToQt(Project().m_strBackBitmap));
}

void CBitmapsPage::OnSetActive()
{
    bool full = Project().m_nWindowMode == CDataArray::FullScreen;
    for (QWidget* control : {m_patternText, static_cast<QWidget*>(m_pattern),
                             static_cast<QWidget*>(m_patternBrowse)}) {
        control->setVisible(full);
    }
    CWizPage::OnSetActive();
}

void CBitmapsPage::OnKillActive()
{
    Project().m_strWizardBitmap = FromQt(m_wizard->text());
    Project().m_strBackBitmap = FromQt(m_pattern->text());
}

void CBitmapsPage::Browse(int which)
{
    QLineEdit* edit = which == 0 ? m_wizard : m_pattern;
    QString chosen = CUserPrompt::OpenFileName(this, tr("Open"), edit->text(),
                                               CUserPrompt::QtFilter(LoadQString(1158)));
    if (chosen.isEmpty() || !AcceptChosenBitmap(this, chosen, which == 0)) return;
    edit->setText(QDir::toNativeSeparators(chosen));
    OnKillActive();
}

// ---------------------------------------------------------------- 8 Installation directory

CInstallDirPage::CInstallDirPage(CWizSheet* sheet)
    : CWizPage(sheet, 150, tr("Installation directory")), m_dir(new QLineEdit(this))
{
    AddText(
        tr("Please enter below the default directory where the Install program will install "
           "your product."));
    Column(this)->addWidget(m_dir);
    Column(this)->addSpacing(8);
    AddText(
        tr("Optional: if you want the install program to retrieve this directory from the "
           "registry base or a .ini file, please click the corresponding button :"));
    QPushButton* registry = Button(tr("&Registry base"), this);
    QPushButton* ini = Button(tr("&INI file"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(registry);
    row->addWidget(ini);
    row->addStretch(1);
    Column(this)->addLayout(row);
    Column(this)->addStretch(1);
    QPushButton* preview = Button(tr("Pre&view"), this);
    Column(this)->addLayout(Row(new QWidget(this), preview));
    connect(m_dir, &QLineEdit::editingFinished, this, &CInstallDirPage::OnKillActive);
    connect(registry, &QPushButton::clicked, this, &CInstallDirPage::EditRegistry);
    connect(ini, &QPushButton::clicked, this, &CInstallDirPage::EditIniFile);
    connect(preview, &QPushButton::clicked, this, [this] {
        OnKillActive();
        Sheet().Preview(PageDirectory);
    });
}

void CInstallDirPage::OnFirstShow()
{
    m_dir->setText(ToQt(Version().m_strInstallDir));
}

void CInstallDirPage::OnKillActive()
{
    Version().m_strInstallDir = FromQt(m_dir->text());
}

void CInstallDirPage::EditRegistry()
{
    CData& version = Version();
    CRegKeyDialog dialog(this, version.m_nDirRootKey, version.m_strDirKey, version.m_strDirSubkey);
    if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return;
    version.m_nDirRootKey = dialog.RootKey();
    version.m_strDirKey = dialog.Key();
    version.m_strDirSubkey = dialog.Subkey();
}

void CInstallDirPage::EditIniFile()
{
    CData& version = Version();
    CIniFileDialog dialog(this, version.m_strDirIniFile, version.m_strDirIniSection,
                          version.m_strDirIniEntry);
    if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return;
    version.m_strDirIniFile = dialog.File();
    version.m_strDirIniSection = dialog.Section();
    version.m_strDirIniEntry = dialog.EntryName();
}

// ---------------------------------------------------------------- 9 End page options

CEndOptionsPage::CEndOptionsPage(CWizSheet* sheet)
    : CWizPage(sheet, 10003, tr("End page options")),
      m_view(new QLineEdit(this)),
      m_run(new QLineEdit(this))
{
    AddText(
        tr("If you would like user to be able to view a document file showing the latest "
           "information concerning your product, please enter below the name of this file. A "
           "View button will be added to the end page of the install wizard."));
    QPushButton* browseView = Button(tr("&Browse"), this);
    Column(this)->addLayout(Row(m_view, browseView));
    Column(this)->addSpacing(8);
    AddText(
        tr("If you would like the install program to launch your product when exiting, please "
           "enter below the name of the file to launch. A check box will be added to the end "
           "page of the install wizard, so that user can launch or not this file."));
    QPushButton* browseRun = Button(tr("B&rowse"), this);
    Column(this)->addLayout(Row(m_run, browseRun));
    Column(this)->addStretch(1);
    connect(m_view, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_strView = text;
        Rule();
    });
    connect(m_run, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_strRun = text;
        Rule();
    });
    connect(browseView, &QPushButton::clicked, this, [this] { Browse(false); });
    connect(browseRun, &QPushButton::clicked, this, [this] { Browse(true); });
}

void CEndOptionsPage::OnFirstShow()
{
    m_view->setText(m_strView);
    m_run->setText(m_strRun);
    m_view->setFocus();
}

void CEndOptionsPage::OnSetActive()
{
    Rule();
}

void CEndOptionsPage::Rule()
{
    int buttons = CWizSheet::Back | CWizSheet::Next;
    QString viewProblem = m_strView.isEmpty() ? QString() : ProblemOf(*this, m_strView);
    QString runProblem = m_strRun.isEmpty() ? QString() : ProblemOf(*this, m_strRun);
    if (!viewProblem.isEmpty()) buttons = CWizSheet::Back;
    if (!runProblem.isEmpty()) buttons &= ~CWizSheet::Next;
    SetButtons(buttons);
    SetProblem(viewProblem.isEmpty() ? runProblem : viewProblem);
}

void CEndOptionsPage::Browse(bool run)
{
    QString source = ToQt(Version().m_strSourceDir);
    QString chosen = run ? CUserPrompt::OpenFileName(this, tr("Open"), source + "*.exe",
                                                     CUserPrompt::QtFilter(LoadQString(1028)))
                         : CUserPrompt::OpenFileName(this, tr("Open"), source + "*.*",
                                                     CUserPrompt::QtFilter(LoadQString(1168)));
    if (chosen.isEmpty()) return;
    (run ? m_run : m_view)->setText(QDir::toNativeSeparators(chosen));
}

// ---------------------------------------------------------------- 10 Uninstallation

CUninstallPage::CUninstallPage(CWizSheet* sheet)
    : CWizPage(sheet, 9999, tr("Uninstallation")),
      m_box(new QCheckBox(tr("&Uninstall program"), this))
{
    AddText(
        tr("Please check the following options if you want the Install program to create an "
           "Uninstall program:"));
    Column(this)->addWidget(m_box);
    Column(this)->addStretch(1);
    m_box->setChecked(true);
}

bool CUninstallPage::Uninstaller() const
{
    return m_box->isChecked();
}

// ---------------------------------------------------------------- 11 End

CEndPage::CEndPage(CWizSheet* sheet)
    : CWizPage(sheet, 152, tr("End")),
      m_noBuild(new QCheckBox(tr("&Do not build the Install program"), this))
{
    AddText(
        tr("The Velkan wizard now has enough information required to build your install "
           "program."));
    Column(this)->addSpacing(8);
    AddText(
        tr("The Velkan wizard will now launch the building process. Select the following "
           "option if you want to change your settings, e.g. to attach icons to other files, "
           "or to specify keys to remove from the registry base."));
    Column(this)->addWidget(m_noBuild);
    Column(this)->addStretch(1);
}

void CEndPage::OnSetActive()
{
    SetButtons(CWizSheet::Back | CWizSheet::Finish);
}

void CEndPage::OnWizardFinish()
{
    Version().m_bAutoBuild = m_noBuild->isChecked() ? 0 : 1;
}

}  // namespace velkan
