#include "gui/CPreferencesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/CPrefGroup.h"
#include "gui/CSetwellApp.h"
#include "gui/CUserPrompt.h"
#include "gui/HelpTopics.h"

namespace velkan {

CPreferencesDialog::CPreferencesDialog(QWidget* parent)
    : QDialog(parent),
      m_wizard(new QCheckBox(tr("Start &Wizard when selecting New"), this)),
      m_ratio(new QCheckBox(tr("Display &Ratio"), this)),
      m_packedSize(new QCheckBox(tr("Display &Packed size"), this)),
      m_originalSize(new QCheckBox(tr("Display &Original size"), this)),
      m_signCommand(new QLineEdit(this)),
      m_deltaSearch(new QComboBox(this)),
      m_shareEqualFiles(
          new QCheckBox(tr("Share e&qual files (a file equal to an earlier one of its "
                           "version is stored once)"),
                        this))
{
    setWindowTitle(tr("Preferences"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_wizard);
    auto* output = new QGroupBox(tr("Build report"), this);
    auto* outputLayout = new QVBoxLayout(output);
    outputLayout->setContentsMargins(10, 8, 10, 8);
    outputLayout->addWidget(m_ratio);
    outputLayout->addWidget(m_packedSize);
    outputLayout->addWidget(m_originalSize);
    layout->addWidget(output);
    auto* signing = new QGroupBox(tr("Signing"), this);
    auto* signingLayout = new QVBoxLayout(signing);
    auto* signLabel =
        new QLabel(tr("&Sign the uninstaller and the setup program with this command\n"
                      "(%1 is the file's path; empty: no signing):"),
                   signing);
    signLabel->setBuddy(m_signCommand);
    signingLayout->addWidget(signLabel);
    signingLayout->addWidget(m_signCommand);
    layout->addWidget(signing);
    // Off by default: the default setup program stays exactly as before.
    auto* smaller = new QGroupBox(tr("Smaller setup programs"), this);
    auto* smallerLayout = new QVBoxLayout(smaller);
    auto* searchRow = new QHBoxLayout();
    auto* searchLabel = new QLabel(tr("&Delta search:"), smaller);
    searchLabel->setBuddy(m_deltaSearch);
    m_deltaSearch->addItem(tr("window (default)"));
    m_deltaSearch->addItem(tr("global"));
    m_deltaSearch->setToolTip(
        tr("Global: a changed file's delta may copy from anywhere in its earlier "
           "version, not only near the same place (more memory and time)."));
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_deltaSearch);
    searchRow->addStretch(1);
    smallerLayout->addLayout(searchRow);
    smallerLayout->addWidget(m_shareEqualFiles);
    layout->addWidget(smaller);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { CSetwellApp::Help(kHelpContextBase + kTemplateId, true); });

    CPrefGroup general = CPrefGroup::General();
    CPrefGroup out = CPrefGroup::Output();
    m_wizard->setChecked(general.Get(CPrefGroup::PrefWizard) != 0);
    m_ratio->setChecked(out.Get(CPrefGroup::PrefOutputRatio) != 0);
    m_packedSize->setChecked(out.Get(CPrefGroup::PrefOutputPackedSize) != 0);
    m_originalSize->setChecked(out.Get(CPrefGroup::PrefOutputOriginalSize) != 0);
    m_signCommand->setText(CPrefGroup::SignCommand());
    m_deltaSearch->setCurrentIndex(CPrefGroup::DeltaSearchChoice() == DeltaSearch::Global ? 1 : 0);
    m_shareEqualFiles->setChecked(CPrefGroup::ShareEqualFiles());
}

bool CPreferencesDialog::Run()
{
    if (CUserPrompt::Exec(*this) != QDialog::Accepted) return false;
    CPrefGroup general = CPrefGroup::General();
    CPrefGroup out = CPrefGroup::Output();
    general.Set(CPrefGroup::PrefWizard, m_wizard->isChecked() ? 1 : 0);
    out.Set(CPrefGroup::PrefOutputRatio, m_ratio->isChecked() ? 1 : 0);
    out.Set(CPrefGroup::PrefOutputPackedSize, m_packedSize->isChecked() ? 1 : 0);
    out.Set(CPrefGroup::PrefOutputOriginalSize, m_originalSize->isChecked() ? 1 : 0);
    CPrefGroup::SetSignCommand(m_signCommand->text().trimmed());
    CPrefGroup::SetDeltaSearchChoice(m_deltaSearch->currentIndex() == 1 ? DeltaSearch::Global
                                                                        : DeltaSearch::Window);
    CPrefGroup::SetShareEqualFiles(m_shareEqualFiles->isChecked());
    return true;
}

}  // namespace velkan
