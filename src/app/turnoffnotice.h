#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

// The last word before the computer turns off after a batch: a count of the seconds left, and a
// Cancel that keeps the computer on. It counts without a modal loop, so the program stays live.
class TTurnOffNotice : public QWidget {
    Q_OBJECT

public:
    static constexpr int DefaultSeconds = 60;

    explicit TTurnOffNotice(QWidget *parent = nullptr);

    // Shows the notice and counts down from seconds, one each tick of timerCountdown.
    void begin(int seconds = DefaultSeconds);
    int secondsLeft() const { return m_secondsLeft; }

    QLabel *labCountdown = nullptr;
    QPushButton *btnCancel = nullptr;
    QTimer *timerCountdown = nullptr;

signals:
    void expired();
    void cancelled();

protected:
    // Closing the notice is the same as Cancel: the computer stays on.
    void closeEvent(QCloseEvent *event) override;

private:
    void timerCountdownTimer();
    void btnCancelClick();
    void showCount();

    int m_secondsLeft = 0;
};
