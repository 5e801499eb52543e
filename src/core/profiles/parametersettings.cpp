#include "core/profiles/parametersettings.h"

#include "core/platform/rtlinteger.h"
#include "core/profiles/designedrows.h"
#include "core/profiles/splitlist.h"

namespace profiles {
namespace {

bool sameKey(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString quotedList(const QStringList &items)
{
    QStringList quoted;
    for (const QString &item : items)
        quoted << QLatin1Char('"') + item + QLatin1Char('"');
    return quoted.join(QStringLiteral(", "));
}

bool isWholeAboveZero(const QString &text)
{
    const auto number = platform::parseRtlInteger(text);
    return number && *number > 0;
}

} // namespace

QString LoadedShownValue(const ProfileParameter &parameter)
{
    if (parameter.kind() == ParameterKind::PickList)
        return parameter.captions().value(parameter.index);
    return parameter.caption;
}

bool IsCustomSize(const QString &text)
{
    // A hexadecimal width ("0x1F") holds an "x" of its own, so every "x" is tried as the one
    // between the two numbers.
    for (qsizetype x = text.indexOf(QLatin1Char('x')); x >= 0; x = text.indexOf(QLatin1Char('x'), x + 1)) {
        if (isWholeAboveZero(text.left(x)) && isWholeAboveZero(text.mid(x + 1)))
            return true;
    }
    return false;
}

ParameterSettings::ParameterSettings(const ProfileData &profile)
{
    // Only rows a grid shows can be read or changed, as FillProfileGrids lays them out.
    for (const ProfileParameter &parameter : profile.parameters) {
        if (parameter.grid >= VideoGrid && parameter.grid <= AdvancedGrid)
            m_rows.append({parameter, LoadedShownValue(parameter)});
    }
}

QStringList ParameterSettings::keys() const
{
    QStringList names;
    for (const Row &row : m_rows) {
        if (!names.contains(row.parameter.name, Qt::CaseInsensitive))
            names << row.parameter.name;
    }
    return names;
}

std::optional<QString> ParameterSettings::refusal(const ProfileParameter &parameter, const QString &choice,
                                                  QString *shown) const
{
    switch (parameter.kind()) {
    case ParameterKind::Fixed:
        return QStringLiteral("The parameter \"%1\" is fixed to \"%2\" and cannot be changed.")
            .arg(parameter.name, parameter.caption);
    case ParameterKind::Free:
        *shown = choice;
        return std::nullopt;
    case ParameterKind::PickList:
        break;
    }
    const QStringList captions = parameter.captions();
    // "Custom Size" opens the size dialog in the window; here the size itself is given.
    const bool customSize = sameKey(parameter.name, VideoSizeKey) && captions.contains(CustomSizeCaption);
    const qsizetype chosen = IndexOfCaption(captions, choice);
    if (chosen >= 0 && !(customSize && captions.at(chosen) == CustomSizeCaption)) {
        *shown = captions.at(chosen);
        return std::nullopt;
    }
    if (customSize && IsCustomSize(choice)) {
        *shown = choice;
        return std::nullopt;
    }
    QStringList offered = captions;
    if (customSize)
        offered.removeAll(CustomSizeCaption);
    QString reason = QStringLiteral("\"%1\" is no choice of the parameter \"%2\". Its choices are %3")
                         .arg(choice, parameter.name, quotedList(offered));
    if (customSize)
        reason += QStringLiteral(", or a custom size such as \"320x240\"");
    return reason + QLatin1Char('.');
}

std::optional<QString> ParameterSettings::set(const QString &key, const QString &choice)
{
    QList<qsizetype> matching;
    for (qsizetype n = 0; n < m_rows.size(); ++n) {
        if (sameKey(m_rows.at(n).parameter.name, key))
            matching << n;
    }
    if (matching.isEmpty())
        return QStringLiteral("The profile has no parameter \"%1\". Its parameters are %2.")
            .arg(key, quotedList(keys()));
    // A name is one section of the profile file, so every row of it is the same parameter.
    QString shown;
    if (const auto reason = refusal(m_rows.at(matching.first()).parameter, choice, &shown))
        return reason;
    for (qsizetype n : matching)
        m_rows[n].shown = shown;
    return std::nullopt;
}

ShownValue ParameterSettings::shownValue() const
{
    return [rows = m_rows](int grid, const QString &key) {
        for (const Row &row : rows) {
            if (row.parameter.grid == grid && sameKey(row.parameter.name, key))
                return row.shown;
        }
        return QString();
    };
}

} // namespace profiles
