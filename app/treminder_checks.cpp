// The checks the resident window runs: the day's round on every wake-up that
// moved the date, the re-check, and the entries put off until now; and the
// one thing it tells the user unasked, that the desktop has no tray.

#include <QLabel>
#include <QTimer>

#include "exchange.h"
#include "settings.h"
#include "treminder.h"

namespace kv::app {

desktop::NotificationAnswer Treminder::announce(int n, storage::LogKind kind,
                                                const storage::StoredEntry& entry,
                                                const std::string& reason) {
    desktop::HandedEntry handed{n, std::string(storage::logKey(kind)), entry};
    handed.reason = reason;
    m_files->exchange().recordActiveEntry(handed.number, handed.log);
    const desktop::NotificationAnswer answer = m_opener.openNotification(this, handed);
    armSnooze();
    return answer;
}

void Treminder::guarded(const std::function<void()>& check) {
    try {
        check();
    } catch (const storage::WriteError& e) {
        reportWriteError(e);
    }
    armSnooze();
}

void Treminder::periodicCheck() {
    if (!m_check) return;
    if (m_services.clock.now().date() != m_check->roundDay()) return followTheDate();
    guarded([this] { m_check->periodicCheck(); });
}

void Treminder::followTheDate() {
    if (!m_check) return;
    if (m_services.clock.now().date() != m_check->roundDay())
        guarded([this] { m_check->dayRound(false); });
    else
        guarded([this] { m_check->snoozeCheck(); });
}

void Treminder::armSnooze() {
    const QDateTime next = m_check ? m_check->nextSnooze() : QDateTime();
    if (!next.isValid()) return m_snooze->stop();
    // Timers stand still while the machine sleeps; waking re-arms this one.
    m_snooze->start(std::clamp<qint64>(m_services.clock.now().msecsTo(next), 0, 86400000));
}

void Treminder::tellNoTray(const QString& why) {
    if (!m_files) return;
    storage::UserSettings user(m_files->userConfig());
    if (user.toldNoTray()) return;
    try {
        user.setToldNoTray();
    } catch (const storage::WriteError&) {
        // Not remembered: said again at a later start, never more than once a run.
    }
    m_akcja->setText(why);
    desktop::Bubble bubble;
    bubble.summary = "Kalvex4";
    bubble.body = why;
    bubble.colour = palette().color(QPalette::WindowText);
    m_services.notifier.show(bubble, [](const QString&) {});
}

}  // namespace kv::app
