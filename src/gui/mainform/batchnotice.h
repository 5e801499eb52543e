#pragma once

#include <batchplan.h>
#include <notificationsapi.h>

class QWidget;

namespace app {

// Tells a user who is busy in another window that the batch has ended, and how it went.
void notifyBatchEnd(platform::Notifications &notifications, const QWidget *window, const conversion::RunSummary &summary);

} // namespace app
