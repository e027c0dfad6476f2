// The resident window follows the date: a midnight, a set clock or a resume
// starts the new day's round, and an entry put off comes back on its timer.

#include <QtTest>

#include "daywatch.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "treminder.h"

using namespace kv;
using storage::LogKind;

class NewDayTest : public QObject {
    Q_OBJECT

    std::optional<testing::RecordingServices> m_services;
    testing::RecordingOpener m_opener;

    QStringList shownTitles() const {
        QStringList out;
        for (const desktop::HandedEntry& e : m_opener.handed)
            if (e.announced) out << QString::fromStdString(e.announced->tytul);
        return out;
    }
    // What the login manager says when the machine wakes up.
    void wake(app::Treminder& w) {
        QVERIFY(QMetaObject::invokeMethod(w.findChild<desktop::DayWatch*>("dzien"),
                                          "onPrepareForSleep", Q_ARG(bool, false)));
    }

private slots:
    void init() {
        m_services.emplace();
        m_opener = testing::RecordingOpener();
    }

    void aWakeUpOnANewDayRunsItsRoundOnceWithWhatWasMissed() {
        testing::Sandbox box;
        storage::Profile priv = box.log(LogKind::Private);
        storage::addEntry(priv, LogKind::Private, testing::entry("sunday", "2026-05-18"));
        storage::addEntry(priv, LogKind::Private, testing::entry("tuesday", "2026-05-20"));
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(22, 0));
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QVERIFY(m_opener.handed.empty());
        wake(w);  // the same day: nothing
        QVERIFY(m_opener.handed.empty());
        // Asleep for three days, woken on the 20th.
        m_services->clock = QDateTime(QDate(2026, 5, 20), QTime(7, 30));
        wake(w);
        QCOMPARE(shownTitles(), (QStringList{"sunday", "tuesday"}));
        QCOMPARE(m_opener.handed[0].reason, std::string("Missed on 2026-05-18"));
        QCOMPARE(m_opener.handed[1].reason, std::string());
        wake(w);
        QCOMPARE(m_opener.handed.size(), std::size_t(2));
        const desktop::DayWatch* watch = w.findChild<desktop::DayWatch*>("dzien");
        QCOMPARE(watch->nextMidnight(), QDateTime(QDate(2026, 5, 21), QTime(0, 0)));
    }

    void theRecheckTimerNoticesADateThatMovedAndAPutOffEntryHasItsTimer() {
        testing::Sandbox box;
        box.config().writeString("glowne", "zmienione", "tak");
        box.config().writeString("glowne", "autolog", "1");
        storage::Profile stat = box.log(LogKind::Static);
        storage::addEntry(stat, LogKind::Static, testing::entry("rent", "2020-01-18", "miesiac"));
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(23, 58));
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QVERIFY(m_opener.handed.empty());
        m_opener.onAnswer = [] {
            return desktop::NotificationAnswer{desktop::NotificationAnswer::Choice::Snooze, false,
                                               10};
        };
        m_services->clock = QDateTime(QDate(2026, 5, 18), QTime(0, 1));
        QMetaObject::invokeMethod(w.findChild<QTimer*>("Timer2"), "timeout");
        QCOMPARE(shownTitles(), QStringList{"rent"});
        auto* snooze = w.findChild<QTimer*>("drzemka");
        QVERIFY(snooze->isActive());
        QVERIFY(std::abs(snooze->remainingTime() - 600000) < 2000);  // due at 00:11
        // Put off: the re-check leaves it alone until then.
        QMetaObject::invokeMethod(w.findChild<QTimer*>("Timer2"), "timeout");
        QCOMPARE(m_opener.handed.size(), std::size_t(1));
        m_opener.onAnswer = nullptr;
        m_services->clock = QDateTime(QDate(2026, 5, 18), QTime(0, 11));
        QMetaObject::invokeMethod(snooze, "timeout");
        QCOMPARE(shownTitles(), (QStringList{"rent", "rent"}));
        QVERIFY(!snooze->isActive());
    }
};

QTEST_MAIN(NewDayTest)
#include "newday_test.moc"
