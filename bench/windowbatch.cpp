#include "windowbatch.h"

#include "benchprocesses.h"
#include "core/conversion/batchrun.h"
#include "core/platform/qtchildprocess.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/runcontrol.h"
#include "gui/mainform/tasklist.h"
#include "gui/settings/settingform.h"
#include "gui/widgets/errordisplay.h"
#include "windowservices.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

using mainform::TMainForm;

namespace {

constexpr int LongestWaitMs = 3600 * 1000;

// Waits in an event loop of its own until done says so after one of the signals' arrivals, or
// the limit passes; false then.
template <typename Sender, typename Signal>
bool awaitSignal(Sender *sender, Signal signal, const std::function<bool()> &done)
{
    if (done())
        return true;
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(LongestWaitMs);
    loop.exec();
    return done();
}

// As a user sets them: the settings opened from the toolbar, the number typed over, OK.
void chooseJobs(TMainForm &form, int jobs)
{
    QTest::mouseClick(form.tbtnSetting, Qt::LeftButton);
    QSpinBox *spin = form.SettingForm->spnJobs;
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, QString::number(jobs));
    // Bare FFmpeg runs at normal priority too.
    form.SettingForm->cmbPriority->setCurrentIndex(0);
    QTest::mouseClick(form.SettingForm->btnOK, Qt::LeftButton);
}

} // namespace

WindowFigure convertInWindow(const QString &encoder, const QString &profileFile, const QString &clipsFolder,
                             int clipCount, const QString &outputFolder, int jobs)
{
    WindowFigure figure;
    QTemporaryDir program;
    const QDir programDir(program.path());
    programDir.mkdir(QStringLiteral("Profiles"));
    if (!QFile::copy(profileFile,
                     programDir.filePath(QStringLiteral("Profiles/") + QFileInfo(profileFile).fileName())) ||
        !QFile::link(encoder, programDir.filePath(QStringLiteral("wmaspi.dll"))))
        return figure;

    WindowServices window;
    TMainForm form(window.services, program.path());
    form.show();
    form.edtOutputdir->setText(outputFolder);
    window.dialogs.folderToChoose = clipsFolder;
    QTest::mouseClick(form.tbtnAddDir, Qt::LeftButton);
    const bool listed = awaitSignal(&form.taskList(), &mainform::TaskList::inputsListed, [&] {
        return form.ltvTask->topLevelItemCount() == clipCount && !form.taskList().probingInputs();
    });
    if (!listed) {
        std::fprintf(stderr, "the window listed %d of %d clips\n", form.ltvTask->topLevelItemCount(), clipCount);
        return figure;
    }
    chooseJobs(form, jobs);

    conversion::BatchRun &run = form.runControl().batchRun();
    QElapsedTimer clock;
    bool ended = false;
    const auto now = [&] { return double(clock.nsecsElapsed()) / 1e9; };
    QObject::connect(&run, &conversion::BatchRun::taskStarted, &form, [&] {
        if (figure.firstStartSeconds < 0)
            figure.firstStartSeconds = now();
        figure.starts.push_back(now());
    });
    QObject::connect(&run, &conversion::BatchRun::taskEnded, &form, [&] { figure.ends.push_back(now()); });
    QObject::connect(&run, &conversion::BatchRun::runEnded, &form, [&](const conversion::RunSummary &summary) {
        figure.seconds = now();
        figure.ok = summary.end == conversion::RunEnd::Completed && summary.failed == 0 && summary.incomplete == 0 &&
                    run.jobs() == jobs;
        ended = true;
    });
    const double ownBefore = ownCpuMs();
    const double childrenBefore = childCpuMs();
    clock.start();
    QTest::mouseClick(form.tbtnStart, Qt::LeftButton);
    if (!awaitSignal(&run, &conversion::BatchRun::runEnded, [&] { return ended; }) || !figure.ok) {
        std::fprintf(stderr, "the window's run with %d jobs did not complete\n", jobs);
        figure.seconds = -1;
    }
    figure.ownCpuSeconds = (ownCpuMs() - ownBefore) / 1e3;
    figure.cpuSeconds = figure.ownCpuSeconds + (childCpuMs() - childrenBefore) / 1e3;
    return figure;
}
