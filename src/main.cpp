#include "errordisplay.h"
#include "headlessmain.h"
#include "mainform.h"

#include <childprocess.h>
#include <desktopnotifications.h>
#include <desktopservices.h>
#include <qtchildprocess.h>
#include <signalinterruption.h>

int main(int argc, char *argv[])
{
    // A batch on a server, or from a script, needs neither a window nor a display.
    if (app::wantsHeadless(argc, argv))
        return app::runHeadless(argc, argv);

    app::TApplication application(argc, argv);
    int status = 0;
    {
        // A closed terminal, a logout or Ctrl+C ends the program as a close does, leaving no
        // partial output behind; caught from the start, so that one that comes while the window
        // is being made is heard once it is shown.
        platform::SignalInterruption interruption;
        platform::QtProcessLauncher processes;
        platform::WidgetDialogs dialogs;
        platform::DesktopServices desktop;
        platform::LogindPowerControl power;
        platform::DesktopNotifications notifications;
        platform::Services services{processes, dialogs, desktop, power, notifications};
        app::setErrorDialogs(&dialogs);

        TMainForm mainForm(services, QCoreApplication::applicationDirPath(), application.arguments().mid(1));
        QObject::connect(&interruption, &platform::Interruption::interrupted, &mainForm,
                         &TMainForm::closeWithoutQuestion);
        mainForm.show();
        status = application.exec();
        app::setErrorDialogs(nullptr);
    }
    // Killed encoders may take a while to be gone; none may outlive the program.
    platform::endProcessGroups();
    return status;
}
