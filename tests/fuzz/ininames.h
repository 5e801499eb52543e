#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace fuzz {

// Section names, key names and values as a hand-edited file spells them, taken from the file
// itself so that the reads find something, plus the names the program asks for.
struct IniNames {
    QStringList sections;
    QStringList keys;
    QStringList values;
};

inline IniNames namesIn(QByteArray text)
{
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        text.truncate(nul);
    IniNames names;
    names.sections = {QStringLiteral("Main"), QStringLiteral("Default")};
    names.keys = {QStringLiteral("Type"), QStringLiteral("Para"), QStringLiteral("0")};
    const QList<QByteArray> lines = text.replace('\r', '\n').split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype open = line.indexOf('[');
        const qsizetype close = line.indexOf(']', open + 1);
        if (open >= 0 && close > open && names.sections.size() < 6)
            names.sections.append(QString::fromUtf8(line.mid(open + 1, close - open - 1)));
        const qsizetype equals = line.indexOf('=');
        if (equals >= 0 && names.keys.size() < 10) {
            names.keys.append(QString::fromUtf8(line.left(equals)));
            if (names.values.size() < 8)
                names.values.append(QString::fromUtf8(line.mid(equals + 1)));
        }
    }
    if (names.values.isEmpty())
        names.values = {QString(), QStringLiteral("1")};
    return names;
}

// A name the file can hold as written: no line break, no NUL, no "[" or "]" that would end it.
inline bool plainName(const QString &name)
{
    for (const QChar c : name) {
        if (c == u'\r' || c == u'\n' || c == u'\0' || c == u'[' || c == u']')
            return false;
    }
    return true;
}

} // namespace fuzz
