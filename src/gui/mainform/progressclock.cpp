// The run's clock: time elapsed, and the time still to go at the pace so far.
#include "core/conversion/progresstime.h"
#include "core/tasks/timetext.h"
#include "gui/mainform/mainform.h"

#include <QLabel>
#include <QProgressBar>

namespace mainform {

void TMainForm::timerTimeTimer()
{
    ++m_elapsedSeconds;
    labElapsed->setText(tasks::SecondsToTimeText(m_elapsedSeconds));
    m_remainingSeconds = conversion::remainingSeconds(m_elapsedSeconds, pgbTotal->value(), m_remainingSeconds);
    labRemaining->setText(tasks::SecondsToTimeText(m_remainingSeconds));
}

} // namespace mainform
