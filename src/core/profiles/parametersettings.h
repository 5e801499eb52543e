#pragma once

#include "core/profiles/parameterstring.h"
#include "core/profiles/profiledata.h"

#include <QList>
#include <QString>

#include <optional>

namespace profiles {

// The text a grid row shows right after its profile is loaded: a pick list's chosen caption,
// any other parameter's caption.
QString LoadedShownValue(const ProfileParameter &parameter);

// The values the parameter grids would show for a profile, changed by name the way a user
// changes them in the grids, for building a parameter string without any grid.
class ParameterSettings {
public:
    explicit ParameterSettings(const ProfileData &profile);

    // Sets the parameter named key (without regard to case) to choice: a caption of a pick list
    // (without regard to case), any text for a free parameter, and for "Video Size" also a custom
    // size "WxH" when the profile offers "Custom Size". Nothing changes when the choice is refused;
    // the reason, with the choices there are, comes back instead.
    std::optional<QString> set(const QString &key, const QString &choice);

    // What BuildParameterString reads; empty for rows no grid shows.
    ShownValue shownValue() const;

private:
    struct Row {
        ProfileParameter parameter;
        QString shown;
    };

    std::optional<QString> refusal(const ProfileParameter &parameter, const QString &choice, QString *shown) const;
    QStringList keys() const;

    QList<Row> m_rows;
};

// Whether text is a custom size as the size dialog writes it: a width, "x" and a height, both
// whole numbers above zero.
bool IsCustomSize(const QString &text);

} // namespace profiles
