#include "core/profiles/designedrows.h"
#include "core/protocol/tracks.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/picklistpopup.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/trackchoices.h"
#include "helpers/fakeprobe.h"
#include "helpers/testwindow.h"

#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using grids::KeyValueGrid;

namespace {

// A video, English 5.1 and German stereo audio, and an English subtitle, as a probe lists them.
QString fourTracks()
{
    using protocol::TrackKind;
    const protocol::Track tracks[] = {
        {0, TrackKind::Video, "h264", "", "", "yuv420p, 320x240, 25 fps", "", true, false},
        {1, TrackKind::Audio, "ac3", "eng", "", "48000 Hz, 5.1(side)", "5.1(side)", true, false},
        {2, TrackKind::Audio, "aac", "ger", "", "48000 Hz, stereo", "stereo", false, false},
        {3, TrackKind::Subtitle, "subrip", "eng", "", "", "", false, false},
    };
    QString listing;
    for (const protocol::Track &track : tracks) {
        for (const std::string &line : protocol::streamListing(track))
            listing += QString::fromStdString(line) + '\n';
    }
    return listing;
}

const QString VideoOnly = QStringLiteral("    Stream #0:0: Video: mpeg4, yuv420p, 320x240, 25 fps\n");

// A window whose encoder reports every input as a minute of the four tracks.
struct Window : testwindow::Window {
    Window() : testwindow::Window({}, testwindow::Encoder::Fake) { answerProbes(); }

    void answerProbes()
    {
        fakeProcesses.responder = [](const platform::FakeStart &start) {
            return testprobe::probeRun(start, [](const QString &path) {
                return ("Input #0, matroska,webm, from '" + path +
                        "':\n  Duration: 00:01:00.00, start: 0.000000, bitrate: 1 kb/s\n" + fourTracks())
                    .toUtf8();
            });
        };
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void addTasks(const QStringList &names)
    {
        QStringList inputs;
        for (const QString &name : names)
            inputs << "/v/" + name + ".mkv";
        add(inputs);
    }
    tasks::Task task(int row) const { return mainform::taskAt(*form->ltvTask, row); }
    void clickTask(int row)
    {
        QTest::mouseClick(form->ltvTask->viewport(), Qt::LeftButton, {},
                          form->ltvTask->visualItemRect(form->ltvTask->topLevelItem(row)).center());
    }
    // Opens a row's drop-down as the user does: a click on the value, then on its button.
    grids::PickListPopup *openDropDown(const QString &key)
    {
        KeyValueGrid *grid = form->vleOutput;
        const int row = grid->findRow(key);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, KeyValueGrid::ValueColumn)).center());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->dropDownButtonRect(row).center());
        return grid->pickListPopup() && grid->pickListPopup()->isVisible() ? grid->pickListPopup() : nullptr;
    }
    QString shown(const QString &key) const { return form->vleOutput->valueOf(key); }
    QStringList captions(const QString &key) const { return form->vleOutput->pickList(form->vleOutput->findRow(key)); }
};

} // namespace

class TrackChoicesTest : public QObject {
    Q_OBJECT

private slots:
    void choiceLists_data()
    {
        QTest::addColumn<QString>("tracks");
        QTest::addColumn<QString>("languages");
        QTest::addColumn<QStringList>("audio");
        QTest::addColumn<QStringList>("subtitles");
        QTest::newRow("every kind") << fourTracks() << "eng, ger"
                                    << QStringList{"Automatic (English)", "1: English AC-3 5.1", "2: German AAC stereo",
                                                   "All"}
                                    << QStringList{"Automatic (English)", "None", "3: English SubRip", "All"};
        QTest::newRow("no preference") << fourTracks() << ""
                                       << QStringList{"Automatic", "1: English AC-3 5.1", "2: German AAC stereo", "All"}
                                       << QStringList{"Automatic", "None", "3: English SubRip", "All"};
        QTest::newRow("no audio, no subtitle")
            << VideoOnly << "deu" << QStringList{"Automatic (German)"} << QStringList{"Automatic (German)"};
        QTest::newRow("listed before tracks were kept")
            << ""
            << "" << QStringList{"Automatic", "All"} << QStringList{"Automatic", "All"};
    }
    void choiceLists()
    {
        QFETCH(QString, tracks);
        QFETCH(QString, languages);
        const mainform::TrackChoices audio = mainform::audioTrackChoices(tracks, languages);
        const mainform::TrackChoices subtitles = mainform::subtitleChoices(tracks, languages);
        QTEST(audio.captions, "audio");
        QTEST(subtitles.captions, "subtitles");
        // Each caption stores a pick that shows as that caption again.
        for (const mainform::TrackChoices &choices : {audio, subtitles}) {
            for (const QString &caption : choices.captions)
                QCOMPARE(choices.captionOf(choices.valueOf(caption)), caption);
        }
        QCOMPARE(audio.values.first(), QString());
        QCOMPARE(audio.values.last(), audio.values.size() > 1 ? "all" : "");
        // A pick the tracks no longer hold shows as the rule.
        QCOMPARE(audio.captionOf("7"), audio.captions.first());
    }

    // A pick made with clicks and keys on the Output grid is the task's own: it moves with its row
    // and comes back with the list after the program ends.
    void aTaskKeepsItsOwnPick()
    {
        Window w;
        w.addTasks({"A", "B"});
        QCOMPARE(w.captions(profiles::AudioTrackKey), QStringList());

        w.clickTask(1);
        QCOMPARE(w.shown(profiles::AudioTrackKey), "Automatic (English)");
        QCOMPARE(w.captions(profiles::AudioTrackKey),
                 (QStringList{"Automatic (English)", "1: English AC-3 5.1", "2: German AAC stereo", "All"}));
        grids::PickListPopup *popup = w.openDropDown(profiles::AudioTrackKey);
        QVERIFY(popup);
        const QList<QListWidgetItem *> german = popup->findItems("2: German AAC stereo", Qt::MatchExactly);
        QCOMPARE(german.size(), 1);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualItemRect(german.first()).center());
        QCOMPARE(w.shown(profiles::AudioTrackKey), "2: German AAC stereo");
        QCOMPARE(w.task(1).audioChoice, "2");
        QCOMPARE(w.task(0).audioChoice, QString());

        // The subtitles by keys: the drop-down, one down from Automatic to None, Enter.
        popup = w.openDropDown(profiles::SubtitlesKey);
        QVERIFY(popup);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(w.task(1).subtitleChoice, "none");

        // The other task shows its own rule, and the pick moves with its row.
        w.clickTask(0);
        QCOMPARE(w.shown(profiles::AudioTrackKey), "Automatic (English)");
        w.clickTask(1);
        QTest::mouseClick(w.form->tbtnUp, Qt::LeftButton);
        QCOMPARE(w.task(0).audioChoice, "2");
        QCOMPARE(w.task(1).audioChoice, QString());
        w.clickTask(0);
        QCOMPARE(w.shown(profiles::AudioTrackKey), "2: German AAC stereo");
        QCOMPARE(w.shown(profiles::SubtitlesKey), "None");

        w.form->closeWithoutQuestion();
        w.restart();
        w.answerProbes();
        QCOMPARE(w.form->ltvTask->topLevelItemCount(), 2);
        QCOMPARE(w.task(0).audioChoice, "2");
        QCOMPARE(w.task(0).subtitleChoice, "none");
        w.clickTask(0);
        QCOMPARE(w.shown(profiles::AudioTrackKey), "2: German AAC stereo");

        // Nothing selected: nothing to pick.
        QTest::mouseClick(w.form->tbtnClear, Qt::LeftButton);
        QCOMPARE(w.shown(profiles::AudioTrackKey), QString());
        QCOMPARE(w.captions(profiles::SubtitlesKey), QStringList());
    }
};

std::unique_ptr<QObject> makeTrackChoicesTest()
{
    return std::make_unique<TrackChoicesTest>();
}

#include "tst_trackchoices.moc"
