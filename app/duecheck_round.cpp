// The round of a day: what was put off until now, what fell due while the
// program was not running, today's entries, and those coming soon.

#include <QString>

#include "duecheck.h"
#include "reminders.h"
#include "settings.h"

namespace kv::app {

using storage::LogKind;

namespace {

std::string aheadReason(int days, const QDate& day) {
    const QString count = days == 1 ? QString("In 1 day") : QString("In %1 days").arg(days);
    return QString("%1 (%2)").arg(count, day.toString("yyyy-MM-dd")).toStdString();
}

// The first day a round looks back to: the one after the last check, at most
// a year back; a stored day after today (a clock that was wrong) gives none.
QDate missedFrom(const QDate& last, const QDate& today) {
    return std::max(last.addDays(1), today.addYears(-1));
}

}  // namespace

void DueCheck::dayRound(bool startup) {
    if (m_inRound) {
        m_roundAsked = true;
        return;
    }
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{m_inRound};
    m_inRound = true;
    do {
        m_roundAsked = false;
        runRound(startup);
        startup = false;
    } while (m_roundAsked && m_hooks.now().date() != m_roundDay);
}

void DueCheck::runRound(bool startup) {
    const QDate today = m_hooks.now().date();
    m_roundDay = today;
    m_roundShown.clear();
    storage::Profile& file = m_files.userConfig();
    storage::UserSettings user(file);
    const storage::ReminderSettings settings = user.reminders();
    const std::optional<std::string> stored = user.lastCheck();
    const QDate last =
        stored ? QDate::fromString(QString::fromStdString(*stored), "yyyy-MM-dd") : QDate();
    // A mark answers a missed showing until the round that could show it ends.
    const QDate from = settings.catchUp && last.isValid() ? missedFrom(last, today) : today;
    keepState([&] {
        storage::ReminderState(file).forgetExpired(dayText(std::min(from, today)), dayText(today));
    });

    auto pass = [this](auto run) {
        m_passShown.clear();
        run();
        m_roundShown.insert(m_passShown.begin(), m_passShown.end());
    };
    pass([&] { snoozeCheck(); });
    if (settings.catchUp && last.isValid()) pass([&] { missedPass(last, today); });
    pass([&] { startupPass(dayText(today), startup); });
    if (settings.daysAhead > 0) pass([&] { aheadPass(today, settings.daysAhead); });
    keepState([&] { user.setLastCheck(dayText(today)); });
}

void DueCheck::missedPass(const QDate& last, const QDate& today) {
    const QDate from = missedFrom(last, today);
    std::vector<std::string> days;  // latest first
    for (QDate d = today.addDays(-1); d >= from; d = d.addDays(-1)) days.push_back(dayText(d));
    const std::string todayText = dayText(today);
    const Pass scope(m_files);
    for (LogKind kind : {LogKind::Private, LogKind::Static, LogKind::Public})
        for (int n = 0; n < storage::kSlots; ++n)
            announceWhile(n, kind, [&](const storage::StoredEntry& e) -> std::optional<Occasion> {
                // Due today as well: today's pass shows it.
                if (dueOn(kind, e, todayText, Rules::Startup, m_user)) return std::nullopt;
                for (const std::string& d : days)
                    if (dueOn(kind, e, d, Rules::Startup, m_user))
                        return hidden(kind, e, d) ? std::nullopt
                                                  : std::optional<Occasion>({"Missed on " + d, d});
                return std::nullopt;
            });
}

void DueCheck::aheadPass(const QDate& today, int daysAhead) {
    const std::string todayText = dayText(today);
    const Pass scope(m_files);
    for (LogKind kind : {LogKind::Static, LogKind::Public})
        for (int n = 0; n < storage::kSlots; ++n)
            announceWhile(n, kind, [&](const storage::StoredEntry& e) -> std::optional<Occasion> {
                if (e.wyswietlanie != "rok" && e.wyswietlanie != "miesiac") return std::nullopt;
                if (dueOn(kind, e, todayText, Rules::Startup, m_user) ||
                    hidden(kind, e, todayText) || m_roundShown.count(storage::contentKey(kind, e)))
                    return std::nullopt;
                for (int k = 1; k <= daysAhead; ++k) {
                    const std::string day = dayText(today.addDays(k));
                    if (!dueOn(kind, e, day, Rules::Startup, m_user)) continue;
                    // Given once a coming day: "Done" on it ends the warning.
                    if (warned(kind, e, day)) return std::nullopt;
                    return Occasion{aheadReason(k, today.addDays(k)), day, true};
                }
                return std::nullopt;
            });
}

void DueCheck::snoozeCheck() {
    storage::Profile& file = m_files.userConfig();
    const std::string now = timeText(m_hooks.now());
    for (const storage::Snooze& s : storage::ReminderState(file).snoozes()) {
        if (s.until > now) continue;
        keepState([&] { storage::ReminderState(file).forgetSnooze(s.key); });
        const storage::Profile& log = m_files.log(s.kind);
        for (int n = 0; n < storage::kSlots; ++n) {
            const storage::StoredEntry e = storage::readStoredEntry(log, n);
            if (e.occupied && storage::contentKey(s.kind, e) == s.key) {
                announce(n, s.kind, e, {s.reason, dayText(m_hooks.now().date())});
                break;
            }
        }
        // Not found: the entry was removed or changed meanwhile, and is forgotten.
    }
}

QDateTime DueCheck::nextSnooze() const {
    QDateTime next;
    for (const storage::Snooze& s : storage::ReminderState(m_files.userConfig()).snoozes()) {
        const QDateTime at = QDateTime::fromString(QString::fromStdString(s.until), kTimeFormat);
        if (at.isValid() && (!next.isValid() || at < next)) next = at;
    }
    return next;
}

}  // namespace kv::app
