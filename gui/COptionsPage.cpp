#include "gui/COptionsPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/model/CDataArray.h"
#include "core/model/CRegInfo.h"
#include "core/model/DirFlags.h"
#include "core/model/PathCompare.h"
#include "core/syntax/PathMacros.h"
#include "core/wizard/WizardPage.h"
#include "core/wizard/WizardText.h"
#include "gui/CInstallSheet.h"
#include "gui/CMacroMenu.h"
#include "gui/CTitleFontDialog.h"
#include "gui/BitmapChoice.h"
#include "gui/CUserPrompt.h"
#include "gui/CWizardTest.h"
#include "gui/IniFileName.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

enum ControlId {
    IdSmall = 1071,
    IdNormal = 1072,
    IdWizardBitmap = 1015,
    IdWizardBitmapBrowse = 1016,
    IdBackBitmap = 1020,
    IdBackBitmapBrowse = 1021,
    IdBackTitle = 1022,
    IdFont = 1023,
    IdFontBrowse = 1024,
    IdInstallDir = 1019,
    IdMacro = 1147,
    IdReadOnly = 1074,
    IdRootKey = 1037,
    IdKey = 1044,
    IdSubkey = 1048,
    IdUpdateKey = 1128,
    IdIniFile = 1045,
    IdIniSection = 1046,
    IdIniEntry = 1047,
    IdUpdateEntry = 1129,
    IdPreview = 1109,
};

QPushButton* MakeButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

COptionsPage::COptionsPage(CInstallSheet* sheet)
    : CPatchPage(sheet, kTemplateId, tr("Wizard Options"), QSize(360, 230))
{
}

bool COptionsPage::InitPage()
{
    auto label = [this](const QString& text, int x, int y, int w, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        Place(l, 0, x, y, w, 9);
        if (buddy) l->setBuddy(buddy);
    };
    auto* window = new QGroupBox(tr("Window"), this);
    Place(window, 0, 7, 3, 170, 40);
    m_small = new QRadioButton(tr("&Small (wizard dialog)"), this);
    Place(m_small, IdSmall, 13, 14, 160, 10);
    m_normal = new QRadioButton(tr("&Normal (full screen, with background)"), this);
    Place(m_normal, IdNormal, 13, 27, 160, 10);
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_small, 0);
    modes->addButton(m_normal, 1);

    m_wizardBitmap = new QLineEdit(this);
    label(tr("&Wizard Bitmap (128x280):"), 7, 50, 170, m_wizardBitmap);
    Place(m_wizardBitmap, IdWizardBitmap, 7, 60, 150, 13);
    m_wizardBitmapBrowse = MakeButton(tr("..."), this);
    Place(m_wizardBitmapBrowse, IdWizardBitmapBrowse, 160, 60, 17, 13);
    m_backBitmap = new QLineEdit(this);
    label(tr("Background &bitmap (pattern):"), 7, 78, 170, m_backBitmap);
    Place(m_backBitmap, IdBackBitmap, 7, 88, 150, 13);
    m_backBitmapBrowse = MakeButton(tr("..."), this);
    Place(m_backBitmapBrowse, IdBackBitmapBrowse, 160, 88, 17, 13);
    m_backTitle = new QLineEdit(this);
    label(tr("Background &title:"), 7, 106, 170, m_backTitle);
    Place(m_backTitle, IdBackTitle, 7, 116, 170, 13);
    m_font = new QLineEdit(this);
    m_font->setReadOnly(true);
    label(tr("&Font :"), 7, 134, 170, m_font);
    Place(m_font, IdFont, 7, 144, 150, 13);
    m_fontBrowse = MakeButton(tr("..."), this);
    Place(m_fontBrowse, IdFontBrowse, 160, 144, 17, 13);
    m_preview = MakeButton(tr("&Preview"), this);
    Place(m_preview, IdPreview, 7, 206, 50, 14);

    auto* dirGroup = new QGroupBox(tr("Installation directory"), this);
    Place(dirGroup, 0, 185, 3, 168, 52);
    m_installDir = new QLineEdit(this);
    label(tr("&Default :"), 191, 15, 60, m_installDir);
    Place(m_installDir, IdInstallDir, 191, 25, 138, 13);
    m_macro = MakeButton(tr(">"), this);
    Place(m_macro, IdMacro, 332, 25, 15, 13);
    m_readOnly = new QCheckBox(tr("&Read-only"), this);
    Place(m_readOnly, IdReadOnly, 191, 41, 100, 10);

    auto* regGroup = new QGroupBox(tr("Optional: get it from registry base"), this);
    Place(regGroup, 0, 185, 59, 168, 72);
    m_rootKey = new QComboBox(this);
    label(tr("R&oot key:"), 191, 72, 45, m_rootKey);
    Place(m_rootKey, IdRootKey, 238, 70, 109, 13);
    m_key = new QLineEdit(this);
    label(tr("Ke&y :"), 191, 87, 45, m_key);
    Place(m_key, IdKey, 238, 85, 109, 13);
    m_subkey = new QLineEdit(this);
    label(tr("Su&bkey :"), 191, 102, 45, m_subkey);
    Place(m_subkey, IdSubkey, 238, 100, 109, 13);
    m_updateKey = new QCheckBox(tr("Update &key"), this);
    Place(m_updateKey, IdUpdateKey, 191, 117, 100, 10);

    auto* iniGroup = new QGroupBox(tr("Optional: get it from .ini file"), this);
    Place(iniGroup, 0, 185, 135, 168, 72);
    m_iniFile = new QLineEdit(this);
    label(tr("F&ile :"), 191, 148, 45, m_iniFile);
    Place(m_iniFile, IdIniFile, 238, 146, 109, 13);
    m_iniSection = new QLineEdit(this);
    label(tr("Se&ction :"), 191, 163, 45, m_iniSection);
    Place(m_iniSection, IdIniSection, 238, 161, 109, 13);
    m_iniEntry = new QLineEdit(this);
    label(tr("E&ntry :"), 191, 178, 45, m_iniEntry);
    Place(m_iniEntry, IdIniEntry, 238, 176, 109, 13);
    m_updateEntry = new QCheckBox(tr("Update &entry"), this);
    Place(m_updateEntry, IdUpdateEntry, 191, 193, 100, 10);

    for (int root = 0; root < 4; ++root) m_rootKey->addItem(CRegInfo::RootKeyName(root));

    connect(m_small, &QRadioButton::clicked, this, [this] { OnWindowMode(0); });
    connect(m_normal, &QRadioButton::clicked, this, [this] { OnWindowMode(1); });
    connect(m_readOnly, &QCheckBox::clicked, this, &COptionsPage::OnReadOnly);
    connect(m_updateKey, &QCheckBox::clicked, this, &COptionsPage::OnUpdateKey);
    connect(m_updateEntry, &QCheckBox::clicked, this, &COptionsPage::OnUpdateEntry);
    connect(m_rootKey, &QComboBox::activated, this, &COptionsPage::OnRootKey);
    for (QLineEdit* edit : {m_wizardBitmap, m_installDir, m_backBitmap, m_backTitle, m_key,
                            m_iniFile, m_iniSection, m_iniEntry, m_subkey}) {
        connect(edit, &QLineEdit::editingFinished, this, &COptionsPage::CommitEdits);
    }
    connect(m_wizardBitmapBrowse, &QPushButton::clicked, this, [this] { BrowseBitmap(0); });
    connect(m_backBitmapBrowse, &QPushButton::clicked, this, [this] { BrowseBitmap(1); });
    connect(m_fontBrowse, &QPushButton::clicked, this, &COptionsPage::ChooseFont);
    connect(m_macro, &QPushButton::clicked, this, [this] {
        int id = CMacroMenu::Track(CMacroMenu::Macro1, this, QCursor::pos());
        if (id != 0) InsertMacro(id);
    });
    connect(m_preview, &QPushButton::clicked, this, &COptionsPage::OnPreview);

    // Keyboard order: the look column, then the directory column.
    QWidget* order[] = {m_small,        m_normal,
                        m_wizardBitmap, m_wizardBitmapBrowse,
                        m_backBitmap,   m_backBitmapBrowse,
                        m_backTitle,    m_font,
                        m_fontBrowse,   m_installDir,
                        m_macro,        m_readOnly,
                        m_rootKey,      m_key,
                        m_subkey,       m_updateKey,
                        m_iniFile,      m_iniSection,
                        m_iniEntry,     m_updateEntry,
                        m_preview};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    LoadFromProject();
    return true;
}

void COptionsPage::EnableFullScreenControls(bool enable)
{
    for (QWidget* control :
         {static_cast<QWidget*>(m_backBitmap), static_cast<QWidget*>(m_backTitle),
          static_cast<QWidget*>(m_font), static_cast<QWidget*>(m_fontBrowse)}) {
        control->setEnabled(enable);
    }
}

void COptionsPage::LoadFromProject()
{
    if (!m_small) return;
    CData* version = GetCurrent();
    if (!version) return;
    const CDataArray& project = GetSheet()->GetProject();
    (project.m_nWindowMode == 1 ? m_normal : m_small)->setChecked(true);
    m_wizardBitmap->setText(ToQt(project.m_strWizardBitmap));
    m_backBitmap->setText(ToQt(project.m_strBackBitmap));
    m_backTitle->setText(ToQt(TextToDisplay(project.m_strBackTitle)));
    m_font->setText(ToQt(project.m_lfTitleFont.FaceName()));
    EnableFullScreenControls(project.m_nWindowMode == 1);
    m_installDir->setText(ToQt(version->m_strInstallDir));
    m_key->setText(ToQt(version->m_strDirKey));
    m_subkey->setText(ToQt(version->m_strDirSubkey));
    m_iniFile->setText(ToQt(version->m_strDirIniFile));
    m_iniSection->setText(ToQt(version->m_strDirIniSection));
    m_iniEntry->setText(ToQt(version->m_strDirIniEntry));
    m_readOnly->setChecked((version->m_nDirFlags & kDirChangeable) == 0);
    m_updateKey->setChecked((version->m_nDirFlags & kDirUpdateKey) != 0);
    m_updateEntry->setChecked((version->m_nDirFlags & kDirUpdateEntry) != 0);
    m_rootKey->setCurrentIndex(version->m_nDirRootKey);
}

void COptionsPage::OnWindowMode(int mode)
{
    if (!GetCurrent()) return;
    GetSheet()->GetProject().m_nWindowMode = mode;
    EnableFullScreenControls(mode == 1);
    SetProjectModified();
}

void COptionsPage::SetDirFlag(int32_t bit, bool set)
{
    CData* version = GetCurrent();
    if (!version) return;
    if (set) {
        version->m_nDirFlags |= bit;
    } else {
        version->m_nDirFlags &= ~bit;
    }
    SetProjectModified();
}

void COptionsPage::OnReadOnly()
{
    SetDirFlag(kDirChangeable, !m_readOnly->isChecked());
}

void COptionsPage::OnUpdateKey()
{
    SetDirFlag(kDirUpdateKey, m_updateKey->isChecked());
}

void COptionsPage::OnUpdateEntry()
{
    SetDirFlag(kDirUpdateEntry, m_updateEntry->isChecked());
}

void COptionsPage::OnRootKey(int index)
{
    CData* version = GetCurrent();
    if (!version) return;
    version->m_nDirRootKey = index;
    SetProjectModified();
}

void COptionsPage::CommitEdits()
{
    CData* version = GetCurrent();
    if (!version) return;
    CDataArray& project = GetSheet()->GetProject();
    bool changed = false;
    // Paths and the title: a change of letter case alone is not a change.
    auto takeNoCase = [&changed](QLineEdit* edit, std::string& field, bool display) {
        std::string text = FromQt(edit->text());
        if (display) text = DisplayToText(text);
        if (EqualsNoCase(text, field)) return;
        field = text;
        changed = true;
    };
    auto takeExact = [&changed](QLineEdit* edit, std::string& field) {
        std::string text = FromQt(edit->text());
        if (text == field) return false;
        field = text;
        changed = true;
        return true;
    };
    takeNoCase(m_wizardBitmap, project.m_strWizardBitmap, false);
    takeNoCase(m_installDir, version->m_strInstallDir, false);
    takeNoCase(m_backBitmap, project.m_strBackBitmap, false);
    takeNoCase(m_backTitle, project.m_strBackTitle, true);
    takeExact(m_key, version->m_strDirKey);
    if (takeExact(m_iniFile, version->m_strDirIniFile)) {
        version->m_strDirIniFile = WithIniExtension(version->m_strDirIniFile);
    }
    takeExact(m_iniSection, version->m_strDirIniSection);
    takeExact(m_iniEntry, version->m_strDirIniEntry);
    takeExact(m_subkey, version->m_strDirSubkey);
    if (changed) SetProjectModified();
}

void COptionsPage::BrowseBitmap(int which)
{
    if (!GetCurrent()) return;
    CDataArray& project = GetSheet()->GetProject();
    std::string& field = which == 0 ? project.m_strWizardBitmap : project.m_strBackBitmap;
    QLineEdit* edit = which == 0 ? m_wizardBitmap : m_backBitmap;
    QString chosen = CUserPrompt::OpenFileName(this, tr("Open"), ToQt(field),
                                               CUserPrompt::QtFilter(LoadQString(1158)));
    if (chosen.isEmpty()) return;
    std::optional<std::string> path = FromQtExact(chosen);
    if (!path) {
        CUserPrompt::Error(this, tr("The file name %1 cannot be written in the Windows-1252 "
                                    "code page of install programs.")
                                     .arg(chosen));
        return;
    }
    if (!AcceptChosenBitmap(this, chosen, which == 0)) return;
    field = *path;
    edit->setText(chosen);
    SetProjectModified();
}

void COptionsPage::ChooseFont()
{
    if (!GetCurrent()) return;
    CDataArray& project = GetSheet()->GetProject();
    CTitleFontDialog dialog(this, project.m_lfTitleFont, project.m_crTitleColor);
    if (CUserPrompt::Exec(dialog) != QDialog::Accepted) return;
    project.m_lfTitleFont = dialog.Font();
    project.m_crTitleColor = dialog.Color();
    m_font->setText(ToQt(project.m_lfTitleFont.FaceName()));
    SetProjectModified();
}

void COptionsPage::InsertMacro(int commandId)
{
    CData* version = GetCurrent();
    if (!version) return;
    std::string text = AppendMacroToken(FromQt(m_installDir->text()), commandId, kMacroMenu1);
    if (EqualsNoCase(text, version->m_strInstallDir)) return;
    m_installDir->setText(ToQt(text));
    version->m_strInstallDir = text;
    SetProjectModified();
}

void COptionsPage::OnPreview()
{
    CommitEdits();
    CWizardTest::Run(GetSheet()->GetProject(), PageDirectory, this);
}

}  // namespace velkan
