#include "gui/mainform/trackchoices.h"

#include "core/protocol/tracks.h"

namespace mainform {

namespace {

const QString AllValue = QStringLiteral("all");
const QString NoneValue = QStringLiteral("none");

QString automaticCaption(const QString &languages)
{
    const std::vector<std::string> codes = protocol::languageList(languages.toStdString());
    if (codes.empty())
        return QStringLiteral("Automatic");
    return QStringLiteral("Automatic (%1)").arg(QString::fromStdString(protocol::languageName(codes.front())));
}

TrackChoices choicesOf(protocol::TrackKind kind, const QString &tracks, const QString &languages)
{
    TrackChoices choices;
    choices.captions << automaticCaption(languages);
    choices.values << QString();
    // A task from before tracks were kept: its tracks are unknown, but "All" still means something.
    if (tracks.trimmed().isEmpty()) {
        choices.captions << QStringLiteral("All");
        choices.values << AllValue;
        return choices;
    }
    TrackChoices own;
    for (const protocol::Track &track : protocol::tracksOfReport(tracks.toStdString())) {
        if (track.kind != kind)
            continue;
        own.captions << QString::fromStdString(protocol::trackLabel(track));
        own.values << QString::number(track.index);
    }
    // Nothing to pick among: the rule is all there is.
    if (own.captions.isEmpty())
        return choices;
    if (kind == protocol::TrackKind::Subtitle) {
        choices.captions << QStringLiteral("None");
        choices.values << NoneValue;
    }
    choices.captions << own.captions << QStringLiteral("All");
    choices.values << own.values << AllValue;
    return choices;
}

} // namespace

QString TrackChoices::captionOf(const QString &value) const
{
    const qsizetype at = values.indexOf(value);
    return captions.value(at < 0 ? 0 : at);
}

QString TrackChoices::valueOf(const QString &caption) const
{
    const qsizetype at = captions.indexOf(caption);
    return values.value(at < 0 ? 0 : at);
}

TrackChoices audioTrackChoices(const QString &tracks, const QString &languages)
{
    return choicesOf(protocol::TrackKind::Audio, tracks, languages);
}

TrackChoices subtitleChoices(const QString &tracks, const QString &languages)
{
    return choicesOf(protocol::TrackKind::Subtitle, tracks, languages);
}

} // namespace mainform
