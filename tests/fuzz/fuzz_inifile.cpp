// The program's INI engine and the platform's INI functions on hand-edited files.
#include "core/platform/inifile.h"
#include "core/platform/privateprofile.h"
#include "core/preferences/newinifile.h"
#include "core/preferences/preferencekeys.h"
#include "fuzz/fuzzinput.h"
#include "fuzz/ininames.h"

#include <QDir>

namespace {

struct Reads {
    QStringList texts;
    QList<int> numbers;

    bool operator==(const Reads &) const = default;
};

Reads engineReads(const preferences::TNewInifile &ini, const fuzz::IniNames &names)
{
    Reads reads;
    for (const QString &section : names.sections) {
        reads.texts.append(ini.SectionText(section));
        reads.numbers.append(ini.FindSection(section));
        // Every pair is read as text; the other kinds take turns, as each read searches the
        // whole file again.
        for (qsizetype n = 0; n < names.keys.size(); ++n) {
            const QString &key = names.keys.at(n);
            reads.texts.append(ini.ReadString(section, key, QStringLiteral("?")));
            switch (n % 3) {
            case 0:
                reads.numbers.append(ini.ReadInteger(section, key, -7));
                break;
            case 1:
                reads.numbers.append(ini.ReadBool(section, key, true));
                break;
            default:
                reads.numbers.append(ini.FindKey(section, key));
                break;
            }
        }
    }
    return reads;
}

template <typename Ini> void readEveryPreference(const Ini &ini)
{
    for (const auto &keys : {preferences::mainKeys(QDir::tempPath()), preferences::defaultKeys(QDir::tempPath())}) {
        keys.version.readFrom(ini);
        keys.outputPath.readFrom(ini);
        keys.profile.readFrom(ini);
        keys.profileName.readFrom(ini);
        keys.synMode.readFrom(ini);
        keys.autoOpenDir.readFrom(ini);
        keys.autoExit.readFrom(ini);
        keys.autoTurnOff.readFrom(ini);
        keys.overwrite.readFrom(ini);
        keys.jobs.readFrom(ini);
    }
}

bool plainValue(const QString &value)
{
    return fuzz::plainName(value);
}

void fuzzEngine(const QByteArray &content, const fuzz::IniNames &names)
{
    const QString path = fuzz::writeScratchFile(QStringLiteral("engine.ini"), content);
    auto ini = preferences::TNewInifile::Create(path);
    engineReads(*ini, names);
    readEveryPreference(*ini);

    for (qsizetype n = 0; n < names.keys.size(); ++n) {
        const QString &section = names.sections.at(n % names.sections.size());
        const QString &key = names.keys.at(n);
        const QString &value = names.values.at(n % names.values.size());
        const bool fresh = ini->FindSection(section) < 0;
        switch (n % 3) {
        case 0:
            ini->WriteString(section, key, value);
            // A section the file did not have holds just the new key.
            if (fresh && fuzz::plainName(section) && fuzz::plainName(key) && plainValue(value))
                fuzz::check(ini->ReadString(section, key, QString()) == value, "a new section reads back its key");
            break;
        case 1:
            ini->WriteInteger(section, key, int(value.size()) - 3);
            break;
        default:
            ini->WriteBool(section, key, value.size() % 2);
            break;
        }
    }

    // What the engine held is what it wrote: reading the saved file gives the same answers.
    const Reads before = engineReads(*ini, names);
    preferences::TNewInifile::SaveAndFree(std::move(ini));
    const auto reloaded = preferences::TNewInifile::Create(path);
    fuzz::check(engineReads(*reloaded, names) == before, "the saved file reads as the engine held it");
}

QString platformRead(const QString &section, const QString &key, const QString &path)
{
    const QString value = platform::GetPrivateProfileString(section, key, QStringLiteral("\x01"), path);
    fuzz::check(value.size() <= 2047, "a value holds at most 2047 characters");
    return value;
}

void fuzzPlatform(const QByteArray &content, const fuzz::IniNames &names)
{
    const QString path = fuzz::writeScratchFile(QStringLiteral("platform.ini"), content);
    platform::IniFile ini(path);
    readEveryPreference(ini);
    for (const QString &section : names.sections) {
        for (qsizetype n = 0; n < names.keys.size(); ++n) {
            switch (n % 3) {
            case 0:
                platformRead(section, names.keys.at(n), path);
                break;
            case 1:
                ini.ReadInteger(section, names.keys.at(n), 5);
                break;
            default:
                ini.ReadBool(section, names.keys.at(n), false);
                break;
            }
        }
    }

    for (qsizetype n = 0; n < names.keys.size() && n < 6; ++n) {
        const QString &section = names.sections.at(n % names.sections.size());
        const QString &key = names.keys.at(n);
        const QString &value = names.values.at(n % names.values.size());
        QFile file(path);
        const QByteArray old = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        QString why;
        if (!platform::WritePrivateProfileString(section, key, value, path, &why)) {
            fuzz::check(!why.isEmpty(), "a refused write says why");
            fuzz::check(file.open(QIODevice::ReadOnly) && file.readAll() == old, "a refused write changes nothing");
            continue;
        }
        // A value without blanks around it, quotes or line breaks reads back as written.
        const QString trimmedValue = value.trimmed();
        const bool plain = trimmedValue == value && !value.startsWith(u'"') && !value.startsWith(u'\'') &&
                           value.size() <= 2047 && !value.contains(u'\t') && plainValue(value);
        if (plain && section.trimmed() == section && key.trimmed() == key && !section.contains(u'\t') &&
            !key.contains(u'\t'))
            fuzz::check(platformRead(section, key, path) == value, "a written value reads back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = fuzz::bytesOf(data, size);
    const fuzz::IniNames names = fuzz::namesIn(content);
    fuzzEngine(content, names);
    fuzzPlatform(content, names);
    return 0;
}
