#include "core/tasks/timetext.h"
#include "gui/preview/directshowexception.h"
#include "gui/preview/dstrackbar.h"
#include "gui/preview/filtergraph.h"
#include "gui/preview/mediaseeking.h"
#include "gui/preview/previewplayer.h"
#include "gui/preview/videowindow.h"
#include "preview/previewtestsupport.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>
#include <optional>

using preview::ControlNotification;
using preview::GraphState;
using Notifications = QList<ControlNotification>;

namespace {

// The cases wait for seconds of playback, not for the bar: it ticks four times a second here, so
// that a whole second shows within a quarter of one. The window's own interval is its test's.
constexpr int TickMs = 250;
// Long enough for more than two ticks of a pause or a failure to pass unnoticed.
constexpr int QuietSpanMs = 3 * TickMs;
constexpr int TickTimeoutMs = 5000;

} // namespace

class PreviewPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath("six seconds.avi");
        m_shortClip = m_dir.filePath("two seconds.avi");
        QVERIFY2(testclips::makeClip(m_clip, 6), "ffmpeg must be on PATH");
        QVERIFY(testclips::makeClip(m_shortClip, 2));
        m_textFile = m_dir.filePath("not a video.avi");
        QFile text(m_textFile);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("This is plain text, not a video.\n");
    }

    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(200, 177);
        auto *rows = new QVBoxLayout(m_window.get());
        m_videoWindow = new preview::TVideoWindow(m_window.get());
        m_bar = new preview::TDSTrackBar(m_window.get());
        m_bar->setTimerInterval(TickMs);
        m_label = new QLabel(QStringLiteral("00:00:00"), m_window.get());
        rows->addWidget(m_videoWindow, 1);
        rows->addWidget(m_bar);
        rows->addWidget(m_label);
        m_graph = std::make_unique<preview::TFilterGraph>();
        m_player.emplace(*m_graph, *m_videoWindow, *m_bar, *m_label);
        m_notifications.emplace(m_graph.get(), &preview::TFilterGraph::controlNotification);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_notifications.reset();
        m_player.reset();
        // The graph goes while the bar lives on, as when the window closes.
        m_graph.reset();
        m_window.reset();
    }

    void beforeAnyPreviewPauseAndStopDoNothing()
    {
        m_player->PauseResume();
        m_player->Stop();
        QCOMPARE(m_graph->GetState(), GraphState::Uninitialized);
        QVERIFY(!m_graph->Active());
        QCOMPARE(notifications(), Notifications{});
        QCOMPARE(m_label->text(), "00:00:00");
    }

    void aPreviewPlaysAndTheLabelFollows()
    {
        m_player->PreviewTask(m_clip);
        // The call returns while the file loads; it is announced as rendered once it has.
        QCOMPARE(notifications().mid(0, 3), (Notifications{ControlNotification::Activated, ControlNotification::Stop,
                                                           ControlNotification::FileRendering}));
        QTRY_COMPARE_WITH_TIMEOUT(notifications().mid(3).count(ControlNotification::FileRendered), 1, TickTimeoutMs);
        QVERIFY(notifications().contains(ControlNotification::Play));
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(labelSeconds() >= 2, 2 * TickTimeoutMs);
        QCOMPARE(barSeconds(), labelSeconds());
        QCOMPARE(m_bar->maximum(), 6000 / TickMs);
    }

    void pauseResumeTogglesAndDoesNothingAfterStop()
    {
        QVERIFY2(playUntil(1), qPrintable(describe()));
        m_player->PauseResume();
        QCOMPARE(m_graph->GetState(), GraphState::Paused);
        const qint64 pausedAt = position();
        const QString shown = m_label->text();
        const int thumb = m_bar->value();

        QTest::qWait(QuietSpanMs);
        QCOMPARE(m_label->text(), shown);
        QCOMPARE(m_bar->value(), thumb);
        QVERIFY2(qAbs(position() - pausedAt) < 100, qPrintable(QString::number(position() - pausedAt)));

        m_player->PauseResume();
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(m_label->text() != shown, TickTimeoutMs);

        m_player->Stop();
        QCOMPARE(m_graph->GetState(), GraphState::Stopped);
        m_notifications->clear();
        m_player->PauseResume();
        QCOMPARE(m_graph->GetState(), GraphState::Stopped);
        QCOMPARE(notifications(), Notifications{});
    }

    void playStartsTheFileFromItsBeginning_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("while playing") << "playing";
        QTest::newRow("while paused") << "paused";
        QTest::newRow("after stop") << "stopped";
    }
    void playStartsTheFileFromItsBeginning()
    {
        QFETCH(QString, before);
        QVERIFY2(playUntil(2), qPrintable(describe()));
        if (before == "paused")
            m_player->PauseResume();
        else if (before == "stopped")
            m_player->Stop();
        m_notifications->clear();

        m_player->PreviewTask(m_clip);

        QCOMPARE(notifications().mid(0, 2),
                 (Notifications{ControlNotification::Stop, ControlNotification::FileRendering}));
        QTRY_COMPARE_WITH_TIMEOUT(notifications().count(ControlNotification::FileRendered), 1, TickTimeoutMs);
        QCOMPARE(notifications().count(ControlNotification::Play), 1);
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
        QVERIFY2(position() < 1000, qPrintable(QString::number(position())));
        QTRY_VERIFY_WITH_TIMEOUT(labelSeconds() <= 1, TickTimeoutMs);
    }

    void releasingTheThumbAtTheMiddleSeeksThere()
    {
        QVERIFY2(playUntil(1), qPrintable(describe()));
        const QString shown = m_label->text();
        QVERIFY(position() < 1900);
        m_bar->setValue(m_bar->maximum() / 2);
        previewtest::clickThumb(*m_bar);
        // Playback alone needs more than a second to get there.
        QTRY_VERIFY_WITH_TIMEOUT(position() >= 2900 && position() < 4000, 1000);
        // The next ticks show where the seek went, long before playback could reach it.
        QTRY_VERIFY_WITH_TIMEOUT(labelSeconds() >= 3, 4 * TickMs);
        QVERIFY(m_label->text() != shown);
        QCOMPARE(barSeconds(), labelSeconds());
    }

    void aHeldThumbStaysWhilePlaybackGoesOn()
    {
        QVERIFY2(playUntil(1), qPrintable(describe()));
        const QPoint thumb = previewtest::thumbCentre(*m_bar);
        QTest::mousePress(m_bar, Qt::LeftButton, Qt::NoModifier, thumb);
        const QString shown = m_label->text();
        const int held = m_bar->value();
        // A second of ticks; without the seek below, playback would be further on than it lands.
        const qint64 pressedAt = position();
        QTRY_VERIFY_WITH_TIMEOUT(position() >= pressedAt + 1000, TickTimeoutMs);
        QCOMPARE(m_bar->value(), held);
        QCOMPARE(m_label->text(), shown);

        QTest::mouseRelease(m_bar, Qt::LeftButton, Qt::NoModifier, thumb);
        const qint64 target = *m_graph->Seeking()->StopPosition() * held / m_bar->maximum();
        QTRY_VERIFY_WITH_TIMEOUT(position() >= target - 100 && position() < target + 700, 1000);
    }

    void anUnplayableFileRaisesAndLeavesThePreviewIdle_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("text named .avi") << m_textFile;
        QTest::newRow("missing") << m_dir.filePath("gone.avi");
    }
    void anUnplayableFileRaisesAndLeavesThePreviewIdle()
    {
        QFETCH(QString, file);
        QVERIFY2(playUntil(2), qPrintable(describe()));
        m_notifications->clear();

        QSignalSpy failures(m_graph.get(), &preview::TFilterGraph::RenderFailed);
        m_player->PreviewTask(file); // returns at once; the refusal comes when the player has one
        QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, TickTimeoutMs);
        const QString message = failures.first().first().toString();
        QVERIFY2(message.contains(" ($") && message.endsWith(")."), qPrintable(message));
        QVERIFY(message.length() > 6);
        QCOMPARE(notifications().mid(0, 2),
                 (Notifications{ControlNotification::Stop, ControlNotification::FileRendering}));
        QVERIFY(!notifications().contains(ControlNotification::FileRendered));
        QVERIFY(m_graph->Active());
        QCOMPARE(m_graph->GetState(), GraphState::Stopped);
        m_player->PauseResume();
        QCOMPARE(m_graph->GetState(), GraphState::Stopped);

        const QString shown = m_label->text();
        const int thumb = m_bar->value();
        QTest::qWait(QuietSpanMs);
        QCOMPARE(m_label->text(), shown);
        QCOMPARE(m_bar->value(), thumb);

        m_player->PreviewTask(m_clip);
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(labelSeconds() <= 1, TickTimeoutMs);
    }

    // Loading never holds the window: the call returns before the file has loaded, and the
    // preview asked for last is the one that plays.
    void aPreviewStartedWhileAnotherLoadsWins()
    {
        m_player->PreviewTask(m_clip);
        m_player->PreviewTask(m_shortClip);
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
        QTRY_VERIFY_WITH_TIMEOUT(notifications().contains(ControlNotification::FileRendered), TickTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_graph->Seeking()->Duration() < 3000, TickTimeoutMs);
        QCOMPARE(notifications().count(ControlNotification::FileRendered), 1);
        QTRY_VERIFY_WITH_TIMEOUT(position() > 200, TickTimeoutMs);
    }

    // At the end of the file the preview goes on running, held at the last frame: Pause / Resume
    // acts, and moving the thumb back plays on from there.
    void theEndOfTheFileKeepsThePreviewRunning()
    {
        m_player->PreviewTask(m_shortClip);
        QTRY_VERIFY_WITH_TIMEOUT(m_graph->Seeking()->Duration() > 1500, TickTimeoutMs);
        const qint64 duration = *m_graph->Seeking()->Duration();
        QTRY_VERIFY_WITH_TIMEOUT(position() >= duration, 3 * TickTimeoutMs);
        QTest::qWait(300);
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
        QCOMPARE(position(), duration);
        m_player->PauseResume();
        QCOMPARE(m_graph->GetState(), GraphState::Paused);
        m_player->PauseResume();
        QCOMPARE(m_graph->GetState(), GraphState::Playing);

        // The user drags the thumb back to the start and lets go.
        QTRY_VERIFY_WITH_TIMEOUT(m_bar->maximum() > 0, TickTimeoutMs);
        QTest::mousePress(m_bar, Qt::LeftButton, {}, QPoint(2, m_bar->height() / 2));
        m_bar->setValue(0);
        QTest::mouseRelease(m_bar, Qt::LeftButton, {}, QPoint(2, m_bar->height() / 2));
        QTRY_VERIFY_WITH_TIMEOUT(position() < duration / 2, TickTimeoutMs);
        const qint64 resumedAt = position();
        QTRY_VERIFY_WITH_TIMEOUT(position() > resumedAt + 300, TickTimeoutMs);
        QCOMPARE(m_graph->GetState(), GraphState::Playing);
    }

    void aDeactivatedGraphReleasesThePlayerAndCanStartAgain()
    {
        QVERIFY2(playUntil(1), qPrintable(describe()));
        m_graph->setActive(false);
        QCOMPARE(notifications().last(), ControlNotification::Deactivated);
        QCOMPARE(m_graph->GetState(), GraphState::Uninitialized);
        QVERIFY(!m_graph->Seeking());
        m_notifications->clear();
        m_player->PauseResume();
        m_player->Stop();
        QCOMPARE(notifications(), Notifications{});

        m_player->PreviewTask(m_clip);
        QCOMPARE(notifications().first(), ControlNotification::Activated);
        QTRY_VERIFY_WITH_TIMEOUT(labelSeconds() >= 2, 2 * TickTimeoutMs);
    }

private:
    // A whole second shows at the first tick past it, which may come late on a busy machine.
    [[nodiscard]] bool playUntil(int seconds)
    {
        m_player->PreviewTask(m_clip);
        return QTest::qWaitFor([&] { return labelSeconds() >= seconds; }, TickTimeoutMs * (1 + seconds));
    }

    QString describe() const
    {
        return QStringLiteral("label %1, position %2 ms, state %3")
            .arg(m_label->text())
            .arg(m_graph->Seeking() ? position() : -1)
            .arg(int(m_graph->GetState()));
    }

    int labelSeconds() const { return int(tasks::TimeTextToSeconds(m_label->text())); }
    int barSeconds() const { return m_bar->value() * TickMs / 1000; }

    qint64 position() const { return m_graph->Seeking()->CurrentPosition().value_or(-1); }

    Notifications notifications() const
    {
        Notifications seen;
        for (const QList<QVariant> &arguments : *m_notifications)
            seen << arguments.first().value<ControlNotification>();
        return seen;
    }

    QTemporaryDir m_dir;
    QString m_clip, m_shortClip, m_textFile;
    std::unique_ptr<QWidget> m_window;
    preview::TVideoWindow *m_videoWindow = nullptr;
    preview::TDSTrackBar *m_bar = nullptr;
    QLabel *m_label = nullptr;
    std::unique_ptr<preview::TFilterGraph> m_graph;
    std::optional<preview::PreviewPlayer> m_player;
    std::optional<QSignalSpy> m_notifications;
};

std::unique_ptr<QObject> makePreviewPlayerTest()
{
    return std::make_unique<PreviewPlayerTest>();
}

#include "tst_previewplayer.moc"
