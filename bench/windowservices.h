#pragma once

#include "core/platform/qtchildprocess.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/widgets/errordisplay.h"

// The real processes and fakes for the desktop, as long as a window lives.
struct WindowServices {
    platform::QtProcessLauncher processes;
    desktop::FakeDialogs dialogs;
    desktop::FakeDesktop desktop;
    desktop::FakePowerControl power;
    platform::Services services{processes, dialogs, desktop, power};
    WindowServices() { widgets::setErrorDialogs(&dialogs); }
    ~WindowServices() { widgets::setErrorDialogs(nullptr); }
};
