// A run held by the user, and one told to end after the files converting now.
#include "core/conversion/batchrun.h"
#include "core/conversion/spaceneed.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/runcontrol.h"
#include "gui/widgets/toolbaricons.h"

#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

namespace mainform {

void RunControl::togglePause()
{
    if (m_run->isPaused())
        m_run->resume();
    else
        m_run->pause();
}

void RunControl::finishCurrent()
{
    m_run->finishCurrent();
}

// While held the clock stands, and the computer may sleep: nothing is converting.
void RunControl::pausedChanged(bool paused)
{
    if (paused) {
        m_form.timerTime->stop();
        m_sleepInhibition.reset();
    } else {
        m_form.timerTime->start(1000);
        m_sleepInhibition =
            m_services.power.inhibitSleep(preferences::ProgramName, QStringLiteral("Converting videos"));
    }
    showPauseButton(paused);
    if (!paused && m_lowSpaceNotice)
        m_lowSpaceNotice->close();
    if (paused) {
        ltvItemData task;
        task.Status = tasks::PausedStatus;
        for (const int row : m_run->runningRows())
            m_form.WriteTask(row, tasks::SelectStatus, task);
    }
    emit taskChanged();
}

// The run held itself: the user hears why without a box that holds the window, and may be away
// from it.
void RunControl::lowSpace(qint64 freeBytes, const QString &place)
{
    const QString text =
        conversion::lowSpaceText(freeBytes, place) + QStringLiteral("; free some space and press Resume");
    if (m_lowSpaceNotice)
        m_lowSpaceNotice->close();
    auto *notice =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Low disk space"), text, QMessageBox::Ok, m_form.window());
    notice->setObjectName(QStringLiteral("lowSpaceNotice"));
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowModality(Qt::NonModal);
    notice->show();
    m_lowSpaceNotice = notice;
    m_services.notifications.notify(QStringLiteral("Conversion paused"), text);
}

void RunControl::showPauseButton(bool paused)
{
    QToolButton *const button = m_form.tbtnPause;
    const QString caption = paused ? QStringLiteral("Resume") : QStringLiteral("Pause");
    button->setText(caption);
    button->setToolTip(caption);
    button->setAccessibleName(caption);
    button->setIcon(widgets::pictureIcon(paused ? QStringLiteral("start") : QStringLiteral("pause"), 48));
}

void RunControl::finishedCurrent()
{
    if (!m_closeAfterRun)
        information(QStringLiteral("Stopped"),
                    QStringLiteral("The conversion was stopped after the current files. The other files are left "
                                   "to be converted later."));
    showBottomFace(false);
}

void TMainForm::tbtnPauseClick()
{
    m_runControl->togglePause();
}

void TMainForm::mniStopAfterCurrentClick()
{
    m_runControl->finishCurrent();
}

} // namespace mainform
