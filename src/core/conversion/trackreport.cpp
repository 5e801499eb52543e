#include "core/conversion/trackreport.h"

namespace conversion {

bool takeTrackLine(TrackReport &report, QStringView line)
{
    const std::pair<QLatin1StringView, QStringList *> kinds[] = {{QLatin1StringView("kept: "), &report.kept},
                                                                 {QLatin1StringView("burned in: "), &report.burnedIn},
                                                                 {QLatin1StringView("left out: "), &report.leftOut}};
    for (const auto &[prefix, lines] : kinds) {
        if (line.startsWith(prefix)) {
            const QString text = line.mid(prefix.size()).trimmed().toString();
            if (text.isEmpty())
                return false;
            *lines << text;
            return true;
        }
    }
    return false;
}

} // namespace conversion
