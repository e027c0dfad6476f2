#pragma once
// Decides which entries of the three logs are due and announces each in turn.
// Windows stay out of it: announcing is a callback. A day's round shows what
// was put off until now, what fell due since this user's last check, today's
// entries and, when asked for, the yearly and monthly ones coming soon.

#include <QDateTime>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "duerules.h"
#include "fileset.h"
#include "logbook.h"
#include "opener.h"

namespace kv::app {

class DueCheck {
public:
    struct Hooks {
        // The local time now; a pass takes its day from it once.
        std::function<QDateTime()> now;
        // Status step of the main window (reset, amount, text).
        std::function<void(bool, int, const std::string&)> status;
        // Shows the entry read in slot n, with why it is shown when not for today.
        std::function<desktop::NotificationAnswer(
            int, storage::LogKind, const storage::StoredEntry&, const std::string& reason)>
            announce;
    };

    DueCheck(storage::FileSet& files, std::string user, Hooks hooks);

    // The round of a day: at start-up (with status steps), on a new day, after
    // a resume. Asked for while one runs, it runs once more when that ends, if
    // the date has moved meanwhile.
    void dayRound(bool startup);
    // The day of the last round begun, invalid before the first.
    QDate roundDay() const { return m_roundDay; }
    void periodicCheck();
    // Shows the entries put off until now or earlier.
    void snoozeCheck();
    // When the next put-off entry is due; invalid when none is.
    QDateTime nextSnooze() const;

private:
    // One pass reads each log once and sees it as one consistent state, until
    // an announcement (which may change the logs) makes it read them again.
    class Pass {
    public:
        explicit Pass(storage::FileSet& files);

    private:
        storage::Profile::ReadScope m_private, m_static, m_public, m_user;
    };
    // Why an entry is shown, and the day of the showing its "Done" answers:
    // today's, a missed day's, or (a warning) the coming day's.
    struct Occasion {
        std::string reason;
        std::string day;
        bool warning = false;
    };
    // The occasion of an entry in a pass, or nothing when it is not shown.
    using Judge = std::function<std::optional<Occasion>(const storage::StoredEntry&)>;

    void runRound(bool startup);
    void startupPass(const std::string& today, bool withStatus);
    void missedPass(const QDate& last, const QDate& today);
    void aheadPass(const QDate& today, int days);
    // Announces slot n while the judge says so: a "Done" moves the next entry into n.
    void announceWhile(int n, storage::LogKind kind, const Judge& judge);
    bool announce(int n, storage::LogKind kind, const storage::StoredEntry& entry,
                  const Occasion& occasion);
    void record(storage::LogKind kind, const storage::StoredEntry& entry,
                const desktop::NotificationAnswer& answer, const Occasion& occasion);
    // What this user's own file could not keep is said once; the round goes on,
    // since a date shown twice is better than one not shown.
    void keepState(const std::function<void()>& write);
    // Its showing for day answered with "Done", or put off until later.
    bool hidden(storage::LogKind kind, const storage::StoredEntry& entry,
                const std::string& day) const;
    // Its advance warning of day answered with "Done".
    bool warned(storage::LogKind kind, const storage::StoredEntry& entry,
                const std::string& day) const;

    storage::FileSet& m_files;
    std::string m_user;
    Hooks m_hooks;
    // Entries whose notification is open now, so a nested re-check does not
    // stack a second window for them.
    std::vector<std::pair<storage::LogKind, storage::StoredEntry>> m_open;
    QDate m_roundDay;
    bool m_inRound = false;
    bool m_roundAsked = false;
    // Content keys shown by the round's earlier passes: one window per entry and round.
    std::set<std::string> m_roundShown;
    std::set<std::string> m_passShown;
};

// "YYYY-MM-DD", the form of the stored dates.
std::string dayText(const QDate& day);
// "YYYY-MM-DDTHH:MM:SS" local time, the form a put-off entry is kept in.
inline constexpr const char* kTimeFormat = "yyyy-MM-ddTHH:mm:ss";
std::string timeText(const QDateTime& time);

}  // namespace kv::app
