#include "gui/CAboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/QtText.h"

namespace velkan {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("About Velkan"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(
        QString("<b>%1</b><br>%2<br><br>%3")
            .arg(LoadQString(128).section('\n', 0, 0).toHtmlEscaped(),
                 LoadQString(2017).toHtmlEscaped(), tr("Builds install programs for Windows.")),
        this);
    row->addWidget(text, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace velkan
