#include "turnoffnotice.h"

#include "programvalues.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TTurnOffNotice::TTurnOffNotice(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("TurnOffNotice"));
    setWindowTitle(app::ProgramName);
    setAccessibleName(QStringLiteral("Turn off"));
    labCountdown = new QLabel(this);
    labCountdown->setObjectName(QStringLiteral("labCountdown"));
    labCountdown->setAccessibleName(QStringLiteral("Time left before the computer turns off"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAccessibleName(QStringLiteral("Cancel"));
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
    connect(btnCancel, &QPushButton::clicked, this, &TTurnOffNotice::btnCancelClick);
}

void TTurnOffNotice::begin(int seconds)
{
    m_secondsLeft = seconds;
    showCount();
    show();
    raise();
    timerCountdown->start();
}

void TTurnOffNotice::timerCountdownTimer()
{
    if (--m_secondsLeft > 0)
        return showCount();
    timerCountdown->stop();
    hide();
    emit expired();
}

void TTurnOffNotice::btnCancelClick()
{
    timerCountdown->stop();
    hide();
    emit cancelled();
}

void TTurnOffNotice::closeEvent(QCloseEvent *event)
{
    if (timerCountdown->isActive())
        btnCancelClick();
    QWidget::closeEvent(event);
}

void TTurnOffNotice::showCount()
{
    labCountdown->setText(QStringLiteral("The computer will turn off in %1 seconds.").arg(m_secondsLeft));
}
