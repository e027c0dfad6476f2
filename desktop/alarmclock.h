#pragma once
// The hidden clock with an alarm. It behaves exactly as a clock checked every
// 450 ms, but wakes only when a check can change something.

#include <QObject>
#include <QTime>
#include <QTimer>

#include "services.h"

namespace kv::desktop {

class AlarmClock final : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckMs = 450;

    explicit AlarmClock(Clock& clock, QObject* parent = nullptr);

    // Hour 0-23, minute and second 0-59; anything else throws std::out_of_range.
    void setAlarmTime(int hour, int minute, int second);
    QTime alarmTime() const { return m_alarm; }
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    bool isArmed() const { return m_armed; }

    // One check at time t; returns whether the alarm fires.
    bool check(const QDateTime& t);
    // When the next check that can change anything is due (null when disabled).
    QDateTime nextWake() const { return m_nextWake; }
    // Runs the checks due up to now; the scheduler calls it, tests may too.
    void poll();

signals:
    void alarm();
    // Armed or disarmed by anyone: the timer page follows it.
    void enabledChanged(bool on);

private:
    QDateTime tickAtOrAfter(const QDateTime& t) const;
    void schedule();

    Clock& m_clock;
    QTimer m_timer;
    QTime m_alarm{0, 0, 0};
    bool m_enabled = false;
    bool m_armed = false;
    QDateTime m_origin;     // the check grid starts here
    QDateTime m_lastCheck;  // time of the last check made
    QDateTime m_nextWake;
};

}  // namespace kv::desktop
