#pragma once

#include "core/platform/childprocessapi.h"
#include "core/platform/desktopapi.h"
#include "core/platform/freespaceapi.h"
#include "core/platform/notificationsapi.h"

namespace platform {

// The operating-system services a window is given; real ones in the program, fakes in tests.
struct Services {
    ProcessLauncher &processes;
    Dialogs &dialogs;
    Desktop &desktop;
    PowerControl &power;
    Notifications &notifications = silentNotifications();
    FreeSpace &freeSpace = volumeFreeSpace();
};

} // namespace platform
