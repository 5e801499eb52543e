#include "core/platform/privateprofile.h"

#include "core/platform/atomicsave.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>

namespace platform {
namespace {

constexpr qsizetype MaxValueLength = 2047;
constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

struct RawLine {
    QByteArray text;
    QByteArray end; // "\r\n", "\n" or "\r"; empty on a last line that has none
};

// Lines are kept as bytes so that a write gives back every line it does not change exactly as
// it was, even one that is not valid UTF-8.
struct IniText {
    QByteArray bom;
    QList<RawLine> lines;
};

IniText splitLines(const QByteArray &content)
{
    IniText text;
    qsizetype pos = 0;
    if (content.startsWith(Utf8Bom)) {
        text.bom = Utf8Bom;
        pos = text.bom.size();
    }
    while (pos < content.size()) {
        qsizetype end = pos;
        while (end < content.size() && content.at(end) != '\r' && content.at(end) != '\n')
            ++end;
        qsizetype next = end;
        if (next < content.size() && content.at(next) == '\r')
            ++next;
        if (next < content.size() && content.at(next) == '\n')
            ++next;
        text.lines.append({content.mid(pos, end - pos), content.mid(end, next - end)});
        pos = next;
    }
    return text;
}

QByteArray joinLines(const IniText &text)
{
    QByteArray content = text.bom;
    for (const RawLine &line : text.lines)
        content += line.text + line.end;
    return content;
}

QByteArray lineEndStyle(const IniText &text)
{
    for (const RawLine &line : text.lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return "\r\n";
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text.at(from)))
        ++from;
    while (to > from && isBlank(text.at(to - 1)))
        --to;
    return text.sliced(from, to - from);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;
    QString value;
};

ParsedLine parseLine(const QByteArray &raw)
{
    const QString decoded = QString::fromUtf8(raw);
    const QStringView line = trimBlanks(decoded);
    if (line.isEmpty())
        return {LineKind::Blank, {}, {}};
    if (line.front() == u';')
        return {LineKind::Comment, {}, {}};
    if (line.front() == u'[') {
        const qsizetype close = line.lastIndexOf(u']');
        if (close > 0)
            return {LineKind::Section, trimBlanks(line.sliced(1, close - 1)).toString(), {}};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    return {LineKind::Key, trimBlanks(line.first(equals)).toString(), trimBlanks(line.sliced(equals + 1)).toString()};
}

struct Location {
    qsizetype section = -1;    // header of the first section of that name
    qsizetype lastFilled = -1; // that section's last non-blank line
    qsizetype key = -1;        // first line of the key inside that section
    ParsedLine keyLine;
};

// Lines before the first header belong to no section and are never matched.
Location locate(const QList<RawLine> &lines, QStringView section, QStringView key)
{
    Location found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ParsedLine line = parseLine(lines.at(i).text);
        if (line.kind == LineKind::Section) {
            if (found.section >= 0)
                break;
            if (sameName(line.name, section))
                found.section = found.lastFilled = i;
            continue;
        }
        if (found.section < 0)
            continue;
        if (line.kind != LineKind::Blank)
            found.lastFilled = i;
        if (found.key < 0 && line.kind == LineKind::Key && sameName(line.name, key)) {
            found.key = i;
            found.keyLine = std::move(line);
        }
    }
    return found;
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

QString cutToMaxLength(QString value)
{
    if (value.size() > MaxValueLength) {
        // Half of a surrogate pair is not a character.
        const bool splitsPair = value.at(MaxValueLength - 1).isHighSurrogate();
        value.truncate(splitsPair ? MaxValueLength - 1 : MaxValueLength);
    }
    return value;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("PrivateProfile", text);
}

// Names and values the file could not give back as written, or that would create other lines.
QString refusalReason(const QString &section, const QString &key, const QString &value)
{
    const auto hasLineBreak = [](const QString &text) { return text.contains(u'\r') || text.contains(u'\n'); };
    if (section.isEmpty())
        return tr("The section name is empty.");
    if (key.isEmpty())
        return tr("The key name is empty.");
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return tr("Settings cannot contain line breaks.");
    if (key.contains(u'=') || key.startsWith(u';') || key.startsWith(u'['))
        return tr("The key name \"%1\" cannot be stored in a settings file.").arg(key);
    return {};
}

void endLine(RawLine &line, const QByteArray &lineEnd)
{
    if (line.end.isEmpty())
        line.end = lineEnd;
}

} // namespace

QString GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                                const QString &fileName)
{
    const QStringView keyName = trimBlanks(key);
    if (keyName.isEmpty())
        return defaultValue;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const IniText text = splitLines(file.readAll());
    const Location at = locate(text.lines, trimBlanks(section), keyName);
    if (at.key < 0)
        return defaultValue;
    return cutToMaxLength(unquoted(at.keyLine.value));
}

bool WritePrivateProfileString(const QString &section, const QString &key, const QString &value,
                               const QString &fileName, QString *errorString)
{
    const QString sectionName = trimBlanks(section).toString();
    const QString keyName = trimBlanks(key).toString();
    if (const QString reason = refusalReason(sectionName, keyName, value); !reason.isEmpty()) {
        if (errorString)
            *errorString = reason;
        return false;
    }

    QByteArray before;
    const bool existed = QFile::exists(fileName);
    if (existed) {
        QFile file(fileName);
        // Writing without knowing the old lines would lose them.
        if (!file.open(QIODevice::ReadOnly)) {
            if (errorString)
                *errorString = file.errorString();
            return false;
        }
        before = file.readAll();
    }

    IniText text = splitLines(before);
    const QByteArray lineEnd = lineEndStyle(text);
    const Location at = locate(text.lines, sectionName, keyName);
    if (at.key >= 0) {
        // The file's spelling of the key stays, as the key is the same one.
        text.lines[at.key].text = (at.keyLine.name + u'=' + value).toUtf8();
    } else if (at.section >= 0) {
        endLine(text.lines[at.lastFilled], lineEnd);
        text.lines.insert(at.lastFilled + 1, {(keyName + u'=' + value).toUtf8(), lineEnd});
    } else {
        if (!text.lines.isEmpty())
            endLine(text.lines.last(), lineEnd);
        text.lines.append({(u'[' + sectionName + u']').toUtf8(), lineEnd});
        text.lines.append({(keyName + u'=' + value).toUtf8(), lineEnd});
    }

    const QByteArray after = joinLines(text);
    if (existed && after == before)
        return true;
    return saveFileAtomically(fileName, after, errorString);
}

} // namespace platform
