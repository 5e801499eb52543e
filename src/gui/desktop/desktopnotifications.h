#pragma once

#include "core/platform/notificationsapi.h"

namespace desktop {

// The desktop's notification service, org.freedesktop.Notifications on the session bus. Without
// one the message is lost, which is all a notification may cost.
class DesktopNotifications final : public platform::Notifications {
public:
    void notify(const QString &summary, const QString &body) override;
};

} // namespace desktop
