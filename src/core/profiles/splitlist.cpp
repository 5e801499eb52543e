#include "core/profiles/splitlist.h"

namespace profiles {

QStringList SplitList(const QString &text)
{
    QStringList items = text.split(QLatin1Char(','), Qt::KeepEmptyParts);
    // Whatever follows the last comma (the empty text after a final one included) is no item.
    items.removeLast();
    return items;
}

qsizetype IndexOfCaption(const QStringList &captions, const QString &text)
{
    for (qsizetype n = 0; n < captions.size(); ++n) {
        if (captions[n].compare(text, Qt::CaseInsensitive) == 0)
            return n;
    }
    return -1;
}

} // namespace profiles
