// A size chosen in the window's grid: the real encoder's two passes land under it, and the
// window's bars climb once over both.
#include "gui/grids/gridsection.h"
#include "gui/grids/gridsectionstack.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/picklistpopup.h"
#include "helpers/testwindow.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

namespace {

const QString SizedProfile = QStringLiteral("3GP H.264 320x240.vkp");

bool ffmpegEncodesH264()
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-hide_banner", "-encoders"});
    return ffmpeg.waitForFinished() && ffmpeg.readAll().contains("libx264");
}

} // namespace

class TargetSizeTest : public QObject {
    Q_OBJECT

private slots:
    void aChosenSizeIsKeptAndTheBarsClimbOnce()
    {
        if (!ffmpegEncodesH264())
            QSKIP("this FFmpeg has no H.264 encoder");
        QTemporaryDir media;
        const QString clip = media.filePath("forty seconds.avi");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=40", "-f",
                                "lavfi", "-i", "sine=duration=40", "-c:v", "mpeg4", "-c:a", "mp3", clip});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        QFile shipped(QStringLiteral(VELKOR_BIN_DIR "/Profiles/") + SizedProfile);
        QVERIFY(shipped.open(QIODevice::ReadOnly));

        testwindow::Window w({{SizedProfile, shipped.readAll()}});
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        w.form->edtOutputdir->setText(media.path());
        w.add({clip});

        // Off, 8 MB, 10 MB, 16 MB: the fourth entry of the drop-down.
        grids::KeyValueGrid *advanced = w.form->vleAdvanced;
        for (grids::GridSection *section : w.form->profileSections->sections()) {
            if (section->grid() == advanced && !section->isExpanded())
                QTest::mouseClick(section->button(), Qt::LeftButton);
        }
        const int row = advanced->findRow("Target Size");
        QVERIFY(row >= 0);
        // The drop-down button belongs to the current row: the row's value is clicked first.
        const QRect value = advanced->visualRect(advanced->model()->index(row, grids::KeyValueGrid::ValueColumn));
        QTest::mouseClick(advanced->viewport(), Qt::LeftButton, {}, value.center());
        QTest::mouseClick(advanced->viewport(), Qt::LeftButton, {}, advanced->dropDownButtonRect(row).center());
        QVERIFY(advanced->pickListPopup() && advanced->pickListPopup()->isVisible());
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(advanced->pickListPopup(), Qt::Key_Down);
        QTest::keyClick(advanced->pickListPopup(), Qt::Key_Return);
        QCOMPARE(advanced->valueOf("Target Size"), "16 MB");

        QList<int> shown;
        const auto watching =
            connect(w.form->pgbTotal, &QProgressBar::valueChanged, this, [&shown](int value) { shown << value; });
        connect(&w.form->runControl().batchRun(), &conversion::BatchRun::runEnded, this,
                [watching] { disconnect(watching); });
        QVERIFY(testwindow::startAndWaitForRun(*w.form, 120000));

        QCOMPARE(w.form->ltvTask->topLevelItem(0)->text(tasks::columnOf(tasks::SelectStatus)), "Complete");
        const qint64 size = QFileInfo(media.filePath("forty seconds.3gp")).size();
        QVERIFY2(size > 0 && size <= 16'000'000, qPrintable(QString::number(size)));
        // One climb: never back down when the second pass begins, through the middle to the end.
        QVERIFY2(std::is_sorted(shown.cbegin(), shown.cend()), qPrintable(QDebug::toString(shown)));
        QVERIFY2(std::any_of(shown.cbegin(), shown.cend(), [](int value) { return value > 30 && value < 70; }),
                 qPrintable(QDebug::toString(shown)));
        QCOMPARE(shown.isEmpty() ? 0 : shown.last(), 100);
    }
};

std::unique_ptr<QObject> makeTargetSizeTest()
{
    return std::make_unique<TargetSizeTest>();
}

#include "tst_targetsize.moc"
