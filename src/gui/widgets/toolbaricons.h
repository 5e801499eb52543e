#pragma once

#include <QIcon>
#include <QString>

namespace widgets {

// The picture ":/icons/<name>.svg" at size, with a disabled set drawn from the same picture in
// greys, so both sets always match.
QIcon pictureIcon(const QString &name, int size);

} // namespace widgets
