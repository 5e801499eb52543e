#pragma once

#include <notificationsapi.h>

class QWidget;

namespace app {

// Tells a user who is busy in another window that the batch has ended, and how it went.
void notifyBatchEnd(platform::Notifications &notifications, const QWidget *window, int failures, int tasks);

} // namespace app
