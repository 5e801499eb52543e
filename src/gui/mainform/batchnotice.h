#pragma once

#include "core/conversion/batchplan.h"
#include "core/platform/notificationsapi.h"

class QWidget;

namespace mainform {

// Tells a user who is busy in another window that the batch has ended, and how it went.
void notifyBatchEnd(platform::Notifications &notifications, const QWidget *window,
                    const conversion::RunSummary &summary);

} // namespace mainform
