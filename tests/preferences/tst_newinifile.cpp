#include "core/platform/inifile.h"
#include "core/preferences/efcreateerror.h"
#include "core/preferences/newinifile.h"
#include "core/preferences/preferencekeys.h"
#include "preferences/testfiles.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>

class NewInifileTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath("test.ini");
    }

    void readString_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("LF line ends") << QByteArray("[Main]\nA=1\nB=2\n") << "Main"
                                      << "B"
                                      << "2";
        QTest::newRow("lone CR line ends") << QByteArray("[Main]\rA=1\rB=2") << "Main"
                                           << "B"
                                           << "2";
        QTest::newRow("capitals") << QByteArray("[MAIN]\r\nOutput Path=/x/\r\n") << "Main"
                                  << "output path"
                                  << "/x/";
        QTest::newRow("only A to Z fold") << QByteArray("[ÄRGER]\r\nPfad=/x/\r\n") << "ärger"
                                          << "Pfad"
                                          << "<default>";
        QTest::newRow("blank before =") << QByteArray("[Main]\r\nKey =1\r\n") << "Main"
                                        << "Key"
                                        << "<default>";
        QTest::newRow("blank after value") << QByteArray("[Main]\r\nKey=1 \r\n") << "Main"
                                           << "Key"
                                           << "1 ";
        QTest::newRow("empty value") << QByteArray("[Main]\r\nKey=\r\n") << "Main"
                                     << "Key"
                                     << "";
        QTest::newRow("[ in a value ends the section") << QByteArray("[Main]\r\nA=x[y\r\nKey=1\r\n") << "Main"
                                                       << "Key"
                                                       << "<default>";
        QTest::newRow("key 0 after key 10") << QByteArray("[Grid]\r\n10=ten\r\n0=zero\r\n") << "Grid"
                                            << "0"
                                            << "ten";
        QTest::newRow("header inside an earlier value")
            << QByteArray("[Other]\r\nNote=see [Main] first\r\nKey=early\r\n[Main]\r\nKey=late\r\n") << "Main"
            << "Key"
            << "early";
        QTest::newRow("NUL ends the text") << QByteArray("[Main]\r\nA=1\r\n") + '\0' + "Key=2\r\n"
                                           << "Main"
                                           << "Key"
                                           << "<default>";
    }
    void readString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        writeFile(m_path, content);
        QTEST(preferences::TNewInifile::Create(m_path)->ReadString(section, key, "<default>"), "expected");
    }

    // ReadInteger with the default 7, ReadBool with the defaults false and true.
    void readNumbers_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("boolOrFalse");
        QTest::addColumn<bool>("boolOrTrue");
        QTest::newRow("true") << QByteArray("Key=true") << 7 << true << true;
        QTest::newRow("TRUE") << QByteArray("Key=TRUE") << 7 << true << true;
        QTest::newRow("false") << QByteArray("Key=False") << 7 << false << false;
        QTest::newRow("1") << QByteArray("Key=1") << 1 << true << true;
        QTest::newRow("0") << QByteArray("Key=0") << 0 << false << false;
        QTest::newRow("decimal") << QByteArray("Key=0.5") << 7 << true << true;
        QTest::newRow("hexadecimal") << QByteArray("Key= 0x1F") << 31 << false << true;
        QTest::newRow("trailing blank") << QByteArray("Key=12 ") << 7 << true << true;
        QTest::newRow("yes") << QByteArray("Key=yes") << 7 << false << true;
        QTest::newRow("empty") << QByteArray("Key=") << 7 << false << true;
    }
    void readNumbers()
    {
        QFETCH(QByteArray, line);
        writeFile(m_path, "[Main]\r\n" + line + "\r\n");
        const auto ini = preferences::TNewInifile::Create(m_path);
        QTEST(ini->ReadInteger("Main", "Key", 7), "integer");
        QTEST(ini->ReadBool("Main", "Key", false), "boolOrFalse");
        QTEST(ini->ReadBool("Main", "Key", true), "boolOrTrue");
    }

    // A null section: the object is only created and saved, as every reader of the file does.
    void saveWritesTheLines_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file, read only") << QByteArray() << QString() << ""
                                            << "" << QByteArray("");
        QTest::newRow("mixed line ends, read only") << QByteArray("a\nb\rc\r\r\nd") << QString() << ""
                                                    << "" << QByteArray("a\r\nb\r\nc\r\n\r\nd\r\n");
        QTest::newRow("NUL ends the text, read only") << QByteArray("a\r\nb") + '\0' + "c\r\n"
                                                      << QString() << ""
                                                      << "" << QByteArray("a\r\nb\r\n");
        QTest::newRow("new key right under the header")
            << QByteArray("[Main]\r\nA=1\r\n[Other]\r\nB=2\r\n") << "Main"
            << "C"
            << "3" << QByteArray("[Main]\r\nC=3\r\nA=1\r\n[Other]\r\nB=2\r\n");
        QTest::newRow("new section at the end") << QByteArray("[Main]\r\nA=1") << "Default"
                                                << "B"
                                                << "2" << QByteArray("[Main]\r\nA=1\r\n[Default]\r\nB=2\r\n");
        QTest::newRow("replaced line keeps the others")
            << QByteArray("; note\r\n[Main]\r\nUnused=x\r\n\r\n  OUTPUT "
                          "PATH=old\r\nOverwrite=1\r\n\r\n[Default]\r\nOutput Path=d\r\n")
            << "Main"
            << "Output Path"
            << "new"
            << QByteArray("; note\r\n[Main]\r\nUnused=x\r\n\r\nOutput "
                          "Path=new\r\nOverwrite=1\r\n\r\n[Default]\r\nOutput Path=d\r\n");
        QTest::newRow("LF file") << QByteArray("[Main]\nA=1\n\nB=2\n") << "Main"
                                 << "A"
                                 << "3" << QByteArray("[Main]\r\nA=3\r\n\r\nB=2\r\n");
        QTest::newRow("key behind a [ in a value") << QByteArray("[Main]\r\nA=x[y\r\nKey=1\r\n") << "Main"
                                                   << "Key"
                                                   << "2" << QByteArray("[Main]\r\nKey=2\r\nA=x[y\r\nKey=1\r\n");
        QTest::newRow("header inside an earlier value")
            << QByteArray("[Other]\r\nNote=[Main]\r\nKey=1\r\n[Main]\r\nKey=2\r\n") << "Main"
            << "Key"
            << "3" << QByteArray("[Other]\r\nNote=[Main]\r\nKey=3\r\n[Main]\r\nKey=2\r\n");
        QTest::newRow("bytes that are no UTF-8 kept") << QByteArray("[Main]\r\nA=\xE9t\xE9\r\nB=1\r\n") << "Main"
                                                      << "B"
                                                      << "2" << QByteArray("[Main]\r\nA=\xE9t\xE9\r\nB=2\r\n");
        QTest::newRow("a value cannot add lines") << QByteArray("[Main]\r\n") << "Main"
                                                  << "A"
                                                  << "1\r\n[Other]" << QByteArray("[Main]\r\nA=1\r\n");
    }
    void saveWritesTheLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        if (!before.isNull())
            writeFile(m_path, before);
        auto ini = preferences::TNewInifile::Create(m_path);
        if (!section.isNull())
            ini->WriteString(section, key, value);
        preferences::TNewInifile::SaveAndFree(std::move(ini));
        QTEST(readFile(m_path), "after");
    }

    void unwritableTargetKeepsOldFile_data()
    {
        // Root may write anywhere, so the target is made unwritable by what the path names.
        QTest::addColumn<QString>("target");
        QTest::newRow("directory at the path") << "folder.ini";
        QTest::newRow("parent is a regular file") << "old.ini/test.ini";
    }
    void unwritableTargetKeepsOldFile()
    {
        QFETCH(QString, target);
        writeFile(m_dir->filePath("old.ini"), "[a]\nk=1\n");
        QVERIFY(QDir(m_dir->path()).mkdir("folder.ini"));
        writeFile(m_dir->filePath("folder.ini/inside.ini"), "[a]\nk=1\n");
        const auto before = snapshot(m_dir->path());

        const QString path = m_dir->filePath(target);
        auto ini = preferences::TNewInifile::Create(path);
        ini->WriteString("a", "k", "2");
        std::optional<preferences::EFCreateError> error;
        try {
            preferences::TNewInifile::SaveAndFree(std::move(ini));
        } catch (const preferences::EFCreateError &e) {
            error = e;
        }
        QVERIFY(error);
        const QString prefix = "Cannot create file \"" + path + "\". ";
        QVERIFY2(error->message().startsWith(prefix) && error->message().size() > prefix.size(),
                 qPrintable(error->message()));
        QCOMPARE(QString::fromUtf8(error->what()), error->message());
        QCOMPARE(snapshot(m_dir->path()), before);
    }

    void keysReadAlikeByBothReaders()
    {
        const preferences::PreferenceKeys keys = preferences::mainKeys("/program/");
        platform::IniFile platformIni(m_path);
        QVERIFY(keys.outputPath.writeTo(platformIni, "/my videos/"));
        QVERIFY(keys.synMode.writeTo(platformIni, 2));
        QVERIFY(keys.autoOpenDir.writeTo(platformIni, false));

        auto ini = preferences::TNewInifile::Create(m_path);
        QCOMPARE(keys.outputPath.readFrom(*ini), "/my videos/");
        QCOMPARE(keys.synMode.readFrom(*ini), 2);
        QCOMPARE(keys.autoOpenDir.readFrom(*ini), false);
        keys.profile.writeTo(*ini, -1);
        keys.autoExit.writeTo(*ini, true);
        preferences::TNewInifile::SaveAndFree(std::move(ini));

        QCOMPARE(keys.profile.readFrom(platformIni), -1);
        QCOMPARE(keys.autoExit.readFrom(platformIni), true);
        QCOMPARE(keys.autoOpenDir.readFrom(platformIni), false);
        QCOMPARE(keys.overwrite.readFrom(platformIni), true);
    }

private:
    std::optional<QTemporaryDir> m_dir;
    QString m_path;
};

std::unique_ptr<QObject> makeNewInifileTest()
{
    return std::make_unique<NewInifileTest>();
}

#include "tst_newinifile.moc"
