#pragma once

#include <QString>

namespace platform {

// Turns a "Name|*.a;*.b|..." filter into the name filters of Qt's file dialogs.
QString qtNameFilters(const QString &windowsFilter);

} // namespace platform
