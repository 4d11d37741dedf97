// velkan: the desktop editor of install-program projects.
#include <QApplication>

#include "gui/CSetwellApp.h"
#include "gui/CPrefGroup.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(velkan::kSettingsOrganization);
    QApplication::setApplicationName(velkan::kSettingsApplication);
    // No display name: the window system would add it to every caption a second time.
    velkan::CSetwellApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) return 1;
    int result = QApplication::exec();
    app.ExitInstance();
    return result != 0 ? result : app.ExitCode();
}
