// The run's clock: time elapsed, and the time still to go at the pace so far.
#include <mainform.h>

#include "batchrules.h"

#include <timetext.h>

#include <QLabel>
#include <QProgressBar>

void TMainForm::timerTimeTimer()
{
    ++m_elapsedSeconds;
    labElapsed->setText(tasks::SecondsToTimeText(m_elapsedSeconds));
    m_remainingSeconds = conversion::remainingSeconds(m_elapsedSeconds, pgbTotal->value(), m_remainingSeconds);
    labRemaining->setText(tasks::SecondsToTimeText(m_remainingSeconds));
}
