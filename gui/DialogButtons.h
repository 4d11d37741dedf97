// The OK, Cancel and "&Help" row of the editor's dialogs; Help opens the dialog's help topic.
#pragma once

class QDialog;
class QDialogButtonBox;

namespace velkan {

QDialogButtonBox* MakeDialogButtons(QDialog* dialog, int helpId);

}  // namespace velkan
