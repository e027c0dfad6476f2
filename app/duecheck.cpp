#include "duecheck.h"

#include <algorithm>

#include "notices.h"
#include "reminders.h"

namespace kv::app {

using storage::LogKind;

std::string dayText(const QDate& day) {
    return day.toString("yyyy-MM-dd").toStdString();
}

std::string timeText(const QDateTime& time) {
    return time.toString(kTimeFormat).toStdString();
}

DueCheck::DueCheck(storage::FileSet& files, std::string user, Hooks hooks)
    : m_files(files), m_user(std::move(user)), m_hooks(std::move(hooks)) {}

DueCheck::Pass::Pass(storage::FileSet& files)
    : m_private(files.log(LogKind::Private).readScope()),
      m_static(files.log(LogKind::Static).readScope()),
      m_public(files.log(LogKind::Public).readScope()),
      m_user(files.userConfig().readScope()) {}

bool DueCheck::hidden(LogKind kind, const storage::StoredEntry& entry,
                      const std::string& day) const {
    const storage::ReminderState state(m_files.userConfig());
    const std::string key = storage::contentKey(kind, entry);
    const QDateTime now = m_hooks.now();
    if (state.doneOn(key, day)) return true;
    const std::string until = state.snoozedUntil(key);
    return !until.empty() && until > timeText(now);
}

bool DueCheck::warned(LogKind kind, const storage::StoredEntry& entry,
                      const std::string& day) const {
    return storage::ReminderState(m_files.userConfig())
        .warnedFor(storage::contentKey(kind, entry), day);
}

void DueCheck::keepState(const std::function<void()>& write) {
    try {
        write();
    } catch (const storage::WriteError& e) {
        storage::noticeOnce(
            "reminder state " + m_files.userConfig().path(),
            std::string(e.what()) + "\nWhat was done with the reminders cannot be remembered.");
    }
}

void DueCheck::record(LogKind kind, const storage::StoredEntry& entry,
                      const desktop::NotificationAnswer& answer, const Occasion& occasion) {
    using Choice = desktop::NotificationAnswer::Choice;
    storage::ReminderState state(m_files.userConfig());
    const std::string key = storage::contentKey(kind, entry);
    const QDateTime now = m_hooks.now();
    // A yearly or monthly entry stays in its log: "Done" answers the showing of
    // its day, kept at once so that no later round asks again; on a warning it
    // ends the warning, not the day.
    if (answer.choice == Choice::Done && !answer.removed)
        keepState([&] {
            occasion.warning ? state.markWarned(key, occasion.day)
                             : state.markDone(key, occasion.day);
        });
    if (answer.choice == Choice::Snooze) {
        const QDateTime until =
            answer.snoozeMinutes >= 1440 ? now.addDays(1) : now.addSecs(60 * answer.snoozeMinutes);
        keepState([&] { state.snooze(key, kind, timeText(until), occasion.reason); });
    }
}

bool DueCheck::announce(int n, LogKind kind, const storage::StoredEntry& entry,
                        const Occasion& occasion) {
    auto same = [&](const auto& open) { return open.first == kind && open.second == entry; };
    if (std::any_of(m_open.begin(), m_open.end(), same)) return false;
    m_open.emplace_back(kind, entry);
    // The window may have changed any file: the pass reads them again.
    auto settle = [&] {
        m_open.erase(std::find_if(m_open.begin(), m_open.end(), same));
        for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
            m_files.log(k).refresh();
        m_files.userConfig().refresh();
    };
    desktop::NotificationAnswer answer;
    try {
        answer = m_hooks.announce(n, kind, entry, occasion.reason);
    } catch (...) {
        settle();
        throw;
    }
    settle();
    m_passShown.insert(storage::contentKey(kind, entry));
    record(kind, entry, answer, occasion);
    return answer.removed;
}

void DueCheck::announceWhile(int n, LogKind kind, const Judge& judge) {
    for (;;) {
        const storage::StoredEntry entry = storage::readStoredEntry(m_files.log(kind), n);
        const std::optional<Occasion> occasion = judge(entry);
        if (!occasion || !announce(n, kind, entry, *occasion)) return;
    }
}

void DueCheck::startupPass(const std::string& today, bool withStatus) {
    auto judgeFor = [&](LogKind kind) -> Judge {
        return [this, kind, &today](const storage::StoredEntry& e) -> std::optional<Occasion> {
            if (!dueOn(kind, e, today, Rules::Startup, m_user) || hidden(kind, e, today) ||
                m_roundShown.count(storage::contentKey(kind, e)))
                return std::nullopt;
            return Occasion{{}, today};
        };
    };
    const Pass pass(m_files);
    if (withStatus) m_hooks.status(true, 0, "");
    for (int n = 0; n < storage::kSlots; ++n) {
        if (withStatus) m_hooks.status(false, 1, "Checking private user log...");
        announceWhile(n, LogKind::Private, judgeFor(LogKind::Private));
    }
    if (withStatus) m_hooks.status(true, 0, "");
    for (int n = 0; n < storage::kSlots; ++n) {
        if (withStatus) m_hooks.status(false, 1, "Checking steady user log...");
        announceWhile(n, LogKind::Static, judgeFor(LogKind::Static));
    }
    for (int n = 0; n < storage::kSlots; ++n)
        announceWhile(n, LogKind::Public, judgeFor(LogKind::Public));
}

void DueCheck::periodicCheck() {
    const std::string today = dayText(m_hooks.now().date());
    const Pass pass(m_files);
    for (int n = 0; n < storage::kSlots; ++n)
        for (LogKind kind : {LogKind::Private, LogKind::Static, LogKind::Public})
            announceWhile(n, kind, [&](const storage::StoredEntry& e) -> std::optional<Occasion> {
                if (!dueOn(kind, e, today, Rules::Recheck, m_user) || hidden(kind, e, today))
                    return std::nullopt;
                return Occasion{{}, today};
            });
}

}  // namespace kv::app
