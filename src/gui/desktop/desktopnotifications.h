#pragma once

#include "notificationsapi.h"

namespace platform {

// The desktop's notification service, org.freedesktop.Notifications on the session bus. Without
// one the message is lost, which is all a notification may cost.
class DesktopNotifications final : public Notifications {
public:
    void notify(const QString &summary, const QString &body) override;
};

} // namespace platform
