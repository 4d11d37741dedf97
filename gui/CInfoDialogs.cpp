#include "gui/CInfoDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstring>
#include <vector>

#include "core/package/FileStringFit.h"
#include "core/syntax/PathMacros.h"
#include "core/syntax/StringSyntax.h"
#include "gui/CMacroMenu.h"
#include "gui/CUserPrompt.h"
#include "gui/DialogButtons.h"
#include "gui/IniFileName.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

QPushButton* MacroButton(QWidget* parent)
{
    auto* button = new QPushButton(QObject::tr(">"), parent);
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(">") + 20);
    return button;
}

QPushButton* OkOf(QDialogButtonBox* buttons)
{
    return buttons->button(QDialogButtonBox::Ok);
}

// A label with its buddy in a grid row.
void AddRow(QGridLayout* grid, int row, const QString& text, QWidget* field,
            QWidget* extra = nullptr)
{
    auto* label = new QLabel(text, field->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    if (extra) grid->addWidget(extra, row, 2);
}

void FillRootKeys(QComboBox* list, int rootKey)
{
    for (int root = 0; root < 4; ++root) list->addItem(CRegInfo::RootKeyName(root));
    list->setCurrentIndex(rootKey >= 0 && rootKey < 4 ? rootKey : 0);
}

constexpr int kWindow = 0x20000;
constexpr int kStep = 0x10000;

}  // namespace

// ---------------------------------------------------------------- Write string to INI file

CIniWriteDialog::CIniWriteDialog(QWidget* parent, const CIniInfo& entry)
    : QDialog(parent),
      m_entry(entry),
      m_file(new QLineEdit(this)),
      m_section(new QLineEdit(this)),
      m_entryName(new QLineEdit(this)),
      m_value(new QLineEdit(this)),
      m_noOverwrite(new QCheckBox(tr("&Do not overwrite existing entry"), this))
{
    setWindowTitle(tr("Write string to INI file"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    QPushButton* macro = MacroButton(this);
    AddRow(grid, 0, tr("&File :"), m_file);
    AddRow(grid, 1, tr("&Section :"), m_section);
    AddRow(grid, 2, tr("&Entry :"), m_entryName);
    AddRow(grid, 3, tr("S&tring :"), m_value, macro);
    layout->addLayout(grid);
    layout->addWidget(m_noOverwrite);
    QDialogButtonBox* buttons = MakeDialogButtons(this, kTemplateId);
    m_ok = OkOf(buttons);
    layout->addWidget(buttons);
    resize(440, sizeHint().height());

    m_file->setText(ToQt(entry.m_strFile));
    m_section->setText(ToQt(entry.m_strSection));
    m_entryName->setText(ToQt(entry.m_strEntry));
    m_value->setText(ToQt(entry.m_strValue));
    m_noOverwrite->setChecked((entry.m_nFlags & CIniInfo::kFlagNoOverwrite) != 0);
    m_ok->setEnabled(!entry.m_strFile.empty() && !entry.m_strSection.empty() &&
                     !entry.m_strEntry.empty());
    m_bInit = false;

    for (QLineEdit* edit : {m_file, m_section, m_entryName, m_value}) {
        connect(edit, &QLineEdit::textChanged, this, &CIniWriteDialog::OnChanged);
    }
    connect(m_file, &QLineEdit::editingFinished, this, &CIniWriteDialog::CommitFile);
    connect(m_noOverwrite, &QCheckBox::clicked, this, [this](bool checked) {
        m_entry.m_nFlags = checked ? (m_entry.m_nFlags | CIniInfo::kFlagNoOverwrite)
                                   : (m_entry.m_nFlags & ~CIniInfo::kFlagNoOverwrite);
    });
    connect(macro, &QPushButton::clicked, this, [this] {
        int id = CMacroMenu::Track(CMacroMenu::Macro2, this, QCursor::pos());
        if (id != 0) InsertMacro(id);
    });
    // The file name is taken when its box is left; OK pressed from inside it leaves it too.
    disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        CommitFile();
        accept();
    });
}

void CIniWriteDialog::OnChanged()
{
    if (m_bInit) return;
    m_entry.m_strSection = FromQt(m_section->text());
    m_entry.m_strEntry = FromQt(m_entryName->text());
    m_entry.m_strValue = FromQt(m_value->text());
    m_ok->setEnabled(!m_file->text().isEmpty() && !m_section->text().isEmpty() &&
                     !m_entryName->text().isEmpty());
}

void CIniWriteDialog::CommitFile()
{
    std::string name = WithIniExtension(FromQt(m_file->text()));
    if (ToQt(name) != m_file->text()) m_file->setText(ToQt(name));
    m_entry.m_strFile = name;
}

void CIniWriteDialog::InsertMacro(int commandId)
{
    m_value->setText(ToQt(AppendMacroToken(FromQt(m_value->text()), commandId, kMacroMenu2)));
}

// ---------------------------------------------------------------- Write string to registry key

CRegWriteDialog::CRegWriteDialog(QWidget* parent, const CRegInfo& entry)
    : QDialog(parent),
      m_entry(entry),
      m_root(new QComboBox(this)),
      m_key(new QLineEdit(this)),
      m_subkey(new QLineEdit(this)),
      m_value(new QLineEdit(this)),
      m_noOverwrite(new QCheckBox(tr("&Do not overwrite existing entry"), this))
{
    setWindowTitle(tr("Write string to registry key"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    QPushButton* macro = MacroButton(this);
    AddRow(grid, 0, tr("&Root key :"), m_root);
    AddRow(grid, 1, tr("&Key :"), m_key);
    AddRow(grid, 2, tr("S&ubkey :"), m_subkey);
    AddRow(grid, 3, tr("S&tring :"), m_value, macro);
    layout->addLayout(grid);
    layout->addWidget(m_noOverwrite);
    QDialogButtonBox* buttons = MakeDialogButtons(this, kTemplateId);
    m_ok = OkOf(buttons);
    layout->addWidget(buttons);
    resize(440, sizeHint().height());

    FillRootKeys(m_root, entry.m_nRootKey);
    m_key->setText(ToQt(entry.m_strKey));
    m_subkey->setText(ToQt(entry.m_strSubkey));
    m_value->setText(ToQt(entry.m_strValue));
    m_noOverwrite->setChecked((entry.m_nFlags & CRegInfo::kFlagNoOverwrite) != 0);
    m_ok->setEnabled(!entry.m_strKey.empty());
    m_bInit = false;

    connect(m_root, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_entry.m_nRootKey = index; });
    connect(m_key, &QLineEdit::textChanged, this, &CRegWriteDialog::OnChanged);
    connect(m_value, &QLineEdit::textChanged, this, &CRegWriteDialog::OnChanged);
    connect(m_subkey, &QLineEdit::editingFinished, this,
            [this] { m_entry.m_strSubkey = FromQt(m_subkey->text()); });
    connect(m_noOverwrite, &QCheckBox::clicked, this, [this](bool checked) {
        m_entry.m_nFlags = checked ? (m_entry.m_nFlags | CRegInfo::kFlagNoOverwrite)
                                   : (m_entry.m_nFlags & ~CRegInfo::kFlagNoOverwrite);
    });
    connect(macro, &QPushButton::clicked, this, [this] {
        int id = CMacroMenu::Track(CMacroMenu::Macro2, this, QCursor::pos());
        if (id != 0) InsertMacro(id);
    });
    disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        m_entry.m_strSubkey = FromQt(m_subkey->text());
        accept();
    });
}

void CRegWriteDialog::OnChanged()
{
    if (m_bInit) return;
    m_entry.m_strKey = FromQt(m_key->text());
    m_entry.m_strValue = FromQt(m_value->text());
    m_ok->setEnabled(!m_entry.m_strKey.empty());
}

void CRegWriteDialog::InsertMacro(int commandId)
{
    m_value->setText(ToQt(AppendMacroToken(FromQt(m_value->text()), commandId, kMacroMenu2)));
}

// ---------------------------------------------------------------- Write string to file

CFileWriteDialog::CFileWriteDialog(QWidget* parent, const CFileInfo& entry,
                                   const std::string& sourceDir)
    : QDialog(parent),
      m_entry(entry),
      m_strSourceDir(sourceDir),
      m_file(new QLineEdit(this)),
      m_numerical(new QRadioButton(tr("&Numerical"), this)),
      m_string(new QRadioButton(tr("&String"), this)),
      m_offset(new QLineEdit(this)),
      m_text(new QLineEdit(this)),
      m_example(new QLabel(this)),
      m_validity(new QLabel(this)),
      m_check(new QPushButton(tr("Chec&k"), this)),
      m_fit(new QLabel(this))
{
    if (!m_strSourceDir.empty() &&
        (m_strSourceDir.back() == '\\' || m_strSourceDir.back() == '/')) {
        m_strSourceDir.pop_back();
    }
    setWindowTitle(tr("Write string to file"));
    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel(tr("&Filename :"), this);
    fileLabel->setBuddy(m_file);
    auto* browse = new QPushButton(tr("&Browse"), this);
    browse->setAutoDefault(false);
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow);

    auto* offsetGroup = new QGroupBox(tr("Offset"), this);
    auto* offsetGrid = new QGridLayout(offsetGroup);
    offsetGrid->addWidget(m_numerical, 0, 0);
    offsetGrid->addWidget(m_string, 1, 0);
    offsetGrid->addWidget(m_offset, 0, 1);
    offsetGrid->addWidget(m_validity, 0, 2);
    offsetGrid->addWidget(m_check, 1, 2);
    offsetGrid->addWidget(m_example, 1, 1);
    offsetGrid->setColumnStretch(1, 1);
    m_check->setAutoDefault(false);
    m_validity->setMinimumWidth(m_validity->fontMetrics().horizontalAdvance(LoadQString(1216)) + 8);
    QPalette hint = m_example->palette();
    hint.setColor(QPalette::WindowText, hint.color(QPalette::PlaceholderText));
    m_example->setPalette(hint);
    layout->addWidget(offsetGroup);

    auto* textRow = new QHBoxLayout;
    auto* textLabel = new QLabel(tr("S&tring to write :"), this);
    textLabel->setBuddy(m_text);
    QPushButton* macro = MacroButton(this);
    textRow->addWidget(textLabel);
    textRow->addWidget(m_text, 1);
    textRow->addWidget(macro);
    layout->addLayout(textRow);
    m_fit->setWordWrap(true);
    m_fit->hide();
    layout->addWidget(m_fit);
    QDialogButtonBox* buttons = MakeDialogButtons(this, kTemplateId);
    m_ok = OkOf(buttons);
    layout->addWidget(buttons);
    resize(480, sizeHint().height());

    m_file->setText(ToQt(entry.m_strFile));
    (entry.m_nOffsetMode == CFileInfo::String ? m_string : m_numerical)->setChecked(true);
    m_offset->setText(ToQt(entry.m_strOffset));
    m_text->setText(ToQt(entry.m_strText));
    ValidateOffset();
    m_bInit = false;

    m_offset->installEventFilter(this);
    connect(m_numerical, &QRadioButton::clicked, this, [this] {
        m_entry.m_nOffsetMode = CFileInfo::Numerical;
        ValidateOffset();
    });
    connect(m_string, &QRadioButton::clicked, this, [this] {
        m_entry.m_nOffsetMode = CFileInfo::String;
        ValidateOffset();
    });
    for (QLineEdit* edit : {m_file, m_offset, m_text}) {
        connect(edit, &QLineEdit::textChanged, this, &CFileWriteDialog::OnChanged);
    }
    connect(browse, &QPushButton::clicked, this, &CFileWriteDialog::Browse);
    connect(m_check, &QPushButton::clicked, this, &CFileWriteDialog::CheckOffset);
    connect(macro, &QPushButton::clicked, this, [this] {
        int id = CMacroMenu::Track(CMacroMenu::Macro2, this, QCursor::pos());
        if (id != 0) InsertMacro(id);
    });
}

bool CFileWriteDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_offset && event->type() == QEvent::FocusIn) ShowExample(true);
    if (watched == m_offset && event->type() == QEvent::FocusOut) ShowExample(false);
    return QDialog::eventFilter(watched, event);
}

void CFileWriteDialog::ShowExample(bool show)
{
    if (show) {
        m_example->setText(LoadQString(m_entry.m_nOffsetMode == CFileInfo::String ? 1063 : 1062));
    } else {
        m_entry.m_strOffset = FromQt(m_offset->text());
        m_example->clear();
    }
    ValidateOffset();
}

void CFileWriteDialog::OnChanged()
{
    if (m_bInit) return;
    m_entry.m_strFile = FromQt(m_file->text());
    m_entry.m_strOffset = FromQt(m_offset->text());
    m_entry.m_strText = FromQt(m_text->text());
    ValidateOffset();
}

void CFileWriteDialog::ValidateOffset()
{
    bool valid = true;
    bool checkEnabled = true;
    bool okEnabled = true;
    QString text = m_offset->text().trimmed();
    if (text.isEmpty()) {
        valid = checkEnabled = okEnabled = false;
    } else if (m_entry.m_nOffsetMode == CFileInfo::String) {
        std::string pattern = FromQt(text);
        size_t size = ParseBytePattern(pattern);
        std::vector<unsigned char> bytes(size);
        if (size == 0 || ParseBytePattern(pattern, bytes.data(), bytes.size()) == 0) {
            valid = checkEnabled = okEnabled = false;
        }
    } else {
        checkEnabled = false;
        QString upper = text.toUpper();
        bool hex = upper.size() >= 3 && upper.startsWith("0X");
        for (qsizetype i = hex ? 2 : 0; i < upper.size(); ++i) {
            QChar c = upper[i];
            bool digit = c >= '0' && c <= '9';
            if (!(digit || (hex && c >= 'A' && c <= 'F'))) {
                valid = okEnabled = false;
                break;
            }
        }
    }
    if (m_text->text().isEmpty()) okEnabled = false;
    // A string that cannot fit where it is to be written would fail the install at its end.
    QString problem;
    if (okEnabled) {
        CFileInfo entry = m_entry;
        entry.m_strOffset = FromQt(text);
        entry.m_strText = FromQt(m_text->text());
        if (std::optional<std::string> path =
                FileStringSourcePath(Cp1252ToUtf8(m_strSourceDir), entry)) {
            problem = FromEngineText(FileStringFitProblem(entry, *path));
        }
    }
    if (!problem.isEmpty()) okEnabled = false;
    m_fit->setText(problem.isEmpty() ? QString() : tr("Cannot be written: %1.").arg(problem));
    m_fit->setVisible(!problem.isEmpty());
    if (m_ok) m_ok->setEnabled(okEnabled);
    m_check->setEnabled(checkEnabled);
    m_validity->setText(LoadQString(valid ? 1217 : 1216));
}

int64_t CFileWriteDialog::FindPattern(const QString& hostPath, const std::string& pattern)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly)) return -2;
    const size_t n = pattern.size();
    if (n == 0) return -1;
    const auto* wanted = reinterpret_cast<const unsigned char*>(pattern.data());
    std::vector<unsigned char> buffer(kWindow);
    int64_t remaining = file.size();
    int64_t got =
        file.read(reinterpret_cast<char*>(buffer.data()), qMin<int64_t>(remaining, kWindow));
    if (got < 0) return -1;
    size_t fill = static_cast<size_t>(got);
    remaining -= got;
    int64_t base = 0;
    auto matchAt = [&](size_t pos) {
        return pos + n <= fill && std::memcmp(buffer.data() + pos, wanted, n) == 0;
    };
    while (remaining > 0) {
        for (size_t pos = 0; pos < kStep; ++pos) {
            if (matchAt(pos)) return base + static_cast<int64_t>(pos);
        }
        std::memmove(buffer.data(), buffer.data() + kStep, kStep);
        got = file.read(reinterpret_cast<char*>(buffer.data()) + kStep,
                        qMin<int64_t>(remaining, kStep));
        // A file that shrinks or fails while read ends the search with what was read.
        if (got <= 0) {
            fill = kStep;
            remaining = 0;
        } else {
            fill = kStep + static_cast<size_t>(got);
            remaining -= got;
        }
        base += kStep;
    }
    for (size_t pos = 0; pos + n <= fill; ++pos) {
        if (matchAt(pos)) return base + static_cast<int64_t>(pos);
    }
    return -1;
}

void CFileWriteDialog::CheckOffset()
{
    if (m_entry.m_nOffsetMode != CFileInfo::String) return;
    const std::string& name = m_entry.m_strFile;
    QString path;
    bool absolute = name.rfind("\\\\", 0) == 0 || (name.size() > 1 && name[1] == ':') ||
                    (!name.empty() && name[0] == '/');
    if (absolute) {
        path = ToQt(name);
    } else {
        QString relative = ToQt(name);
        relative.replace('\\', '/');
        path = ToQt(m_strSourceDir) + "/" + relative;
    }
    std::string text = FromQt(m_offset->text().trimmed());
    size_t size = ParseBytePattern(text);
    std::vector<unsigned char> bytes(size);
    if (size > 0) size = ParseBytePattern(text, bytes.data(), bytes.size());
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        CUserPrompt::Information(this, LoadQString(1064));
        return;
    }
    probe.close();
    if (size == 0) {
        CUserPrompt::Information(this, LoadQString(1213));
        return;
    }
    int64_t found = FindPattern(path, std::string(bytes.begin(), bytes.end()));
    if (found < 0) {
        CUserPrompt::Information(this, LoadQString(found == -2 ? 1064 : 1213));
        return;
    }
    CUserPrompt::Information(this, LoadQString(1214).replace("%d", QString::number(found)));
}

void CFileWriteDialog::Browse()
{
    QString source = ToQt(m_strSourceDir);
    QString initial = m_entry.m_strFile.empty() ? source + "/*.*" : ToQt(m_entry.m_strFile);
    QString chosen = CUserPrompt::OpenFileName(this, tr("Open"), initial,
                                               CUserPrompt::QtFilter(LoadQString(1168)));
    if (chosen.isEmpty()) return;
    QString native = QDir::toNativeSeparators(chosen);
    QString nativeSource = QDir::toNativeSeparators(source);
    QString relative;
    if (!nativeSource.isEmpty() && native.size() > nativeSource.size() &&
        native.startsWith(nativeSource, Qt::CaseInsensitive) &&
        (native[nativeSource.size()] == '/' || native[nativeSource.size()] == '\\')) {
        relative = native.mid(nativeSource.size() + 1);
        relative.replace('/', '\\');
    } else {
        CUserPrompt::Information(this, LoadQString(1215));
    }
    m_entry.m_strFile = FromQt(relative);
    m_file->setText(relative);
}

void CFileWriteDialog::InsertMacro(int commandId)
{
    m_text->setText(ToQt(AppendMacroToken(FromQt(m_text->text()), commandId, kMacroMenu2)));
}

// ---------------------------------------------------------------- INI file

CIniFileDialog::CIniFileDialog(QWidget* parent, const std::string& file, const std::string& section,
                               const std::string& entry)
    : QDialog(parent),
      m_strFile(file),
      m_strSection(section),
      m_strEntry(entry),
      m_file(new QLineEdit(ToQt(file), this)),
      m_section(new QLineEdit(ToQt(section), this)),
      m_entryName(new QLineEdit(ToQt(entry), this))
{
    setWindowTitle(tr("INI file"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    AddRow(grid, 0, tr("&File :"), m_file);
    AddRow(grid, 1, tr("&Section :"), m_section);
    AddRow(grid, 2, tr("&Entry :"), m_entryName);
    layout->addLayout(grid);
    QDialogButtonBox* buttons = MakeDialogButtons(this, kTemplateId);
    layout->addWidget(buttons);
    resize(380, sizeHint().height());
    for (QLineEdit* edit : {m_file, m_section, m_entryName}) {
        connect(edit, &QLineEdit::editingFinished, this, &CIniFileDialog::ReadBack);
    }
    disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        ReadBack();
        accept();
    });
}

void CIniFileDialog::ReadBack()
{
    m_strFile = WithIniExtension(FromQt(m_file->text()));
    m_strSection = FromQt(m_section->text());
    m_strEntry = FromQt(m_entryName->text());
}

// ---------------------------------------------------------------- Registry key

CRegKeyDialog::CRegKeyDialog(QWidget* parent, int rootKey, const std::string& key,
                             const std::string& subkey)
    : QDialog(parent),
      m_nRootKey(rootKey),
      m_strKey(key),
      m_strSubkey(subkey),
      m_root(new QComboBox(this)),
      m_key(new QLineEdit(ToQt(key), this)),
      m_subkey(new QLineEdit(ToQt(subkey), this))
{
    setWindowTitle(tr("Registry key"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    AddRow(grid, 0, tr("&Root key :"), m_root);
    AddRow(grid, 1, tr("&Key :"), m_key);
    AddRow(grid, 2, tr("S&ubkey :"), m_subkey);
    layout->addLayout(grid);
    QDialogButtonBox* buttons = MakeDialogButtons(this, kTemplateId);
    layout->addWidget(buttons);
    resize(420, sizeHint().height());
    FillRootKeys(m_root, rootKey);
    connect(m_root, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_nRootKey = index; });
    connect(m_key, &QLineEdit::editingFinished, this, &CRegKeyDialog::ReadBack);
    connect(m_subkey, &QLineEdit::editingFinished, this, &CRegKeyDialog::ReadBack);
    disconnect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        ReadBack();
        accept();
    });
}

void CRegKeyDialog::ReadBack()
{
    m_strKey = FromQt(m_key->text());
    m_strSubkey = FromQt(m_subkey->text());
}

}  // namespace velkan
