#include "core/platform/inifile.h"

#include "core/platform/privateprofile.h"
#include "core/platform/rtlinteger.h"

#include <utility>

namespace platform {

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName))
{}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return GetPrivateProfileString(section, key, defaultValue, m_fileName);
}

int IniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    return parseRtlInteger(ReadString(section, key, QString())).value_or(defaultValue);
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    m_errorString.clear();
    return WritePrivateProfileString(section, key, value, m_fileName, &m_errorString);
}

bool IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool IniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace platform
