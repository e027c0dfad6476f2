#pragma once
// Says when the local date may have moved: at the next midnight, when the
// system clock was set, and when the machine wakes from a suspend. It polls
// nothing: one single-shot timer, the kernel's clock-change notice and the
// login manager's sleep signal.

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include "services.h"

class QSocketNotifier;

namespace kv::desktop {

class DayWatch final : public QObject {
    Q_OBJECT
public:
    explicit DayWatch(Clock& clock, QObject* parent = nullptr);
    ~DayWatch() override;
    DayWatch(const DayWatch&) = delete;
    DayWatch& operator=(const DayWatch&) = delete;

    // The midnight the timer waits for.
    QDateTime nextMidnight() const { return m_next; }
    // Whether the login manager's sleep signal is being heard.
    bool hearsSleep() const { return m_hearsSleep; }

signals:
    // Midnight passed, the clock was set, or the machine woke up.
    void dateMayHaveMoved();

private slots:
    void onPrepareForSleep(bool sleeping);

private:
    void arm();
    void fire();
    void watchClockChanges();

    Clock& m_clock;
    QTimer m_midnight;
    QDateTime m_next;
    bool m_hearsSleep = false;
    int m_clockFd = -1;
    QSocketNotifier* m_clockChanged = nullptr;
};

}  // namespace kv::desktop
