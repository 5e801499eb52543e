#include "headless/convertfixture.h"

#include "helpers/testclips.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace headlesstest {

namespace {

QByteArray profileText(const QByteArray &type, const QByteArray &sizes, const QByteArray &sizeValues)
{
    return "[Main]\r\nType=" + type +
           "\r\nPara=5\r\n0=Video Codec\r\n1=Video Size\r\n2=Audio Codec\r\n3=Pixel Format\r\n4=Video Filter\r\n"
           "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=MPEG-4,\r\nValue=mpeg4,\r\nIndex=0\r\n"
           "[Video Size]\r\nSort=1\r\ncmd=-s\r\nList=1\r\nCaption=" +
           sizes + "\r\nValue=" + sizeValues +
           "\r\nIndex=1\r\n"
           "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC mono,\r\nValue=aac -ac 1 -ar "
           "8000,\r\nIndex=0\r\n"
           "[Pixel Format]\r\nSort=3\r\nReadOnly=1\r\ncmd=-pix_fmt\r\nList=0\r\nCaption=yuv420p\r\nValue=yuv420p\r\n"
           "[Video Filter]\r\nSort=3\r\nReadOnly=0\r\ncmd=-vf\r\nList=0\r\nCaption=\r\nValue=\r\n";
}

} // namespace

const QList<std::pair<QString, QByteArray>> TestProfiles{
    {"Small.vkp", profileText("mp4", "Original Size,176x144 (QCIF),352x288 (CIF),Custom Size,", ",176x144,352x288,,")},
    {"Tiny.vkp", profileText("3gp", "Original Size,176x144 (QCIF),", ",176x144,")},
    {"Damaged.vkp", QByteArray("[Main]\r\nType=mp4\r\nPara=1\r\n0=Size\r\n[Size]\r\nSort=1\r\ncmd=-s\r\nList=1\r\n"
                               "Caption=Small,\r\nValue=176x144,\r\nIndex=4\r\n")},
};

const QByteArray SizedProfile =
    "[Main]\r\nType=mp4\r\nPara=4\r\n0=Video Codec\r\n1=Audio Codec\r\n2=Target Size\r\n3=Video Filter\r\n"
    "[Video Codec]\r\nSort=1\r\ncmd=-c:v\r\nList=1\r\nCaption=MPEG-4,\r\nValue=mpeg4,\r\nIndex=0\r\n"
    "[Audio Codec]\r\nSort=2\r\ncmd=-c:a\r\nList=1\r\nCaption=AAC,\r\nValue=aac,\r\nIndex=0\r\n"
    "[Target Size]\r\nSort=3\r\nReadOnly=1\r\ncmd=-fit\r\nList=0\r\nCaption=1M\r\nValue=1M\r\n"
    "[Video Filter]\r\nSort=3\r\nReadOnly=1\r\ncmd=-vf\r\nList=0\r\nCaption=realtime\r\nValue=realtime\r\n";

const QString PlayingPace = QStringLiteral("Video Filter=realtime");

QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator found(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (found.hasNext())
        files << QDir(folder).relativeFilePath(found.next());
    files.sort();
    return files;
}

QStringList linesWith(const QString &out, const QString &status)
{
    QStringList found;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.contains(QRegularExpression(QStringLiteral("^\\[\\d+/\\d+\\] ") + status + QLatin1Char(' '))))
            found << line;
    }
    return found;
}

ConvertMedia &ConvertMedia::shared()
{
    static ConvertMedia media;
    return media;
}

void ConvertTestBase::storePreferences(const QByteArray &overwrite, const QByteArray &jobs)
{
    m_program->writePreferences(
        "[Main]\r\nVersion=2.1\r\nProfile=1\r\nProfile Name=Tiny\r\nOutput Path=" + m_storedOutput.path().toUtf8() +
        "\r\nOverwrite=" + overwrite + "\r\nJobs=" + jobs + "\r\n");
}

void ConvertTestBase::setUp()
{
    if (m_shared.ready)
        return;
    m_program = std::make_unique<ProgramCopy>(TestProfiles);
    QVERIFY(m_program->isValid());
    storePreferences();
    // One-second clips, a clip of four seconds to cut, a longer one to interrupt, and a
    // file that only pretends to be a video.
    QVERIFY(testclips::makeClip(media("a.avi"), 1));
    QVERIFY(testclips::makeClip(media("four.avi"), 4));
    QVERIFY(testclips::makeClip(media("long.avi"), 20));
    QDir(m_media.path()).mkpath("folder/inner");
    for (const char *copy : {"b clip é.avi", "-lead.avi", "folder/a.avi", "folder/C.MP4", "folder/inner/d.avi"})
        QVERIFY(QFile::copy(media("a.avi"), media(copy)));
    QFile notes(media("folder/notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("no video") > 0);
    QFile broken(media("broken.avi"));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write(QByteArray(4096, 'x')) > 0);
    QDir(m_media.path()).mkdir("empty");
    // A tree three folders deep: one name in two folders, two names alike in one, a hidden
    // folder and one without videos.
    QVERIFY(testclips::makeClip(media("short.avi"), 0.4));
    QVERIFY(QDir(m_media.path()).mkpath("tree/one/-two x/three é"));
    QVERIFY(QDir(m_media.path()).mkpath("tree/.hidden"));
    QVERIFY(QDir(m_media.path()).mkpath("tree/notes"));
    for (const char *copy : {"tree/top.avi", "tree/one/clip.avi", "tree/one/clip.mp4", "tree/one/-two x/clip.avi",
                             "tree/one/-two x/three é/deep.avi", "tree/.hidden/secret.avi"})
        QVERIFY(QFile::copy(media("short.avi"), media(copy)));
    QVERIFY(QFile::copy(media("folder/notes.txt"), media("tree/notes/notes.txt")));
    m_shared.ready = true;
}

} // namespace headlesstest
