#pragma once

#include <QString>

namespace platform {

// INI access with the rules of the Windows functions of the same names, because the same files
// are read by more than one reader and all of them must agree on what a file says.
// Section and key names match without regard to case; blanks around names and values do not
// count; one pair of enclosing quotes is taken off a value; the first section and the first key
// of a name win. Files are UTF-8 with any line ends.

// The value, at most 2047 characters of it; defaultValue when the file, the section or the key
// is missing.
QString GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                                const QString &fileName);

// Sets key to value, changing only that key's line, or adds the key (and its section) when
// missing; creates the file when missing. The file is replaced atomically, so on false it is
// unchanged and errorString (when given) tells why.
bool WritePrivateProfileString(const QString &section, const QString &key, const QString &value,
                               const QString &fileName, QString *errorString = nullptr);

} // namespace platform
