#pragma once
// What the due check's tests share: a check over a sandbox under a clock the
// test sets, a record of what was announced and why, and the user's answers.

#include <QtTest>
#include <functional>
#include <memory>

#include "duecheck.h"
#include "sandbox.h"
#include "settings.h"

namespace kv::testing {

struct Shown {
    int slot;
    storage::LogKind kind;
    std::string title, reason;
};

class DueFixture : public QObject {
protected:
    using Choice = desktop::NotificationAnswer::Choice;

    std::unique_ptr<Sandbox> m_box;
    std::unique_ptr<storage::FileSet> m_files;
    std::vector<Shown> m_shown;
    QDateTime m_now{QDate(2026, 5, 17), QTime(8, 0)};
    // What the user answers each window; by default the window is just closed.
    std::function<desktop::NotificationAnswer(int, storage::LogKind)> m_answer;
    std::function<void()> m_during;

    void reset() {
        m_box = std::make_unique<Sandbox>();
        m_now = QDateTime(QDate(2026, 5, 17), QTime(8, 0));
        m_shown.clear();
        m_answer = nullptr;
        m_during = nullptr;
    }
    std::unique_ptr<app::DueCheck> check(const std::string& user = storage::userName()) {
        m_files = std::make_unique<storage::FileSet>(*storage::locate(), m_box->exchangeFile());
        app::DueCheck::Hooks hooks{
            [this] { return m_now; }, [](bool, int, const std::string&) {},
            [this](int n, storage::LogKind kind, const storage::StoredEntry& e,
                   const std::string& reason) {
                m_shown.push_back({n, kind, e.tytul, reason});
                if (m_during) m_during();
                return m_answer ? m_answer(n, kind) : desktop::NotificationAnswer{};
            }};
        return std::make_unique<app::DueCheck>(*m_files, user, hooks);
    }
    void add(storage::LogKind kind, const storage::EntryData& e) {
        storage::Profile log = m_box->log(kind);
        QVERIFY(storage::addEntry(log, kind, e).has_value());
    }
    // "Done", removing a once-only entry as the window does.
    desktop::NotificationAnswer done(int n, storage::LogKind kind) {
        desktop::NotificationAnswer a{Choice::Done, false, 0};
        if (kind == storage::LogKind::Static) return a;
        storage::Profile& log = m_files->log(kind);
        if (storage::readStoredEntry(log, n).wyswietlanie == "rok" ||
            storage::readStoredEntry(log, n).wyswietlanie == "miesiac")
            return a;
        a.removed = storage::removeEntry(log, kind, n,
                                         kind == storage::LogKind::Public
                                             ? storage::RemovalOrder::DonePublic
                                             : storage::RemovalOrder::DonePrivate);
        return a;
    }
    storage::Profile userFile() { return storage::Profile(m_box->files().userConfig); }
    void setLastCheck(const std::string& day) {
        storage::Profile f = userFile();
        storage::UserSettings(f).setLastCheck(day);
    }
    std::optional<std::string> lastCheck() {
        storage::Profile f = userFile();
        return storage::UserSettings(f).lastCheck();
    }
    void setReminders(const storage::ReminderSettings& s) {
        storage::Profile f = userFile();
        storage::UserSettings(f).setReminders(s);
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const Shown& s : m_shown) out.push_back(s.title);
        return out;
    }
    std::vector<std::string> reasons() const {
        std::vector<std::string> out;
        for (const Shown& s : m_shown) out.push_back(s.reason);
        return out;
    }
    void at(int y, int m, int d, int hour = 8, int minute = 0) {
        m_now = QDateTime(QDate(y, m, d), QTime(hour, minute));
    }
};

}  // namespace kv::testing
