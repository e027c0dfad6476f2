#include "duecheck.h"

#include <QString>
#include <algorithm>

namespace kv::app {

using storage::LogKind;

namespace {
std::string section(int n) {
    return std::to_string(n);
}
std::string monthDayOf(const std::string& date) {
    return cut(date, 6, 5);
}
std::string dayOf(const std::string& date) {
    return cut(date, 9, 2);
}
}  // namespace

std::string cut(const std::string& text, std::size_t from, std::size_t count) {
    if (from == 0 || from > text.size()) return {};
    return text.substr(from - 1, count);
}

DueCheck::DueCheck(storage::FileSet& files, std::string user, Hooks hooks)
    : m_files(files), m_user(std::move(user)), m_hooks(std::move(hooks)) {}

bool DueCheck::receiverMatches(const std::string& odbiorca) const {
    // Receiver names are stored in upper case while login names are lower case.
    return odbiorca == "wszyscy" || QString::fromStdString(odbiorca).compare(
                                        QString::fromStdString(m_user), Qt::CaseInsensitive) == 0;
}

bool DueCheck::announce(int n, LogKind kind) {
    const storage::StoredEntry entry = storage::readStoredEntry(m_files.log(kind), n);
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
        removed = m_hooks.announce(n, kind);
    } catch (...) {
        settle();
        throw;
    }
    settle();
    return removed;
}

DueCheck::Pass::Pass(storage::FileSet& files)
    : m_private(files.log(LogKind::Private).readScope()),
      m_static(files.log(LogKind::Static).readScope()),
      m_public(files.log(LogKind::Public).readScope()) {}

void DueCheck::startupCheck() {
    const std::string today = m_hooks.today();
    const std::string monthDay = monthDayOf(today);
    const std::string day = dayOf(today);
    storage::Profile& priv = m_files.log(LogKind::Private);
    const Pass pass(m_files);

    m_hooks.status(true, 0, "");
    for (int n = 0; n < storage::kSlots; ++n) {
        m_hooks.status(false, 1, "Checking private user log...");
        // A "Done" moves the next entry into n: look at n again.
        while (priv.readString(section(n), "Data", "non") == m_hooks.today() &&
               announce(n, LogKind::Private)) {
        }
    }
    m_hooks.status(true, 0, "");
    for (int n = 0; n < storage::kSlots; ++n) {
        m_hooks.status(false, 1, "Checking steady user log...");
        startupStatic(n, monthDay, day);
    }
    for (int n = 0; n < storage::kSlots; ++n) startupPublic(n, monthDay, day);
}

void DueCheck::startupStatic(int n, const std::string& monthDay, const std::string& day) {
    storage::Profile& log = m_files.log(LogKind::Static);
    const std::string s = section(n);
    const std::string date = log.readString(s, "Data", "non");
    if (log.readString(s, "wyswietlanie", "non") == "rok" && monthDayOf(date) == monthDay &&
        announce(n, LogKind::Static))
        return startupStatic(n, monthDay, day);
    if (log.readString(s, "wyswietlanie", "non") == "miesiac" && dayOf(date) == day &&
        announce(n, LogKind::Static))
        return startupStatic(n, monthDay, day);
}

void DueCheck::startupPublic(int n, const std::string& monthDay, const std::string& day) {
    storage::Profile& log = m_files.log(LogKind::Public);
    const std::string s = section(n);
    const std::string date = log.readString(s, "Data", "non");
    auto receiverTest = [&] {
        return receiverMatches(log.readString(s, "odbiorca", "non")) &&
               announce(n, LogKind::Public);
    };
    if (log.readString(s, "wyswietlanie", "non") == "rok" && monthDayOf(date) == monthDay &&
        receiverTest())
        return startupPublic(n, monthDay, day);
    if (log.readString(s, "wyswietlanie", "non") == "miesiac" && dayOf(date) == day &&
        receiverTest())
        return startupPublic(n, monthDay, day);
    if (log.readString(s, "wyswietlanie", "non") == "raz" &&
        log.readString(s, "data", "non") == m_hooks.today() && receiverTest())
        return startupPublic(n, monthDay, day);
}

void DueCheck::periodicCheck() {
    const std::string today = m_hooks.today();
    const std::string monthDay = monthDayOf(today);
    const std::string day = dayOf(today);
    storage::Profile& priv = m_files.log(LogKind::Private);
    storage::Profile& stat = m_files.log(LogKind::Static);
    storage::Profile& pub = m_files.log(LogKind::Public);
    const Pass pass(m_files);

    for (int n = 0; n < storage::kSlots; ++n) {
        const std::string s = section(n);
        auto privateDue = [&] {
            return priv.readString(s, "Numer", "none") != "none" &&
                   priv.readString(s, "Data", "0000-00-00") == m_hooks.today();
        };
        while (privateDue() && announce(n, LogKind::Private)) {
        }
        auto staticDue = [&] {
            if (stat.readString(s, "Numer", "none") == "none") return false;
            const std::string date = stat.readString(s, "Data", "");
            // "nic" marks a missing key; it is not a typo and equals no mode.
            if (stat.readString(s, "wyswietlanie", "nic") == "rok")
                return monthDayOf(date) == monthDay;
            return dayOf(date) == day;
        };
        while (staticDue() && announce(n, LogKind::Static)) {
        }
        auto publicDue = [&] {
            return pub.readString(s, "Numer", "none") != "none" &&
                   pub.readString(s, "Data", "") == m_hooks.today() &&
                   // "nonoe" marks a missing receiver: a marker, not a typo of "none".
                   receiverMatches(pub.readString(s, "odbiorca", "nonoe"));
        };
        while (publicDue() && announce(n, LogKind::Public)) {
        }
    }
}

}  // namespace kv::app
