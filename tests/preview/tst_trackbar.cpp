#include "gui/preview/dstrackbar.h"
#include "gui/preview/mediaseeking.h"
#include "preview/previewtestsupport.h"

#include <QTest>
#include <QTimer>

#include <memory>

using preview::ControlNotification;
using preview::TDSTrackBar;

namespace {

class FakeSeeking : public preview::MediaSeeking {
public:
    std::optional<qint64> Duration() const override
    {
        ++reads;
        return duration;
    }
    std::optional<qint64> CurrentPosition() const override
    {
        ++reads;
        return current;
    }
    std::optional<qint64> StopPosition() const override { return duration; }
    void SetCurrentPosition(qint64 milliseconds) override { seeks << milliseconds; }

    std::optional<qint64> duration = 6040;
    std::optional<qint64> current = 0;
    mutable int reads = 0;
    QList<qint64> seeks;
};

} // namespace

class TrackBarTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_seeking.emplace();
        m_bar = std::make_unique<TDSTrackBar>();
        m_bar->resize(200, 21);
        m_bar->setSeeking(&*m_seeking);
        m_bar->OnTimer = [this](int currentMs, int durationMs) { m_ticks << QPair(currentMs, durationMs); };
        m_ticks.clear();
        m_bar->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    }
    void cleanup() { m_bar.reset(); }

    void releasingTheThumbSeeksToItsShareOfTheFile_data()
    {
        QTest::addColumn<qint64>("stopMs");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("targetMs");
        QTest::newRow("middle") << qint64(6040) << 6 << 3 << qint64(3020);
        QTest::newRow("truncated") << qint64(1000) << 3 << 1 << qint64(333);
        QTest::newRow("start") << qint64(6040) << 6 << 0 << qint64(0);
        // Three hours: the product no longer fits in 32 bits.
        QTest::newRow("long file") << qint64(10'800'000) << 10'800 << 10'799 << qint64(10'799'000);
    }
    void releasingTheThumbSeeksToItsShareOfTheFile()
    {
        QFETCH(qint64, stopMs);
        QFETCH(int, maximum);
        QFETCH(int, position);
        QFETCH(qint64, targetMs);
        m_seeking->duration = stopMs;
        m_bar->setRange(0, maximum);
        m_bar->setValue(position);

        previewtest::clickThumb(*m_bar);

        QCOMPARE(m_seeking->seeks, QList<qint64>{targetMs});
    }

    void onlyALeftReleaseWithSomewhereToGoSeeks()
    {
        m_bar->setRange(0, 6);
        m_bar->setValue(3);
        const QPoint thumb = previewtest::thumbCentre(*m_bar);
        QTest::mousePress(m_bar.get(), Qt::RightButton, Qt::NoModifier, thumb);
        QTest::mouseRelease(m_bar.get(), Qt::RightButton, Qt::NoModifier, thumb);
        QTest::keyClick(m_bar.get(), Qt::Key_Right);
        QCOMPARE(m_bar->value(), 4);
        QCOMPARE(m_seeking->seeks, QList<qint64>{});

        // A file shorter than one interval gives a bar without length.
        m_bar->setRange(0, 0);
        previewtest::clickThumb(*m_bar);
        QCOMPARE(m_seeking->seeks, QList<qint64>{});

        m_bar->setSeeking(nullptr);
        m_bar->setRange(0, 6);
        m_bar->setValue(3);
        previewtest::clickThumb(*m_bar);
        QCOMPARE(m_seeking->seeks, QList<qint64>{});
    }

    void aTickShowsThePositionInWholeIntervals()
    {
        m_bar->setRange(5, 10);
        m_seeking->current = 2999;
        m_bar->ControlNotify(ControlNotification::Play);
        QTRY_COMPARE_WITH_TIMEOUT(m_ticks.size(), 1, 3000);
        QCOMPARE(m_ticks.first(), QPair(2999, 6040));
        QCOMPARE(m_bar->minimum(), 0);
        QCOMPARE(m_bar->maximum(), 6);
        QCOMPARE(m_bar->value(), 2);
    }

    void aPositionThatCannotBeReadSkipsTheTick()
    {
        m_bar->setTimerInterval(20);
        m_seeking->duration.reset();
        m_bar->setValue(4);
        m_bar->ControlNotify(ControlNotification::Play);
        QTRY_VERIFY_WITH_TIMEOUT(m_seeking->reads >= 6, 3000);
        QCOMPARE(m_ticks.size(), 0);
        QCOMPARE(m_bar->maximum(), 10);
        QCOMPARE(m_bar->value(), 4);
    }

    void repeatedPlayNotificationsDoNotPostponeTheTick()
    {
        m_bar->setTimerInterval(300);
        QTimer replay;
        connect(&replay, &QTimer::timeout, m_bar.get(), [this] { m_bar->ControlNotify(ControlNotification::Play); });
        replay.start(50);
        m_bar->ControlNotify(ControlNotification::Play);
        QTRY_VERIFY_WITH_TIMEOUT(!m_ticks.isEmpty(), 3000);
    }

private:
    std::optional<FakeSeeking> m_seeking;
    std::unique_ptr<TDSTrackBar> m_bar;
    QList<QPair<int, int>> m_ticks;
};

std::unique_ptr<QObject> makeTrackBarTest()
{
    return std::make_unique<TrackBarTest>();
}

#include "tst_trackbar.moc"
