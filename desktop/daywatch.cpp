#include "daywatch.h"

#include <QDBusConnection>
#include <QSocketNotifier>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#endif

namespace kv::desktop {

DayWatch::DayWatch(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {
    m_midnight.setSingleShot(true);
    // To the second: a coarse timer may be minutes late over a whole day.
    m_midnight.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_midnight, &QTimer::timeout, this, &DayWatch::fire);
    arm();
    m_hearsSleep = QDBusConnection::systemBus().connect(
        "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
        "PrepareForSleep", this, SLOT(onPrepareForSleep(bool)));
    watchClockChanges();
}

DayWatch::~DayWatch() {
#ifdef __linux__
    if (m_clockFd >= 0) ::close(m_clockFd);
#endif
}

void DayWatch::arm() {
    const QDateTime now = m_clock.now();
    m_next = QDateTime(now.date().addDays(1), QTime(0, 0));
    // A second past midnight, so that the date read then is the new one.
    m_midnight.start(std::max<qint64>(1000, now.msecsTo(m_next) + 1000));
}

void DayWatch::fire() {
    arm();
    emit dateMayHaveMoved();
}

void DayWatch::onPrepareForSleep(bool sleeping) {
    // The timer's clock stood still while asleep: it would wake too late.
    if (!sleeping) fire();
}

void DayWatch::watchClockChanges() {
#ifdef __linux__
    // A timer on the wall clock, set far ahead, that the kernel cancels
    // whenever the clock is set: that cancellation is the notice.
    m_clockFd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_clockFd < 0) return;
    auto setFarAhead = [fd = m_clockFd] {
        itimerspec farAhead{};
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        farAhead.it_value.tv_sec = now.tv_sec + 10L * 365 * 24 * 3600;
        return ::timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &farAhead,
                                 nullptr) == 0;
    };
    if (!setFarAhead()) {
        ::close(m_clockFd);
        m_clockFd = -1;
        return;
    }
    m_clockChanged = new QSocketNotifier(m_clockFd, QSocketNotifier::Read, this);
    connect(m_clockChanged, &QSocketNotifier::activated, this, [this, setFarAhead] {
        std::uint64_t expirations = 0;
        const bool cancelled =
            ::read(m_clockFd, &expirations, sizeof expirations) < 0 && errno == ECANCELED;
        setFarAhead();
        if (cancelled) fire();
    });
#endif
}

}  // namespace kv::desktop
