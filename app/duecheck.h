#pragma once
// Decides which entries of the three logs are due today and announces each in
// turn. Windows stay out of it: announcing is a callback.

#include <functional>
#include <string>
#include <vector>

#include "fileset.h"
#include "logbook.h"

namespace kv::app {

class DueCheck {
public:
    struct Hooks {
        // Today's date text, read again at every whole-date comparison.
        std::function<std::string()> today;
        // Status step of the main window (reset, amount, text).
        std::function<void(bool, int, const std::string&)> status;
        // Records the active entry and shows it; true when the entry was removed.
        std::function<bool(int, storage::LogKind)> announce;
    };

    DueCheck(storage::FileSet& files, std::string user, Hooks hooks);

    void startupCheck();
    void periodicCheck();

private:
    // One pass reads each log once and sees it as one consistent state, until
    // an announcement (which may change the logs) makes it read them again.
    class Pass {
    public:
        explicit Pass(storage::FileSet& files);

    private:
        storage::Profile::ReadScope m_private, m_static, m_public;
    };

    bool announce(int n, storage::LogKind kind);
    bool receiverMatches(const std::string& odbiorca) const;
    void startupStatic(int n, const std::string& monthDay, const std::string& day);
    void startupPublic(int n, const std::string& monthDay, const std::string& day);

    storage::FileSet& m_files;
    std::string m_user;
    Hooks m_hooks;
    // Entries whose notification is open now, so a nested re-check does not
    // stack a second window for them.
    std::vector<std::pair<storage::LogKind, storage::StoredEntry>> m_open;
};

// Characters [from, from + count) counted from 1, as much as the text has.
std::string cut(const std::string& text, std::size_t from, std::size_t count);

}  // namespace kv::app
