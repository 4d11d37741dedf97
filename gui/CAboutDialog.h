// "About Velkan": the program's name and version text.
#pragma once

#include <QDialog>

namespace velkan {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent);
};

}  // namespace velkan
