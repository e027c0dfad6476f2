#include "duecheck.h"

#include <QtTest>

#include "sandbox.h"

using namespace kv;
using storage::LogKind;

namespace {
using Announced = std::vector<std::pair<int, LogKind>>;
}

class DueCheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::Sandbox> m_box;
    std::unique_ptr<storage::FileSet> m_files;
    Announced m_announced;
    QDateTime m_now{QDate(2026, 5, 17), QTime(8, 0)};
    // What the notification does with the entry: nothing, or "Done".
    bool m_done = false;
    std::function<void()> m_during;

    std::unique_ptr<app::DueCheck> check(const std::string& user = storage::userName()) {
        m_files = std::make_unique<storage::FileSet>(*storage::locate(), m_box->exchangeFile());
        app::DueCheck::Hooks hooks{
            [this] { return m_now; }, [](bool, int, const std::string&) {},
            [this](int n, LogKind kind, const storage::StoredEntry&, const std::string&) {
                m_announced.emplace_back(n, kind);
                if (m_during) m_during();
                desktop::NotificationAnswer answer;
                if (!m_done || kind == LogKind::Static) return answer;
                storage::Profile& log = m_files->log(kind);
                answer.choice = desktop::NotificationAnswer::Choice::Done;
                answer.removed = storage::removeEntry(log, kind, n,
                                                      kind == LogKind::Public
                                                          ? storage::RemovalOrder::DonePublic
                                                          : storage::RemovalOrder::DonePrivate);
                return answer;
            }};
        return std::make_unique<app::DueCheck>(*m_files, user, hooks);
    }
    void add(LogKind kind, const storage::EntryData& e) {
        storage::Profile log = m_box->log(kind);
        QVERIFY(storage::addEntry(log, kind, e).has_value());
    }

private slots:
    void init() {
        m_box = std::make_unique<testing::Sandbox>();
        m_announced.clear();
        m_done = false;
        m_during = nullptr;
    }

    void staticYearlyAndMonthly() {
        add(LogKind::Static, testing::entry("year", "2003-05-17", "rok"));
        add(LogKind::Static, testing::entry("month", "2003-01-17", "miesiac"));
        add(LogKind::Static, testing::entry("yearOther", "2003-01-17", "rok"));
        add(LogKind::Static, testing::entry("odd", "2003-05-17", "weird"));
        check()->dayRound(true);
        QCOMPARE(m_announced, (Announced{{0, LogKind::Static}, {1, LogKind::Static}}));
        // The re-check takes a mode that is not "rok" as monthly.
        m_announced.clear();
        check()->periodicCheck();
        QCOMPARE(m_announced,
                 (Announced{{0, LogKind::Static}, {1, LogKind::Static}, {3, LogKind::Static}}));
    }

    void publicReceiversAndModes() {
        const std::string me = storage::userName();
        add(LogKind::Public, testing::entry("all once", "2026-05-17", "raz", "wszyscy"));
        add(LogKind::Public, testing::entry("me yearly", "1999-05-17", "rok",
                                            QString::fromStdString(me).toUpper().toStdString()));
        add(LogKind::Public, testing::entry("other", "2026-05-17", "raz", "somebodyelse"));
        add(LogKind::Public, testing::entry("all monthly", "2020-02-17", "miesiac", "wszyscy"));
        check()->dayRound(true);
        QCOMPARE(m_announced,
                 (Announced{{0, LogKind::Public}, {1, LogKind::Public}, {3, LogKind::Public}}));
        // The re-check compares whole dates only, whatever the mode.
        m_announced.clear();
        check()->periodicCheck();
        QCOMPARE(m_announced, (Announced{{0, LogKind::Public}}));
    }

    void aPublicEntryWithoutReceiverIsForNobodyWhateverTheUserIsCalled() {
        add(LogKind::Public, testing::entry("nobody's", "2026-05-17", "raz", "wszyscy"));
        m_box->log(LogKind::Public).deleteKey("0", "Odbiorca");
        for (const char* user : {"non", "nonoe", ""}) {
            check(user)->dayRound(true);
            check(user)->periodicCheck();
        }
        QVERIFY(m_announced.empty());
    }

    void startupOrderIsPrivateStaticPublic() {
        add(LogKind::Public, testing::entry("p", "2026-05-17", "raz", "wszyscy"));
        add(LogKind::Static, testing::entry("s", "2000-05-17", "rok"));
        add(LogKind::Private, testing::entry("a", "2026-05-16"));
        add(LogKind::Private, testing::entry("b", "2026-05-17"));
        check()->dayRound(true);
        QCOMPARE(m_announced,
                 (Announced{{1, LogKind::Private}, {0, LogKind::Static}, {0, LogKind::Public}}));
        m_announced.clear();
        check()->periodicCheck();
        QCOMPARE(m_announced,
                 (Announced{{0, LogKind::Static}, {0, LogKind::Public}, {1, LogKind::Private}}));
    }

    void doneMovesTheNextEntryIntoTheSameNumberAndItIsStillShown() {
        add(LogKind::Private, testing::entry("x", "2026-01-01"));
        add(LogKind::Private, testing::entry("first", "2026-05-17"));
        add(LogKind::Private, testing::entry("second", "2026-05-17"));
        add(LogKind::Public, testing::entry("p1", "2026-05-17", "raz", "wszyscy"));
        add(LogKind::Public, testing::entry("p2", "2026-05-17", "raz", "wszyscy"));
        m_done = true;
        check()->dayRound(true);
        QCOMPARE(m_announced, (Announced{{1, LogKind::Private},
                                         {1, LogKind::Private},
                                         {0, LogKind::Public},
                                         {0, LogKind::Public}}));
        QVERIFY(!storage::isOccupied(m_box->log(LogKind::Private), 1));
        QVERIFY(!storage::isOccupied(m_box->log(LogKind::Public), 0));
        // Gone for good: the re-check finds nothing more.
        m_announced.clear();
        check()->periodicCheck();
        QVERIFY(m_announced.empty());
    }

    void aNestedRecheckDoesNotStackAWindowForAnOpenEntry() {
        add(LogKind::Static, testing::entry("yearly", "2000-05-17", "rok"));
        auto c = check();
        int nested = 0;
        m_during = [&] {
            if (nested++ == 0) c->periodicCheck();  // Timer2 fires while the window is open
        };
        c->periodicCheck();
        QCOMPARE(m_announced.size(), std::size_t(1));
        // Closed again: the next tick shows it again.
        c->periodicCheck();
        QCOMPARE(m_announced.size(), std::size_t(2));
    }

    void missingLogsAndShortDates() {
        add(LogKind::Static, testing::entry("short", "17", "miesiac"));
        check()->dayRound(true);
        QVERIFY(m_announced.empty());
        QCOMPARE(app::cut("2026-05-17", 6, 5), std::string("05-17"));
        QCOMPARE(app::cut("2026-05-1", 9, 2), std::string("1"));
        QCOMPARE(app::cut("abc", 9, 2), std::string());
    }
};

QTEST_MAIN(DueCheckTest)
#include "duecheck_test.moc"
