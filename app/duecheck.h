#pragma once
// Decides which entries of the three logs are due today and announces each in
// turn. Windows stay out of it: announcing is a callback.

#include <functional>
#include <string>
#include <vector>

#include "duerules.h"
#include "fileset.h"
#include "logbook.h"

namespace kv::app {

class DueCheck {
public:
    struct Hooks {
        // Today's date text, read again for every entry judged.
        std::function<std::string()> today;
        // Status step of the main window (reset, amount, text).
        std::function<void(bool, int, const std::string&)> status;
        // Shows the entry read in slot n; true when the window removed it.
        std::function<bool(int, storage::LogKind, const storage::StoredEntry&)> announce;
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

    // Announces slot n while it is due: a "Done" moves the next entry into n.
    void announceWhileDue(int n, storage::LogKind kind, Rules rules);
    bool announce(int n, storage::LogKind kind, const storage::StoredEntry& entry);

    storage::FileSet& m_files;
    std::string m_user;
    Hooks m_hooks;
    // Entries whose notification is open now, so a nested re-check does not
    // stack a second window for them.
    std::vector<std::pair<storage::LogKind, storage::StoredEntry>> m_open;
};

}  // namespace kv::app
