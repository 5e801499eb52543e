// The preferred audio and subtitle languages as Preferences.ini keeps them.
#include "core/platform/inifile.h"
#include "core/preferences/languagecodes.h"
#include "core/preferences/preferencekeys.h"
#include "core/runsetup/generalpreferences.h"
#include "helpers/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

class LanguagesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void codes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("codes"); // null: refused
        QTest::newRow("one") << "eng"
                             << "eng";
        QTest::newRow("blanks, case, empty entries") << " ger , ENG ,,"
                                                     << "ger,eng";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("a name") << "english" << QString();
        QTest::newRow("two letters") << "en,de" << QString();
        QTest::newRow("semicolon") << "eng;ger" << QString();
        QTest::newRow("digit") << "e1g" << QString();
        QTest::newRow("accent") << "fré" << QString();
        QTest::newRow("switch") << "eng -map" << QString();
    }
    void codes()
    {
        QFETCH(QString, text);
        QFETCH(QString, codes);
        const std::optional<QString> read = preferences::languageCodes(text);
        QCOMPARE(read.has_value(), !codes.isNull());
        if (read)
            QCOMPARE(*read, codes);
    }

    void localeDefault_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("code");
        QTest::newRow("C") << QLocale::c() << "eng";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "eng";
        QTest::newRow("German, bibliographic") << QLocale(QLocale::German, QLocale::Austria) << "ger";
        QTest::newRow("French") << QLocale(QLocale::French) << "fre";
        QTest::newRow("Japanese") << QLocale(QLocale::Japanese) << "jpn";
    }
    void localeDefault()
    {
        QFETCH(QLocale, locale);
        QTEST(preferences::localeLanguageCode(locale), "code");
        // A file without the keys reads as the locale's language.
        QLocale::setDefault(locale);
        QTemporaryDir dir;
        const platform::IniFile ini(dir.filePath("Preferences.ini"));
        const runsetup::GeneralPreferences general =
            runsetup::readGeneralPreferences(ini, preferences::mainKeys("/out/"));
        QTEST(general.audioLanguages, "code");
        QTEST(general.subtitleLanguages, "code");
    }

    // The locale's own choice is not written, so that it follows the locale; any other is kept,
    // an empty one too, and a list spoiled by hand reads as the default.
    void roundTrip()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QTemporaryDir dir;
        const QString path = dir.filePath("Preferences.ini");
        platform::IniFile ini(path);
        const preferences::PreferenceKeys keys = preferences::mainKeys("/out/");
        runsetup::GeneralPreferences general = runsetup::readGeneralPreferences(ini, keys);
        QVERIFY(runsetup::writeGeneralPreferences(ini, keys, general));
        QVERIFY(!testfiles::readFile(path).contains("languages"));

        general.audioLanguages = "fre,ger";
        general.subtitleLanguages = "";
        QVERIFY(runsetup::writeGeneralPreferences(ini, keys, general));
        QVERIFY(testfiles::readFile(path).contains("Audio languages=fre,ger\r\n"));
        const runsetup::GeneralPreferences read = runsetup::readGeneralPreferences(ini, keys);
        QCOMPARE(read.audioLanguages, "fre,ger");
        QCOMPARE(read.subtitleLanguages, "");

        QVERIFY(ini.WriteString("Main", "Audio languages", "French, German"));
        QCOMPARE(runsetup::readGeneralPreferences(ini, keys).audioLanguages, "ger");
    }
};

std::unique_ptr<QObject> makeLanguagesTest()
{
    return std::make_unique<LanguagesTest>();
}

#include "tst_languages.moc"
