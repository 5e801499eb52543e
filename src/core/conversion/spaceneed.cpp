#include "core/conversion/spaceneed.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace conversion {
namespace {
// When a profile names no rate, rates that most profiles stay under.
constexpr double DefaultVideoBitsPerSecond = 8e6;
constexpr double DefaultAudioBitsPerSecond = 320e3;
constexpr qint64 MarginBytes = 50 * 1000 * 1000;
constexpr int MarginPercent = 5;

// "2M", "700k", "1.5M", "128000"; k = 1000 as FFmpeg counts.
std::optional<double> amount(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)([kKmMgG]?)$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    double value = match.captured(1).toDouble();
    const QString unit = match.captured(2).toLower();
    if (unit == QLatin1String("k"))
        value *= 1e3;
    else if (unit == QLatin1String("m"))
        value *= 1e6;
    else if (unit == QLatin1String("g"))
        value *= 1e9;
    return value;
}

// The last value of a switch counts, as FFmpeg's do.
std::optional<double> lastValue(const QStringList &words, const QStringList &names)
{
    std::optional<double> found;
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        if (names.contains(words.at(i))) {
            if (const auto value = amount(words.at(i + 1)))
                found = value;
        }
    }
    return found;
}
} // namespace

qint64 projectedOutputBytes(const QString &parameters, double seconds, double span)
{
    seconds = qMax(0.0, seconds);
    const QStringList words = parameters.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (const auto size = lastValue(words, {QStringLiteral("-fit")})) {
        const double share = span > 0 ? qMin(1.0, seconds / span) : 1.0;
        return qint64(std::ceil(*size * share));
    }
    const double video = lastValue(words, {QStringLiteral("-video-ceiling"), QStringLiteral("-b:v")})
                             .value_or(DefaultVideoBitsPerSecond);
    const double audio = lastValue(words, {QStringLiteral("-b:a")}).value_or(DefaultAudioBitsPerSecond);
    return qint64(std::ceil((video + audio) / 8 * seconds));
}

qint64 withSpaceMargin(qint64 needBytes)
{
    return needBytes + needBytes * MarginPercent / 100 + MarginBytes;
}

QString spaceText(qint64 bytes)
{
    const double megabytes = double(qMax<qint64>(0, bytes)) / 1e6;
    if (megabytes >= 1000)
        return QStringLiteral("%1 GB").arg(megabytes / 1000, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(qint64(megabytes));
}

QString lowSpaceText(qint64 freeBytes, const QString &place)
{
    return QStringLiteral("Paused: %1 left on %2").arg(spaceText(freeBytes), place);
}

QString noRoomText(qint64 freeBytes, const QString &place)
{
    return QStringLiteral("Too little room: %1 left on %2").arg(spaceText(freeBytes), place);
}

} // namespace conversion
