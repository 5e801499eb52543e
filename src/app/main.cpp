#include "mainform.h"

#include <desktopservices.h>
#include <qtchildprocess.h>

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    platform::QtProcessLauncher processes;
    platform::WidgetDialogs dialogs;
    platform::DesktopServices desktop;
    platform::LogindPowerControl power;
    platform::Services services{processes, dialogs, desktop, power};

    TMainForm mainForm(services, QCoreApplication::applicationDirPath());
    mainForm.show();
    return application.exec();
}
