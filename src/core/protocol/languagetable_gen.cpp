// Tables every language code Qt's locale data knows, with its language's name, so that the
// encoder, which links no Qt, names and matches languages as the window does.
#include <QFile>
#include <QLocale>
#include <QString>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    QByteArray table = "// Made by languagetable_gen from Qt's locale data: code, language number, name.\n";
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    QStringList codes;
    for (const QChar a : letters) {
        for (const QChar b : letters) {
            codes.append(QString(a) + b);
            for (const QChar c : letters)
                codes.append(QString(a) + b + c);
        }
    }
    codes.sort();
    for (const QString &code : codes) {
        const QLocale::Language language = QLocale::codeToLanguage(code, QLocale::AnyLanguageCode);
        if (language == QLocale::AnyLanguage || language == QLocale::C)
            continue;
        table += "{\"" + code.toLatin1() + "\", " + QByteArray::number(int(language)) + ", \"" +
                 QLocale::languageToString(language).toUtf8().replace('"', "\\\"") + "\"},\n";
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(table) != table.size())
        return 1;
    return 0;
}
