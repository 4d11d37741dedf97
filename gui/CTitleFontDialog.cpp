#include "gui/CTitleFontDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/CUserPrompt.h"
#include "gui/LogFontQt.h"

namespace velkan {

CTitleFontDialog::CTitleFontDialog(QWidget* parent, const LogFont& font, uint32_t colorRef)
    : QDialog(parent),
      m_font(font),
      m_color(ToQColor(colorRef)),
      m_chooser(new QFontDialog(ToQFont(font), this)),
      m_colorButton(new QPushButton(tr("&Colour..."), this))
{
    setWindowTitle(tr("Font"));
    // The font chooser shown inside this dialog, with its own buttons left out.
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setOptions(QFontDialog::NoButtons | QFontDialog::ScalableFonts |
                          QFontDialog::NonScalableFonts);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Colour :"), this));
    row->addWidget(m_colorButton);
    row->addStretch(1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_colorButton, &QPushButton::clicked, this, &CTitleFontDialog::ChooseColor);
    SetColor(m_color);
    m_shown = m_chooser->currentFont();
}

void CTitleFontDialog::SetColor(const QColor& color)
{
    m_color = color;
    QPixmap swatch(32, 14);
    swatch.fill(color);
    m_colorButton->setIcon(QIcon(swatch));
    m_colorButton->setIconSize(swatch.size());
}

void CTitleFontDialog::ChooseColor()
{
    QColorDialog dialog(m_color, this);
    if (CUserPrompt::Exec(dialog) == QDialog::Accepted) SetColor(dialog.currentColor());
}

LogFont CTitleFontDialog::Font() const
{
    return FromQFont(m_font, m_chooser->currentFont(), m_shown);
}

uint32_t CTitleFontDialog::Color() const
{
    return FromQColor(m_color);
}

}  // namespace velkan
