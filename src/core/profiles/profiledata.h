#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace profiles {

inline const QString MainSection = QStringLiteral("Main");
inline const QString DefaultProfileType = QStringLiteral("mp4");

// The grids as a profile's "Sort" numbers them.
enum GridNumber { NoGrid = 0, VideoGrid = 1, AudioGrid = 2, AdvancedGrid = 3 };

enum class ParameterKind {
    PickList, // chosen from the captions; the encoder gets the matching value
    Fixed,    // shows the caption greyed; the encoder gets the file's value
    Free,     // the user types the value the encoder gets
};

struct ProfileParameter {
    QString name; // its section in the file and the key of its grid row
    int sort = -1;
    // The grid Sort names, or the previous parameter's grid when Sort names none.
    int grid = NoGrid;
    bool readOnly = false;
    QString cmd;
    bool list = true;
    QString caption;
    QString value;
    int index = 0;

    ParameterKind kind() const;
    QStringList captions() const;
    QStringList values() const;
};

struct ProfileData {
    QString type = DefaultProfileType;
    int para = 0;
    // In the order of the keys 0, 1, ... of "Main", up to the first key that is missing.
    QList<ProfileParameter> parameters;

    QString outputExtension() const { return QLatin1Char('.') + type; }
};

} // namespace profiles
