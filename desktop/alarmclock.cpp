#include "alarmclock.h"

#include <stdexcept>

namespace kv::desktop {

namespace {
// Wake at least this often while enabled, so that a changed system clock is
// noticed within minutes.
constexpr qint64 kMaxSleepMs = 10 * 60 * 1000;
}  // namespace

AlarmClock::AlarmClock(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AlarmClock::poll);
}

void AlarmClock::setAlarmTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw std::out_of_range("Invalid alarm time");
    m_alarm = QTime(hour, minute, second);
    if (m_enabled) schedule();
}

void AlarmClock::setEnabled(bool on) {
    if (on == m_enabled) return;
    m_enabled = on;
    // Midnight is never "before" the alarm: enabling arms it.
    m_armed = on && m_alarm == QTime(0, 0, 0);
    if (on) {
        // The first check is one period after enabling.
        m_origin = m_clock.now();
        m_lastCheck = m_origin;
        schedule();
    } else {
        m_timer.stop();
        m_nextWake = QDateTime();
    }
    emit enabledChanged(on);
}

bool AlarmClock::check(const QDateTime& t) {
    m_lastCheck = t;
    if (!m_enabled) return false;
    const QTime tod = t.time();
    const QTime whole(tod.hour(), tod.minute(), tod.second());
    const bool inAlarmMinute = tod.hour() == m_alarm.hour() && tod.minute() == m_alarm.minute();
    // Midnight can never be "before" the alarm: any check outside its minute arms it.
    if (whole < m_alarm || (m_alarm == QTime(0, 0, 0) && !inAlarmMinute)) m_armed = true;
    if (m_armed && tod.hour() == m_alarm.hour() && tod.minute() == m_alarm.minute() &&
        tod.second() >= m_alarm.second()) {
        m_armed = false;
        return true;
    }
    return false;
}

QDateTime AlarmClock::tickAtOrAfter(const QDateTime& t) const {
    const qint64 since = m_origin.msecsTo(t);
    if (since <= 0) return m_origin;
    const qint64 ticks = (since + kCheckMs - 1) / kCheckMs;
    return m_origin.addMSecs(ticks * kCheckMs);
}

void AlarmClock::poll() {
    if (!m_enabled) return;
    const QDateTime now = m_clock.now();
    // The last grid check at or before now stands for every skipped one:
    // a skipped check could only have armed the alarm, never fired it.
    const qint64 since = m_origin.msecsTo(now);
    const QDateTime tick = since < 0 ? m_origin : m_origin.addMSecs(since / kCheckMs * kCheckMs);
    if (m_lastCheck.isValid()) {
        const QDateTime firstSkipped = m_lastCheck.addMSecs(kCheckMs);
        const QDateTime alarmToday(firstSkipped.date(), m_alarm);
        if (firstSkipped < tick && (firstSkipped < alarmToday || firstSkipped.date() < tick.date()))
            m_armed = true;
    }
    if (!m_lastCheck.isValid() || tick > m_lastCheck) {
        if (check(tick)) {
            schedule();
            emit alarm();
            return;
        }
    }
    schedule();
}

void AlarmClock::schedule() {
    if (!m_enabled) return;
    const QDateTime now = m_clock.now();
    const QDateTime from = m_lastCheck.isValid() ? m_lastCheck.addMSecs(1) : now;
    QDateTime target(from.date(), m_alarm);
    const QDateTime windowEnd(from.date(), QTime(m_alarm.hour(), m_alarm.minute(), 59, 999));
    if (from > windowEnd || (from > target && !m_armed))
        target = QDateTime(from.date().addDays(1), m_alarm);
    if (target < from) target = from;
    QDateTime wake = tickAtOrAfter(target);
    if (now.msecsTo(wake) > kMaxSleepMs) wake = tickAtOrAfter(now.addMSecs(kMaxSleepMs));
    m_nextWake = wake;
    m_timer.start(static_cast<int>(std::max<qint64>(0, now.msecsTo(wake))));
}

}  // namespace kv::desktop
