#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace preferences {

// The locale's language as an ISO 639-2 code ("ger" for German); "eng" for the C locale, which
// names no language.
QString localeLanguageCode(const QLocale &locale = QLocale());

// "eng, GER" as "eng,ger": comma-separated three-letter codes, blanks and empty entries dropped.
// Nothing when an entry is no such code; an empty text is an empty list, no preference.
std::optional<QString> languageCodes(const QString &text);

} // namespace preferences
