#include "duecheck.h"

#include <algorithm>

namespace kv::app {

using storage::LogKind;

DueCheck::DueCheck(storage::FileSet& files, std::string user, Hooks hooks)
    : m_files(files), m_user(std::move(user)), m_hooks(std::move(hooks)) {}

bool DueCheck::announce(int n, LogKind kind, const storage::StoredEntry& entry) {
    auto same = [&](const auto& open) { return open.first == kind && open.second == entry; };
    if (std::any_of(m_open.begin(), m_open.end(), same)) return false;
    m_open.emplace_back(kind, entry);
    // The window may have changed any log: the pass reads them again.
    auto settle = [&] {
        m_open.erase(std::find_if(m_open.begin(), m_open.end(), same));
        for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
            m_files.log(k).refresh();
    };
    bool removed = false;
    try {
        removed = m_hooks.announce(n, kind, entry);
    } catch (...) {
        settle();
        throw;
    }
    settle();
    return removed;
}

void DueCheck::announceWhileDue(int n, LogKind kind, Rules rules) {
    for (;;) {
        const storage::StoredEntry entry = storage::readStoredEntry(m_files.log(kind), n);
        if (!dueOn(kind, entry, m_hooks.today(), rules, m_user) || !announce(n, kind, entry))
            return;
    }
}

DueCheck::Pass::Pass(storage::FileSet& files)
    : m_private(files.log(LogKind::Private).readScope()),
      m_static(files.log(LogKind::Static).readScope()),
      m_public(files.log(LogKind::Public).readScope()) {}

void DueCheck::startupCheck() {
    const Pass pass(m_files);
    m_hooks.status(true, 0, "");
    for (int n = 0; n < storage::kSlots; ++n) {
        m_hooks.status(false, 1, "Checking private user log...");
        announceWhileDue(n, LogKind::Private, Rules::Startup);
    }
    m_hooks.status(true, 0, "");
    for (int n = 0; n < storage::kSlots; ++n) {
        m_hooks.status(false, 1, "Checking steady user log...");
        announceWhileDue(n, LogKind::Static, Rules::Startup);
    }
    for (int n = 0; n < storage::kSlots; ++n) announceWhileDue(n, LogKind::Public, Rules::Startup);
}

void DueCheck::periodicCheck() {
    const Pass pass(m_files);
    for (int n = 0; n < storage::kSlots; ++n)
        for (LogKind kind : {LogKind::Private, LogKind::Static, LogKind::Public})
            announceWhileDue(n, kind, Rules::Recheck);
}

}  // namespace kv::app
