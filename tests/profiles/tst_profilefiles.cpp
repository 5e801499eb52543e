#include "core/profiles/parameterstring.h"
#include "core/profiles/profilecheck.h"
#include "core/profiles/profilelist.h"
#include "core/profiles/profilereading.h"
#include "core/profiles/splitlist.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/profilegrids.h"
#include "profiles/profilefixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace profiles;
using grids::ProfileGrids;

namespace {

// Every kind of parameter: pick lists (one a bare switch, one with two captions differing only
// in case, one without a switch, one without a Sort of its own), a fixed and a free parameter.
const QByteArray EveryKind =
    "[Main]\nType=3gp\nPara=7\n0=Video Size\n1=Disable Video\n2=Pixel Format\n3=Preset\n4=Channels\n5=Quality\n"
    "6=No Switch\n"
    "[Video Size]\nSort=1\ncmd=-s\nCaption=Original Size,176x144,352x288,Custom Size,\nValue=,176x144,352x288,,\n"
    "[Disable Video]\nSort=1\ncmd=-vn\nCaption=No,Yes,\nValue=,\\,\n"
    "[Pixel Format]\nSort=3\nReadOnly=1\nList=0\ncmd=-pix_fmt\nCaption=shown greyed\nValue=yuv420p\n"
    "[Preset]\nSort=3\nList=0\ncmd=-preset\nCaption=medium\n"
    "[Channels]\nSort=2\ncmd=-ac\nCaption=Mono,MONO,Stereo,\nValue=1,9,2,\n"
    "[Quality]\ncmd=-q:a\nCaption=Low,High,\nValue=2,8,\n"
    "[No Switch]\nSort=2\nCaption=A,B,\nValue=a,b,\n";

} // namespace

class ProfileFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString profile(const QString &name, const QByteArray &text)
    {
        const QString path = m_dir.filePath(name);
        if (!writeProfileFile(path, text))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void splitList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("final comma") << "p,q,r," << QStringList{"p", "q", "r"};
        QTest::newRow("no final comma") << "p,q,r" << QStringList{"p", "q"};
        QTest::newRow("no comma") << "p" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("empty items and blanks kept") << ", a ,,\\," << QStringList{"", " a ", "", "\\"};
    }
    void splitList()
    {
        QFETCH(QString, text);
        QTEST(SplitList(text), "items");
    }

    void readsAwkwardProfiles()
    {
        const ProfileData bare = ReadProfileFile(profile("bare.vkp", "[Main]\n0=Video Codec\n"));
        QCOMPARE(bare.outputExtension(), ".mp4");
        QVERIFY(bare.parameters.isEmpty());
        QVERIFY(!ProfileProblem(bare, "bare.vkp"));

        const ProfileData every = ReadProfileFile(profile("every.vkp", EveryKind));
        QCOMPARE(every.outputExtension(), ".3gp");
        QList<int> grids;
        for (const ProfileParameter &parameter : every.parameters)
            grids << parameter.grid;
        // A Sort naming no grid keeps the grid of the parameter before.
        QCOMPARE(grids,
                 (QList<int>{VideoGrid, VideoGrid, AdvancedGrid, AdvancedGrid, AudioGrid, AudioGrid, AudioGrid}));
        QCOMPARE(every.parameters[2].kind(), ParameterKind::Fixed);
        QCOMPARE(every.parameters[3].kind(), ParameterKind::Free);
        QVERIFY(!ProfileProblem(every, "every.vkp"));
    }

    void listsProfilesByTheirOwnFileNames()
    {
        QTemporaryDir dir;
        for (const QString name :
             {"Phone.VKP", "my.two.vkp", "notes.txt", "vkp", "zoom.vkp", "MP4.vkp", "mp3.vkp", "Mp3.vkp"})
            QVERIFY(writeProfileFile(dir.filePath(name), "[Main]\n"));
        QVERIFY(QDir(dir.path()).mkdir("folder.vkp"));

        // By name without regard to case, whatever order the file system keeps.
        const QList<ProfileEntry> entries = ListProfiles(dir.path());
        QCOMPARE(ProfileNames(entries), (QStringList{"Mp3", "mp3", "MP4", "my.two", "Phone", "zoom"}));
        for (const ProfileEntry &entry : entries)
            QVERIFY2(QFileInfo(entry.path).isFile(), qPrintable(entry.path));
        QVERIFY(ListProfiles(dir.filePath("missing")).isEmpty());
    }

    // A stored name wins over the stored position while it is listed, in its exact case.
    void storedProfilePosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("selected");
        QTest::newRow("name moved down") << 1 << "Phone" << 3;
        QTest::newRow("exact case") << 0 << "mp3" << 1;
        QTest::newRow("name no longer listed") << 2 << "Gone" << 2;
        QTest::newRow("beyond the list") << 6 << "" << -1;
        QTest::newRow("nothing chosen") << -1 << "" << -1;
    }
    void storedProfilePosition()
    {
        QFETCH(int, position);
        QFETCH(QString, name);
        QList<ProfileEntry> entries;
        for (const QString listed : {"Mp3", "mp3", "MP4", "Phone", "zoom"})
            entries.append({listed, "/p/" + listed + ".vkp"});
        QTEST(StoredProfilePosition(entries, position, name), "selected");
    }

    void damagedProfilesAreNamed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("index past the captions")
            << QByteArray("[Main]\nPara=1\n0=Sizes\n[Sizes]\nSort=1\nCaption=a,b,\nValue=1,2,\nIndex=2\n")
            << "\"Sizes\"";
        QTest::newRow("negative index")
            << QByteArray("[Main]\nPara=1\n0=Sizes\n[Sizes]\nSort=1\nCaption=a,\nValue=1,\nIndex=-1\n") << "\"Sizes\"";
        QTest::newRow("captions without any comma")
            << QByteArray("[Main]\nPara=1\n0=Sizes\n[Sizes]\nSort=1\nCaption=a\nValue=1\n") << "\"Sizes\"";
        QTest::newRow("first sort names no grid")
            << QByteArray("[Main]\nPara=1\n0=Codec\n[Codec]\nSort=4\nCaption=a,\nValue=1,\n") << "\"Codec\"";
        QTest::newRow("para past the keys")
            << QByteArray("[Main]\nPara=2\n0=Codec\n[Codec]\nSort=1\nCaption=a,\nValue=1,\n") << "key \"1\"";
        QTest::newRow("fewer values than captions")
            << QByteArray("[Main]\nPara=1\n0=Codec\n[Codec]\nSort=2\nCaption=a,b,\nValue=1,\n") << "\"Codec\"";
    }
    void damagedProfilesAreNamed()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, named);
        const QString path = profile("damaged.vkp", text);
        const auto problem = ProfileFileProblem(path);
        QVERIFY(problem);
        QVERIFY2(problem->contains(QDir::toNativeSeparators(path)) && problem->contains(named), qPrintable(*problem));

        // The load refuses it with that message and leaves the grids as they were.
        desktop::FakeDialogs dialogs;
        grids::KeyValueGrid video(95), audio(95), advanced(95);
        grids::FillDesignedRows(video, DesignedGrid::Video);
        QVERIFY(!grids::LoadProfile(path, {&video, &audio, &advanced}, dialogs, nullptr));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].caption, ProfileProblemCaption);
        QCOMPARE(dialogs.messages[0].text, *problem);
        QCOMPARE(dialogs.messages[0].icon, platform::MessageIcon::Information);
        QCOMPARE(dialogs.messages[0].buttons, platform::MessageButtons(platform::MessageButton::Ok));
        QCOMPARE(video.rowCount(), 6);
    }

    void parameterString_data()
    {
        QTest::addColumn<QStringList>("shown"); // key=text set into the loaded grids
        QTest::addColumn<QString>("parameters");
        const QString defaults = " -pix_fmt yuv420p -preset medium -ac 1 -q:a 2";
        QTest::newRow("defaults") << QStringList{} << defaults;
        QTest::newRow("caption at position 2") << QStringList{"Video Size=352x288"} << " -s 352x288" + defaults;
        QTest::newRow("custom size text") << QStringList{"Video Size=320x240"} << " -s 320x240" + defaults;
        QTest::newRow("caption in other case") << QStringList{"video size=original SIZE"} << defaults;
        QTest::newRow("bare switch") << QStringList{"Disable Video=Yes"} << " -vn " + defaults;
        QTest::newRow("earlier of two captions differing in case") << QStringList{"Channels=MONO"} << defaults;
        QTest::newRow("free typed") << QStringList{"Preset=slow"} << " -pix_fmt yuv420p -preset slow -ac 1 -q:a 2";
        QTest::newRow("free emptied") << QStringList{"Preset="} << " -pix_fmt yuv420p -ac 1 -q:a 2";
        // What the user types stays one argument, so it can neither add a switch nor a file.
        QTest::newRow("free typed with blanks")
            << QStringList{"Preset=fast ~/elsewhere/PWNED.mp4"}
            << " -pix_fmt yuv420p -preset \"fast ~/elsewhere/PWNED.mp4\" -ac 1 -q:a 2";
        QTest::newRow("free typed with quotes")
            << QStringList{"Preset=say \"hi\""} << " -pix_fmt yuv420p -preset \"say \"\"\"hi\"\"\"\" -ac 1 -q:a 2";
        QTest::newRow("custom size with a blank")
            << QStringList{"Video Size=320x240 -i x"} << " -s \"320x240 -i x\"" + defaults;
        QTest::newRow("fixed passes the file's value") << QStringList{"Pixel Format=rgb24"} << defaults;
        QTest::newRow("no switch adds nothing") << QStringList{"No Switch=B"} << defaults;
        QTest::newRow("grid kept from the parameter before")
            << QStringList{"Quality=High"} << " -pix_fmt yuv420p -preset medium -ac 1 -q:a 8";
    }
    void parameterString()
    {
        QFETCH(QStringList, shown);
        const QString path = profile("every.vkp", EveryKind);
        desktop::FakeDialogs dialogs;
        grids::KeyValueGrid video(95), audio(95), advanced(95);
        const ProfileGrids grids{&video, &audio, &advanced};
        QCOMPARE(grids::LoadProfile(path, grids, dialogs, nullptr), QString(".3gp"));
        for (const QString &assignment : shown) {
            const qsizetype equals = assignment.indexOf('=');
            const QString key = assignment.left(equals);
            bool found = false;
            for (grids::KeyValueGrid *grid : {&video, &audio, &advanced}) {
                if (const int row = grid->findRow(key); row >= 0) {
                    grid->setValue(row, assignment.mid(equals + 1));
                    found = true;
                }
            }
            QVERIFY2(found, qPrintable(key));
        }
        QTEST(BuildParameterString(path, grids::ShownValueOf(grids)), "parameters");
        // The encoder gets a quoted value whole.
        QFETCH(QString, parameters);
        if (parameters.contains('"')) {
            const QString typed = shown.first().mid(shown.first().indexOf('=') + 1);
            QVERIFY(QProcess::splitCommand(parameters).contains(typed));
        }
    }

    void parameterStringOfNoProfile()
    {
        const ShownValue nothing = [](int, const QString &) { return QString(); };
        QCOMPARE(BuildParameterString(m_dir.filePath("missing.vkp"), nothing), QString());
        QCOMPARE(BuildParameterString(profile("empty.vkp", "[Other]\nPara=2\n"), nothing), QString());
        QVERIFY(!ProfileFileProblem(m_dir.filePath("missing.vkp")));
    }
};

std::unique_ptr<QObject> makeProfileFilesTest()
{
    return std::make_unique<ProfileFilesTest>();
}

#include "tst_profilefiles.moc"
