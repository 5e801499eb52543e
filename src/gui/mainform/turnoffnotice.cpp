#include "gui/mainform/turnoffnotice.h"

#include "core/preferences/programvalues.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mainform {

TTurnOffNotice::TTurnOffNotice(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TurnOffNotice"));
    setWindowTitle(preferences::ProgramName);
    setAccessibleName(QStringLiteral("Turn off"));
    labCountdown = new QLabel(this);
    labCountdown->setObjectName(QStringLiteral("labCountdown"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAccessibleName(QStringLiteral("Cancel"));
    btnCancel->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(labCountdown);
    layout->addLayout(buttons);
    timerCountdown = new QTimer(this);
    timerCountdown->setObjectName(QStringLiteral("timerCountdown"));
    timerCountdown->setInterval(1000);
    connect(timerCountdown, &QTimer::timeout, this, &TTurnOffNotice::timerCountdownTimer);
    connect(btnCancel, &QPushButton::clicked, this, &TTurnOffNotice::cancel);
}

void TTurnOffNotice::begin(int seconds)
{
    m_secondsLeft = seconds;
    showCount();
    show();
    raise();
    activateWindow();
    btnCancel->setFocus();
    timerCountdown->start();
}

bool TTurnOffNotice::isCounting() const
{
    return timerCountdown->isActive();
}

void TTurnOffNotice::timerCountdownTimer()
{
    if (--m_secondsLeft > 0)
        return showCount();
    timerCountdown->stop();
    hide();
    emit expired();
}

void TTurnOffNotice::cancel()
{
    if (!isCounting())
        return;
    timerCountdown->stop();
    hide();
    emit cancelled();
}

void TTurnOffNotice::reject()
{
    cancel();
    QDialog::reject();
}

void TTurnOffNotice::showCount()
{
    labCountdown->setText(m_secondsLeft == 1
                              ? QStringLiteral("The computer will turn off in 1 second.")
                              : QStringLiteral("The computer will turn off in %1 seconds.").arg(m_secondsLeft));
}

} // namespace mainform
