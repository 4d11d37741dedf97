#include "gui/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "gui/CSetwellApp.h"
#include "gui/HelpTopics.h"

namespace velkan {

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, int helpId)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QPushButton* help = buttons->addButton(QObject::tr("&Help"), QDialogButtonBox::HelpRole);
    help->setAutoDefault(false);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(help, &QPushButton::clicked, dialog, [helpId] {
        CSetwellApp::Help(kHelpContextBase + static_cast<uint32_t>(helpId), true);
    });
    return buttons;
}

}  // namespace velkan
