#include "errordisplay.h"
#include "mainform.h"

#include <desktopnotifications.h>
#include <desktopservices.h>
#include <qtchildprocess.h>

int main(int argc, char *argv[])
{
    app::TApplication application(argc, argv);
    platform::QtProcessLauncher processes;
    platform::WidgetDialogs dialogs;
    platform::DesktopServices desktop;
    platform::LogindPowerControl power;
    platform::DesktopNotifications notifications;
    platform::Services services{processes, dialogs, desktop, power, notifications};
    app::setErrorDialogs(&dialogs);

    TMainForm mainForm(services, QCoreApplication::applicationDirPath(), application.arguments().mid(1));
    mainForm.show();
    return application.exec();
}
