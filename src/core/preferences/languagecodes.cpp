#include "core/preferences/languagecodes.h"

#include <QStringList>

#include <algorithm>

namespace preferences {

QString localeLanguageCode(const QLocale &locale)
{
    const QLocale::Language language = locale.language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        return QStringLiteral("eng");
    const QString code = QLocale::languageToCode(language, QLocale::ISO639Part2);
    return code.size() == 3 ? code : QStringLiteral("eng");
}

std::optional<QString> languageCodes(const QString &text)
{
    QStringList codes;
    for (const QString &entry : text.split(QLatin1Char(','))) {
        const QString code = entry.trimmed().toLower();
        if (code.isEmpty())
            continue;
        if (code.size() != 3 || !std::all_of(code.begin(), code.end(),
                                             [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); }))
            return std::nullopt;
        codes << code;
    }
    return codes.join(QLatin1Char(','));
}

} // namespace preferences
