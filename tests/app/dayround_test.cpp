// A day's round: what was missed since this user's last check, done for
// today, put off, and coming soon; and the rounds that a new day asks for.

#include "duefixture.h"
#include "reminders.h"

using namespace kv;
using storage::LogKind;
using testing::entry;
using Strings = std::vector<std::string>;

class DayRoundTest : public testing::DueFixture {
    Q_OBJECT

private slots:
    void init() { reset(); }

    void theDaysMissedAcrossAYearEndAreShownOnceEachWithTheirLatestDay() {
        add(LogKind::Private, entry("call", "2026-12-30"));
        add(LogKind::Private, entry("checked already", "2026-12-29"));
        add(LogKind::Private, entry("today", "2027-01-02"));
        add(LogKind::Static, entry("new year", "1990-01-01", "rok"));
        add(LogKind::Static, entry("rent", "2020-06-31", "miesiac"));
        add(LogKind::Static, entry("monthly, day 1", "2020-06-01", "miesiac"));
        add(LogKind::Public, entry("party", "2027-01-01", "raz", "wszyscy"));
        add(LogKind::Public, entry("not mine", "2027-01-01", "raz", "somebodyelse"));
        setLastCheck("2026-12-29");
        at(2027, 1, 2);
        check()->dayRound(true);
        QCOMPARE(titles(),
                 (Strings{"call", "new year", "rent", "monthly, day 1", "party", "today"}));
        QCOMPARE(reasons(),
                 (Strings{"Missed on 2026-12-30", "Missed on 2027-01-01", "Missed on 2026-12-31",
                          "Missed on 2027-01-01", "Missed on 2027-01-01", ""}));
        QCOMPARE(lastCheck(), std::optional<std::string>("2027-01-02"));
        // The same day again: nothing missed any more.
        m_shown.clear();
        check()->dayRound(true);
        QCOMPARE(titles(), Strings{"today"});
    }

    // 29 February and the 31st come on the month's last day where the month lacks them.
    void aDayTheMonthLacksFallsOnItsLastDay() {
        add(LogKind::Static, entry("leap day", "2024-02-29", "rok"));
        add(LogKind::Static, entry("the 31st", "2020-01-31", "miesiac"));
        add(LogKind::Static, entry("no such day", "2020-02-30", "rok"));
        setLastCheck("2027-02-20");
        at(2027, 3, 5);
        check()->dayRound(true);
        QCOMPARE(titles(), (Strings{"leap day", "the 31st"}));
        QCOMPARE(reasons(), (Strings{"Missed on 2027-02-28", "Missed on 2027-02-28"}));
        m_shown.clear();
        setLastCheck("2027-04-20");  // the 30th of April, then the 31st of May
        at(2027, 6, 2);
        check()->dayRound(true);
        QCOMPARE(reasons(), Strings{"Missed on 2027-05-31"});
        m_shown.clear();
        setLastCheck("2028-02-27");
        at(2028, 2, 28);  // a leap year: its own day comes
        check()->dayRound(true);
        QVERIFY(m_shown.empty());
        at(2028, 2, 29);
        check()->dayRound(true);
        QCOMPARE(titles(), (Strings{"leap day", "the 31st"}));
        QCOMPARE(reasons(), (Strings{"", ""}));
        m_shown.clear();
        at(2027, 4, 30);  // the re-check goes by the same rule
        check()->periodicCheck();
        QCOMPARE(titles(), Strings{"the 31st"});
    }

    // Each answer is kept at once: a round that never ends (a window left open
    // at a shutdown) does not ask again what was answered in it.
    void anAnsweredMissedEntryNeverComesBack() {
        add(LogKind::Static, entry("the 8th", "2020-01-08", "miesiac"));
        add(LogKind::Static, entry("the 9th", "2020-01-09", "miesiac"));
        add(LogKind::Static, entry("the 10th", "2020-01-10", "miesiac"));
        setLastCheck("2027-05-07");
        at(2027, 5, 10);
        struct Killed {};
        m_answer = [this](int n, LogKind kind) {
            if (m_shown.back().title == "the 10th") throw Killed{};
            return done(n, kind);
        };
        QVERIFY_THROWS_EXCEPTION(Killed, check()->dayRound(true));
        QCOMPARE(lastCheck(), std::optional<std::string>("2027-05-07"));
        m_shown.clear();
        m_answer = nullptr;
        at(2027, 5, 11);
        check()->dayRound(true);
        QCOMPARE(titles(), Strings{"the 10th"});
        QCOMPARE(reasons(), Strings{"Missed on 2027-05-10"});
        // Not answered, it came back once; the round ended, so it is not asked again.
        m_shown.clear();
        at(2027, 5, 12);
        check()->dayRound(true);
        QVERIFY(m_shown.empty());
    }

    void aMonthlyEntryMissedThreeTimesIsShownOnce() {
        add(LogKind::Public, entry("meeting", "2026-01-05", "miesiac", "wszyscy"));
        setLastCheck("2026-09-01");
        at(2026, 12, 9);
        check()->dayRound(true);
        QCOMPARE(reasons(), Strings{"Missed on 2026-12-05"});
    }

    void atMostAYearBackAndNothingOnAFirstRunOrAfterAClockThatWasAhead() {
        add(LogKind::Private, entry("long ago", "2025-08-01"));
        add(LogKind::Private, entry("this year", "2026-01-15"));
        at(2026, 12, 9);
        check()->dayRound(true);  // no key yet: a first run
        QVERIFY(m_shown.empty());
        QCOMPARE(lastCheck(), std::optional<std::string>("2026-12-09"));
        setLastCheck("2027-03-01");  // the clock was wrong last time
        check()->dayRound(true);
        QVERIFY(m_shown.empty());
        QCOMPARE(lastCheck(), std::optional<std::string>("2026-12-09"));
        setLastCheck("2025-06-01");  // a year and a half away
        check()->dayRound(true);
        QCOMPARE(titles(), Strings{"this year"});
        // Switched off by this user: nothing missed is shown.
        m_shown.clear();
        setLastCheck("2025-06-01");
        setReminders({false, 10, 0, true, false});
        check()->dayRound(true);
        QVERIFY(m_shown.empty());
    }

    void doneOnAYearlyEntryHoldsForTheDayWhateverIsRenumbered() {
        add(LogKind::Static, entry("removed later", "2001-05-17", "rok"));
        add(LogKind::Static, entry("birthday", "1980-05-17", "rok"));
        m_answer = [this](int n, LogKind kind) { return done(n, kind); };
        check()->dayRound(true);
        QCOMPARE(titles(), (Strings{"removed later", "birthday"}));
        // The first entry goes: the birthday moves to slot 0 and stays done.
        storage::Profile stat = m_box->log(LogKind::Static);
        QVERIFY(
            storage::removeEntry(stat, LogKind::Static, 0, storage::RemovalOrder::DeleteWindow));
        m_shown.clear();
        auto again = check();  // a new start on the same day
        again->dayRound(true);
        again->periodicCheck();
        QVERIFY(m_shown.empty());
        // The next year it is due again, and the old mark is forgotten.
        at(2027, 5, 17);
        check()->dayRound(true);
        QCOMPARE(titles(), Strings{"birthday"});
        QVERIFY(userFile().readString(
                    "kalvex4_zrobione",
                    storage::contentKey(LogKind::Static, storage::readStoredEntry(stat, 0)),
                    "") == "2027-05-17");
    }

    void anEntryPutOffComesBackAtItsTimeAndSurvivesARestart() {
        add(LogKind::Private, entry("dentist", "2026-05-17"));
        m_answer = [](int, LogKind) {
            return desktop::NotificationAnswer{Choice::Snooze, false, 60};
        };
        auto c = check();
        c->dayRound(true);
        QCOMPARE(c->nextSnooze(), QDateTime(QDate(2026, 5, 17), QTime(9, 0)));
        m_answer = nullptr;
        c->periodicCheck();
        at(2026, 5, 17, 8, 59);
        auto restarted = check();
        restarted->dayRound(true);
        restarted->snoozeCheck();
        QCOMPARE(m_shown.size(), std::size_t(1));
        at(2026, 5, 17, 9, 0);
        restarted->snoozeCheck();
        QCOMPARE(titles(), (Strings{"dentist", "dentist"}));
        QVERIFY(!restarted->nextSnooze().isValid());
    }

    void tomorrowShowsAOnceOnlyEntryAgainOnTheNextDayOnce() {
        add(LogKind::Private, entry("passport", "2026-05-17"));
        m_answer = [](int, LogKind) {
            return desktop::NotificationAnswer{Choice::Snooze, false, 1440};
        };
        check()->dayRound(true);
        m_answer = nullptr;
        at(2026, 5, 18, 8, 30);
        check()->dayRound(false);
        QCOMPARE(titles(), (Strings{"passport", "passport"}));
        QCOMPARE(reasons()[1], std::string());  // put off: not counted as missed too
    }

    void anEntryPutOffKeepsWhyItWasShown() {
        add(LogKind::Static, entry("rent", "2020-01-15", "miesiac"));
        add(LogKind::Static, entry("birthday", "1980-05-19", "rok"));
        setLastCheck("2026-05-14");
        setReminders({true, 60, 2, true, false});
        m_answer = [](int, LogKind) {
            return desktop::NotificationAnswer{Choice::Snooze, false, 60};
        };
        check()->dayRound(true);
        QCOMPARE(reasons(), (Strings{"Missed on 2026-05-15", "In 2 days (2026-05-19)"}));
        m_answer = nullptr;
        m_shown.clear();
        at(2026, 5, 17, 9, 5);
        check()->snoozeCheck();
        QCOMPARE(reasons(), (Strings{"Missed on 2026-05-15", "In 2 days (2026-05-19)"}));
    }

    // A warning is given once a coming day; "Done" on it leaves the day itself.
    void anAdvanceWarningIsGivenOnceAndTheDayStillComes() {
        add(LogKind::Static, entry("rent", "2020-01-25", "miesiac"));
        setReminders({true, 10, 30, true, false});
        m_answer = [this](int n, LogKind kind) { return done(n, kind); };
        for (int d = 17; d <= 24; ++d) {
            at(2026, 5, d);
            check()->dayRound(true);
        }
        QCOMPARE(reasons(), Strings{"In 8 days (2026-05-25)"});
        at(2026, 5, 25);
        check()->dayRound(true);
        QCOMPARE(reasons(), (Strings{"In 8 days (2026-05-25)", ""}));
        // The next month's warning comes once too.
        at(2026, 5, 26);
        check()->dayRound(true);
        QCOMPARE(reasons().back(), std::string("In 30 days (2026-06-25)"));
        QCOMPARE(m_shown.size(), std::size_t(3));
    }

    void yearlyAndMonthlyEntriesAreShownTheDaysAheadThatTheUserAsked() {
        add(LogKind::Static, entry("birthday", "1980-05-19", "rok"));
        add(LogKind::Static, entry("rent", "2020-01-25", "miesiac"));
        add(LogKind::Public, entry("trip", "2026-05-18", "raz", "wszyscy"));
        add(LogKind::Public, entry("meeting", "2026-01-18", "miesiac", "wszyscy"));
        check()->dayRound(true);
        QVERIFY(m_shown.empty());  // off by default
        setReminders({true, 10, 3, true, false});
        check()->dayRound(true);
        QCOMPARE(titles(), (Strings{"birthday", "meeting"}));
        QCOMPARE(reasons(), (Strings{"In 2 days (2026-05-19)", "In 1 day (2026-05-18)"}));
    }

    void aNewDayDuringTheCatchUpGetsItsRoundWhenTheCatchUpEnds() {
        add(LogKind::Private, entry("missed", "2026-05-15"));
        add(LogKind::Static, entry("monthly", "2020-01-18", "miesiac"));
        setLastCheck("2026-05-14");
        at(2026, 5, 17, 23, 59);
        auto c = check();
        m_answer = [this](int n, LogKind kind) { return done(n, kind); };
        int nested = 0;
        m_during = [&] {
            if (nested++ > 0) return;
            at(2026, 5, 18, 0, 0);  // midnight passes while the first window is open
            c->dayRound(false);     // the midnight timer
            c->periodicCheck();     // and the re-check, in the window's loop
        };
        c->dayRound(true);
        // Nothing stacked, nothing twice: the round of the 18th runs after the
        // first and leaves out what the re-check showed and was done.
        QCOMPARE(titles(), (Strings{"missed", "monthly"}));
        QCOMPARE(reasons(), (Strings{"Missed on 2026-05-15", ""}));
        QCOMPARE(c->roundDay(), QDate(2026, 5, 18));
        QCOMPARE(lastCheck(), std::optional<std::string>("2026-05-18"));
    }
};

QTEST_MAIN(DayRoundTest)
#include "dayround_test.moc"
