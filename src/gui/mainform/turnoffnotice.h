#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace mainform {

// The last word before the computer turns off after a batch: a count of the seconds left, and a
// Cancel that keeps the computer on. It counts without a modal loop, so the program stays live,
// and the count is the label's own text, so a screen reader reads it out.
class TTurnOffNotice : public QDialog {
    Q_OBJECT

public:
    static constexpr int DefaultSeconds = 60;

    explicit TTurnOffNotice(QWidget *parent = nullptr);

    // Shows the notice and counts down from seconds, one each tick of timerCountdown.
    void begin(int seconds = DefaultSeconds);
    // Keeps the computer on, as Cancel does; no effect while the notice is not counting.
    void cancel();
    bool isCounting() const;

    QLabel *labCountdown = nullptr;
    QPushButton *btnCancel = nullptr;
    QTimer *timerCountdown = nullptr;

signals:
    void expired();
    void cancelled();

protected:
    // Closing the notice, or Escape, is the same as Cancel: the computer stays on.
    void reject() override;

private:
    void timerCountdownTimer();
    void showCount();

    int m_secondsLeft = 0;
};

} // namespace mainform
