#pragma once

#include <QString>

namespace platform {

// Typed access to one INI file. Every call reads or writes the file itself, with nothing kept
// in between, because other readers and writers use the same file.
class IniFile {
public:
    explicit IniFile(QString fileName);

    QString fileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal or hexadecimal ("$1F", "0x1F"); defaultValue when the value is empty or not a number.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // Stored as an integer, non-zero meaning true; a value that is no integer counts as missing.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteBool(const QString &section, const QString &key, bool value);

    // Why the last write failed; empty after one that succeeded.
    QString errorString() const { return m_errorString; }

private:
    QString m_fileName;
    QString m_errorString;
};

} // namespace platform
