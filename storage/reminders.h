#pragma once
// What one user has done with the entries shown: done for a day, or put off
// until a time. Kept in <user>_config.ini and keyed by the entry's content, so
// that it follows the entry when other entries are removed and renumbered.

#include <string>
#include <vector>

#include "logbook.h"
#include "profile.h"

namespace kv::storage {

// Sixteen hex digits naming the entry by its log and every stored text.
std::string contentKey(LogKind kind, const StoredEntry& entry);

struct Snooze {
    std::string key;
    LogKind kind = LogKind::Private;
    std::string until;   // local time "YYYY-MM-DDTHH:MM:SS"
    std::string reason;  // why it was shown when put off ("Missed on ..."), or empty
};

class ReminderState {
public:
    explicit ReminderState(Profile& file) : m_file(file) {}

    // Dates are "YYYY-MM-DD". The entry's showing for that day (today's, or a
    // missed one) was closed with "Done": it and every earlier one are answered.
    bool doneOn(const std::string& key, const std::string& day) const;
    void markDone(const std::string& key, const std::string& day);
    // The advance warning of the entry's day was closed with "Done".
    bool warnedFor(const std::string& key, const std::string& day) const;
    void markWarned(const std::string& key, const std::string& day);

    // Empty when the entry is not put off.
    std::string snoozedUntil(const std::string& key) const;
    void snooze(const std::string& key, LogKind kind, const std::string& until,
                const std::string& reason = {});
    void forgetSnooze(const std::string& key);
    std::vector<Snooze> snoozes() const;

    // Forgets the done marks of days before from (the earliest day a round
    // may still show) and the warnings of days before today. Writes nothing
    // when none.
    void forgetExpired(const std::string& from, const std::string& today);

private:
    Profile& m_file;
};

}  // namespace kv::storage
