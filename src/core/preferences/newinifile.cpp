#include "core/preferences/newinifile.h"

#include "core/platform/atomicsave.h"
#include "core/platform/rtlinteger.h"
#include "core/preferences/efcreateerror.h"
#include "core/tasks/rtlnumbers.h"

#include <QFile>
#include <QFileInfo>

namespace preferences {

namespace {

// CR LF, a lone CR and a lone LF each end a line; a last line without an end is a line too.
QByteArrayList splitLines(QByteArrayView text)
{
    QByteArrayList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.append(text.sliced(start, i - start).toByteArray());
        i += (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.append(text.sliced(start).toByteArray());
    return lines;
}

QByteArray joinLines(const QByteArrayList &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    return text;
}

// A to Z only: QByteArray leaves every other byte alone, so UTF-8 sequences stay intact.
QByteArray lowered(const QByteArray &text)
{
    return text.toLower();
}

QByteArray headerOf(const QString &section)
{
    return '[' + section.toUtf8() + ']';
}

// A line cannot hold a line break or a NUL: read back, the file would show other lines than
// the ones held here, and FindKey's line numbers would point at the wrong line.
QByteArray asLine(QByteArray text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '\r' || text.at(i) == '\n' || text.at(i) == '\0') {
            text.truncate(i);
            break;
        }
    }
    return text;
}

struct KeyMatch {
    qsizetype line = -1;
    qsizetype valueStart = -1;
};

KeyMatch matchKey(const QString &key, const QByteArrayList &lines)
{
    const QByteArray pattern = lowered(key.toUtf8()) + '=';
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype at = lowered(lines.at(i)).indexOf(pattern);
        if (at >= 0)
            return {i, at + pattern.size()};
    }
    return {};
}

QString valueIn(const QString &key, const QByteArrayList &lines, const QString &defaultValue)
{
    const KeyMatch match = matchKey(key, lines);
    if (match.line < 0)
        return defaultValue;
    return QString::fromUtf8(lines.at(match.line).sliced(match.valueStart));
}

bool isAsciiWord(const QString &text, QLatin1StringView word)
{
    return lowered(text.toUtf8()) == QByteArrayView(word.data(), word.size());
}

} // namespace

TNewInifile::TNewInifile(const QString &fileName) : m_fileName(fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray content = file.readAll();
    m_readContent = content;
    const qsizetype nul = content.indexOf('\0');
    if (nul >= 0)
        content.truncate(nul);
    m_lines = splitLines(content);
}

std::unique_ptr<TNewInifile> TNewInifile::Create(const QString &fileName)
{
    return std::unique_ptr<TNewInifile>(new TNewInifile(fileName));
}

void TNewInifile::SaveAndFree(std::unique_ptr<TNewInifile> inifile)
{
    if (!inifile)
        return;
    const QByteArray content = joinLines(inifile->m_lines);
    if (inifile->m_readContent == content && QFileInfo::exists(inifile->m_fileName))
        return;
    QString reason;
    if (!platform::saveFileAtomically(inifile->m_fileName, content, &reason))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(inifile->m_fileName, reason));
}

QByteArray TNewInifile::sectionBytes(const QString &section) const
{
    const QByteArray text = joinLines(m_lines);
    const QByteArray header = lowered(headerOf(section));
    const qsizetype at = lowered(text).indexOf(header);
    if (at < 0)
        return {};
    QByteArray rest = text.sliced(at + header.size());
    const qsizetype nextBracket = rest.indexOf('[');
    if (nextBracket >= 0)
        rest.truncate(nextBracket);
    return rest;
}

QString TNewInifile::SectionText(const QString &section) const
{
    return QString::fromUtf8(sectionBytes(section));
}

QString TNewInifile::FindValue(const QString &key, const QStringList &lines, const QString &defaultValue)
{
    QByteArrayList bytes;
    for (const QString &line : lines)
        bytes.append(line.toUtf8());
    return valueIn(key, bytes, defaultValue);
}

int TNewInifile::FindSection(const QString &section) const
{
    const QByteArray header = lowered(headerOf(section));
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (lowered(m_lines.at(i)).contains(header))
            return int(i);
    }
    return -1;
}

int TNewInifile::FindKey(const QString &section, const QString &key) const
{
    return int(matchKey(key, splitLines(sectionBytes(section))).line);
}

QString TNewInifile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return valueIn(key, splitLines(sectionBytes(section)), defaultValue);
}

int TNewInifile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    return platform::parseRtlInteger(ReadString(section, key, QString::number(defaultValue))).value_or(defaultValue);
}

bool TNewInifile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    const QString text = ReadString(section, key, defaultValue ? QStringLiteral("-1") : QStringLiteral("0"));
    if (const auto number = tasks::parseRtlFloat(text))
        return *number != 0;
    if (isAsciiWord(text, QLatin1StringView("true")))
        return true;
    if (isAsciiWord(text, QLatin1StringView("false")))
        return false;
    return defaultValue;
}

void TNewInifile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QByteArray line = asLine(key.toUtf8() + '=' + value.toUtf8());
    const int header = FindSection(section);
    if (header < 0) {
        m_lines.append(asLine(headerOf(section)));
        m_lines.append(line);
        return;
    }
    const int keyLine = FindKey(section, key);
    if (keyLine < 0)
        m_lines.insert(header + 1, line);
    else
        m_lines[header + keyLine] = line;
}

void TNewInifile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TNewInifile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace preferences
