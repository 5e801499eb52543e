#pragma once

#include <QString>
#include <QStringList>

namespace profiles {

// The items of a comma-terminated list, each taken exactly: "p,q,r," has three items, "p,q,r"
// has two, and text without a comma has none. Captions and values are both written this way.
QStringList SplitList(const QString &text);

// The position of the first caption equal to text without regard to case; -1 when none is.
qsizetype IndexOfCaption(const QStringList &captions, const QString &text);

} // namespace profiles
