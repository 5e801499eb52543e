#include "core/platform/atomicsave.h"
#include "core/platform/inifile.h"
#include "core/platform/privateprofile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace platform;

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(content), content.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under dir with its content, so a failed write can be shown to have touched nothing.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), readFile(path));
    }
    return files;
}

} // namespace

class IniFunctionsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void readValue_data();
    void readValue();
    void readWithoutUsableFile();
    void writeValue_data();
    void writeValue();
    void unwritableTargetKeepsOldFile_data();
    void unwritableTargetKeepsOldFile();
    void refusesNamesThatWouldChangeOtherLines_data();
    void refusesNamesThatWouldChangeOtherLines();
    void iniFileReadsNumbers_data();
    void iniFileReadsNumbers();
    void iniFileWritesAndRereadsEveryTime();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void IniFunctionsTest::readValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("blanks around names and value")
        << QByteArray("  [  Main  ]  \r\n \t Name \t= \t two words \t\r\n") << "Main"
        << "Name"
        << "two words";
    QTest::newRow("blanks in the query") << QByteArray("[Main]\r\nName=x\r\n") << " Main "
                                         << " Name "
                                         << "x";
    QTest::newRow("case") << QByteArray("[MAIN]\r\nNAME=x\r\n") << "main"
                          << "name"
                          << "x";
    QTest::newRow("double quotes keep inner blanks") << QByteArray("[a]\r\nk=\"  padded  \"\r\n") << "a"
                                                     << "k"
                                                     << "  padded  ";
    QTest::newRow("single quotes") << QByteArray("[a]\r\nk='x'\r\n") << "a"
                                   << "k"
                                   << "x";
    QTest::newRow("only one pair of quotes") << QByteArray("[a]\r\nk=\"\"x\"\"\r\n") << "a"
                                             << "k"
                                             << "\"x\"";
    QTest::newRow("unlike quotes stay") << QByteArray("[a]\r\nk=\"x'\r\n") << "a"
                                        << "k"
                                        << "\"x'";
    QTest::newRow("lone quote stays") << QByteArray("[a]\r\nk=\"\r\n") << "a"
                                      << "k"
                                      << "\"";
    QTest::newRow("empty value is not missing") << QByteArray("[a]\r\nk=\r\n") << "a"
                                                << "k"
                                                << "";
    QTest::newRow("LF") << QByteArray("[a]\nk=1\n[b]\nk=2\n") << "b"
                        << "k"
                        << "2";
    QTest::newRow("CR") << QByteArray("[a]\rk=1\r[b]\rk=2\r") << "b"
                        << "k"
                        << "2";
    QTest::newRow("mixed line ends") << QByteArray("[a]\rk=1\n[b]\r\nk=2\n") << "b"
                                     << "k"
                                     << "2";
    QTest::newRow("UTF-8") << QByteArray(
                                  "[Pfad]\r\nZiel=/home/j\xC3\xBCrgen/\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE\r\n")
                           << "pfad"
                           << "ziel" << QString::fromUtf8("/home/jürgen/Видео");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[a]\r\nk=1\r\n") << "a"
                                     << "k"
                                     << "1";
    QTest::newRow("value cut at 2047") << "[a]\r\nk=" + QByteArray(3000, 'v') + "\r\n"
                                       << "a"
                                       << "k" << QString(2047, u'v');
    QTest::newRow("no half surrogate pair at the cut") << "[a]\r\nk=" + QByteArray(2046, 'v') + "\xF0\x9F\x8E\xAC\r\n"
                                                       << "a"
                                                       << "k" << QString(2046, u'v');
    QTest::newRow("first key wins") << QByteArray("[a]\r\nk=1\r\nk=2\r\n") << "a"
                                    << "k"
                                    << "1";
    QTest::newRow("first section wins") << QByteArray("[a]\r\nk=1\r\n[b]\r\n[A]\r\nk=2\r\n") << "a"
                                        << "k"
                                        << "1";
    QTest::newRow("key only in a later duplicate section") << QByteArray("[a]\r\nj=1\r\n[a]\r\nk=2\r\n") << "a"
                                                           << "k"
                                                           << "default";
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[a]\r\nj=1\r\n") << "a"
                                            << "k"
                                            << "default";
    QTest::newRow("missing section") << QByteArray("[a]\r\nk=1\r\n") << "b"
                                     << "k"
                                     << "default";
    QTest::newRow("line without = is no key") << QByteArray("[a]\r\nk\r\nk=2\r\n") << "a"
                                              << "k"
                                              << "2";
    QTest::newRow("comment is no key") << QByteArray("[a]\r\n;k=1\r\nk=2\r\n") << "a"
                                       << "k"
                                       << "2";
    QTest::newRow("indented comment is no key") << QByteArray("[a]\r\n  ;k=1\r\n") << "a"
                                                << "k"
                                                << "default";
}

void IniFunctionsTest::readValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    writeFile(path("read.ini"), content);
    QCOMPARE(GetPrivateProfileString(section, key, QStringLiteral("default"), path("read.ini")), expected);
}

void IniFunctionsTest::readWithoutUsableFile()
{
    QCOMPARE(GetPrivateProfileString("a", "k", "default", path("missing.ini")), QString("default"));
    QVERIFY(QDir(m_dir->path()).mkdir("folder.ini"));
    QCOMPARE(GetPrivateProfileString("a", "k", "default", path("folder.ini")), QString("default"));
}

void IniFunctionsTest::writeValue_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    // The lines that must survive hold blanks, tabs, a comment, a line without "=", bytes that
    // are not UTF-8 and text before the first section.
    const QByteArray odd =
        "; top\r\nloose=1\r\n[a]\r\n\tj = \"1\" \r\nno equals\r\n  k  =  old  \r\n\xFF\xFE junk\r\n\r\n[b]\r\nk=keep";
    QByteArray replaced = odd;
    replaced.replace("  k  =  old  ", "k=new");
    QTest::newRow("replace in place") << odd << "a"
                                      << "k"
                                      << "new" << replaced;
    QTest::newRow("replace keeps the file's key spelling") << QByteArray("[A]\r\nName=1\r\n") << "a"
                                                           << "NAME"
                                                           << "2" << QByteArray("[A]\r\nName=2\r\n");
    QTest::newRow("replace only the first of two keys") << QByteArray("[a]\r\nk=1\r\nk=2\r\n") << "a"
                                                        << "k"
                                                        << "3" << QByteArray("[a]\r\nk=3\r\nk=2\r\n");
    QTest::newRow("commented key is not replaced") << QByteArray("[a]\r\n;k=1\r\n") << "a"
                                                   << "k"
                                                   << "2" << QByteArray("[a]\r\n;k=1\r\nk=2\r\n");
    QTest::newRow("byte order mark kept") << QByteArray("\xEF\xBB\xBF[a]\r\nk=1\r\n") << "a"
                                          << "k"
                                          << "2" << QByteArray("\xEF\xBB\xBF[a]\r\nk=2\r\n");
    QTest::newRow("new key after the section's last line")
        << QByteArray("[a]\r\nj=1\r\n\r\n\r\n[b]\r\nj=1\r\n") << "a"
        << "k"
        << "2" << QByteArray("[a]\r\nj=1\r\nk=2\r\n\r\n\r\n[b]\r\nj=1\r\n");
    QTest::newRow("new key into an empty section") << QByteArray("[a]\r\n\r\n[b]\r\n") << "a"
                                                   << "k"
                                                   << "2" << QByteArray("[a]\r\nk=2\r\n\r\n[b]\r\n");
    QTest::newRow("new key into the first of two sections") << QByteArray("[a]\r\nj=1\r\n[a]\r\nk=1\r\n") << "a"
                                                            << "k"
                                                            << "2" << QByteArray("[a]\r\nj=1\r\nk=2\r\n[a]\r\nk=1\r\n");
    QTest::newRow("new key after a line without line end") << QByteArray("[a]\r\nj=1") << "a"
                                                           << "k"
                                                           << "2" << QByteArray("[a]\r\nj=1\r\nk=2\r\n");
    QTest::newRow("LF file stays LF") << QByteArray("[a]\nj=1\n") << "a"
                                      << "k"
                                      << "2" << QByteArray("[a]\nj=1\nk=2\n");
    QTest::newRow("CR file stays CR") << QByteArray("[a]\rj=1\r") << "a"
                                      << "k"
                                      << "2" << QByteArray("[a]\rj=1\rk=2\r");
    QTest::newRow("new section at the end") << QByteArray("[a]\r\nj=1\r\n\r\n") << "b"
                                            << "k"
                                            << "2" << QByteArray("[a]\r\nj=1\r\n\r\n[b]\r\nk=2\r\n");
    QTest::newRow("new section after a line without line end") << QByteArray("[a]\nj=1") << "b"
                                                               << "k"
                                                               << "2" << QByteArray("[a]\nj=1\n[b]\nk=2\n");
    QTest::newRow("new file") << QByteArray() << " a "
                              << " k " << QString::fromUtf8("jürgen") << QByteArray("[a]\r\nk=j\xC3\xBCrgen\r\n");
}

void IniFunctionsTest::writeValue()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    const QString file = path("write.ini");
    if (!before.isNull())
        writeFile(file, before);
    QString error;
    QVERIFY2(WritePrivateProfileString(section, key, value, file, &error), qPrintable(error));
    QCOMPARE(readFile(file), after);
    QCOMPARE(GetPrivateProfileString(section, key, "default", file), value);
    QCOMPARE(snapshot(m_dir->path()).keys(), QStringList{"write.ini"});
}

void IniFunctionsTest::unwritableTargetKeepsOldFile_data()
{
    // Root may write anywhere, so the target is made unwritable by what the path names.
    QTest::addColumn<QString>("target");
    QTest::newRow("path is a directory") << "folder.ini";
    QTest::newRow("parent is a regular file") << "old.ini/settings.ini";
}

void IniFunctionsTest::unwritableTargetKeepsOldFile()
{
    QFETCH(QString, target);

    writeFile(path("old.ini"), "[a]\r\nk=1\r\n");
    QVERIFY(QDir(m_dir->path()).mkdir("folder.ini"));
    writeFile(path("folder.ini/inside.ini"), "[a]\r\nk=1\r\n");
    const auto before = snapshot(m_dir->path());

    QString error;
    QVERIFY(!WritePrivateProfileString("a", "k", "2", path(target), &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!saveFileAtomically(path(target), "[a]\r\nk=2\r\n", &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(snapshot(m_dir->path()), before);
}

void IniFunctionsTest::refusesNamesThatWouldChangeOtherLines_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in value") << "a"
                                         << "k"
                                         << "1\r\n[b]";
    QTest::newRow("= in key") << "a"
                              << "j=k"
                              << "1";
    QTest::newRow("comment as key") << "a"
                                    << ";k"
                                    << "1";
    QTest::newRow("empty section") << ""
                                   << "k"
                                   << "1";
}

void IniFunctionsTest::refusesNamesThatWouldChangeOtherLines()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    const QByteArray content = "[a]\r\nk=1\r\n";
    writeFile(path("names.ini"), content);
    QString error;
    QVERIFY(!WritePrivateProfileString(section, key, value, path("names.ini"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(path("names.ini")), content);
}

void IniFunctionsTest::iniFileReadsNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("defaultValue");
    QTest::addColumn<int>("integer");
    QTest::addColumn<bool>("boolean"); // read with the default's truth

    QTest::newRow("$ hexadecimal") << QByteArray("v=$1F") << 7 << 31 << true;
    QTest::newRow("0x hexadecimal") << QByteArray("v=0x10") << 7 << 16 << true;
    QTest::newRow("leading blank") << QByteArray("v=\" 12\"") << 7 << 12 << true;
    QTest::newRow("negative") << QByteArray("v=-1") << 0 << -1 << true;
    QTest::newRow("zero") << QByteArray("v=0") << 1 << 0 << false;
    QTest::newRow("letters") << QByteArray("v=abc") << 7 << 7 << true;
    QTest::newRow("empty") << QByteArray("v=") << 7 << 7 << true;
    QTest::newRow("word true, default false") << QByteArray("v=true") << 0 << 0 << false;
    QTest::newRow("word false, default true") << QByteArray("v=false") << 1 << 1 << true;
    QTest::newRow("missing") << QByteArray("w=5") << -3 << -3 << true;
}

void IniFunctionsTest::iniFileReadsNumbers()
{
    QFETCH(QByteArray, line);
    QFETCH(int, defaultValue);
    QFETCH(int, integer);
    QFETCH(bool, boolean);

    writeFile(path("numbers.ini"), "[n]\r\n" + line + "\r\n");
    const IniFile ini(path("numbers.ini"));
    QCOMPARE(ini.ReadInteger("n", "v", defaultValue), integer);
    QCOMPARE(ini.ReadBool("n", "v", defaultValue != 0), boolean);
}

void IniFunctionsTest::iniFileWritesAndRereadsEveryTime()
{
    IniFile ini(path("prefs.ini"));
    QVERIFY(ini.WriteInteger("p", "count", -42));
    QVERIFY(ini.WriteBool("p", "on", true));
    QVERIFY(ini.WriteBool("p", "off", false));
    QVERIFY(ini.WriteString("p", "name", "clip"));
    QCOMPARE(readFile(path("prefs.ini")), QByteArray("[p]\r\ncount=-42\r\non=1\r\noff=0\r\nname=clip\r\n"));

    // Another writer changes the file between two reads.
    writeFile(path("prefs.ini"), "[p]\r\ncount=7\r\n");
    QCOMPARE(ini.ReadInteger("p", "count", 0), 7);

    IniFile blocked(path("blocker/inner.ini"));
    writeFile(path("blocker"), "");
    QVERIFY(!blocked.WriteInteger("p", "count", 1));
    QVERIFY(!blocked.errorString().isEmpty());
    QVERIFY(QFile::remove(path("blocker")));
    QVERIFY(QDir(m_dir->path()).mkdir("blocker"));
    QVERIFY(blocked.WriteInteger("p", "count", 1));
    QVERIFY(blocked.errorString().isEmpty());
}

std::unique_ptr<QObject> makeIniFunctionsTest()
{
    return std::make_unique<IniFunctionsTest>();
}

#include "tst_inifunctions.moc"
