// The run's clock: time elapsed, and the time still to go at the pace so far.
#include "core/conversion/progresstime.h"
#include "core/tasks/timetext.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/runcontrol.h"

#include <QLabel>
#include <QProgressBar>

namespace mainform {

void RunControl::tick()
{
    ++m_elapsedSeconds;
    m_form.labElapsed->setText(tasks::SecondsToTimeText(m_elapsedSeconds));
    m_remainingSeconds = conversion::remainingSeconds(m_elapsedSeconds, m_form.pgbTotal->value(), m_remainingSeconds);
    m_form.labRemaining->setText(tasks::SecondsToTimeText(m_remainingSeconds));
}

void TMainForm::timerTimeTimer()
{
    m_runControl->tick();
}

} // namespace mainform
