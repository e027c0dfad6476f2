#include <unistd.h>

#include <QLineEdit>
#include <QMenu>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "alarmclock.h"
#include "datepicker.h"
#include "linklabel.h"
#include "notices.h"
#include "recordingservices.h"
#include "shelltarget.h"
#include "singleinstance.h"
#include "soundalias.h"
#include "tray.h"

using namespace kv;

namespace {

// The reference: a clock checked every 450 ms from the moment it is enabled.
// Midnight is never "before" the alarm: enabling arms it, and so does any
// check outside its minute; firing disarms it whatever the time.
struct PollingAlarm {
    QTime alarm;
    bool armed = alarm == QTime(0, 0);
    bool check(const QTime& t) {
        const QTime whole(t.hour(), t.minute(), t.second());
        const bool inMinute = t.hour() == alarm.hour() && t.minute() == alarm.minute();
        if (whole < alarm || (alarm == QTime(0, 0) && !inMinute)) armed = true;
        if (armed && inMinute && t.second() >= alarm.second()) {
            armed = false;
            return true;
        }
        return false;
    }
};

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void alarmFiresExactlyWhenA450msCheckWould() {
        QRandomGenerator rng(4711);
        for (int round = 0; round < 16; ++round) {
            testing::RecordingServices s;
            const QDateTime start(QDate(2026, 3, 1), QTime(0, 0).addMSecs(rng.bounded(86400000)));
            s.clock = start;
            const QTime at = round == 0 ? QTime(0, 0, 0)
                                        : QTime(rng.bounded(24), rng.bounded(60), rng.bounded(60));
            desktop::AlarmClock clock(s);
            clock.setAlarmTime(at.hour(), at.minute(), at.second());
            clock.setEnabled(true);
            PollingAlarm ref{at};
            QList<QDateTime> expected, fired;
            // Two and a half days of checks, the reference at every one of them.
            const qint64 startMs = start.time().msecsSinceStartOfDay();
            for (qint64 k = 1; k <= 480000; ++k) {
                const qint64 ms = (startMs + k * desktop::AlarmClock::kCheckMs) % 86400000;
                if (ref.check(QTime::fromMSecsSinceStartOfDay(int(ms))))
                    expected << start.addMSecs(k * desktop::AlarmClock::kCheckMs);
            }
            while (clock.nextWake().isValid() &&
                   clock.nextWake() < start.addMSecs(480000LL * 450 + 1)) {
                s.clock = clock.nextWake();
                bool hit = false;
                QObject::connect(&clock, &desktop::AlarmClock::alarm, &clock, [&] { hit = true; });
                clock.poll();
                if (hit) fired << s.clock;
                QObject::disconnect(&clock, &desktop::AlarmClock::alarm, nullptr, nullptr);
            }
            QCOMPARE(fired, expected);
        }
    }

    void anAlarmFiresOncePerArmingEvenAtMidnight() {
        // The fields' default is 00:00:00: a whole minute of checks, one alarm.
        for (const QTime at : {QTime(0, 0, 0), QTime(0, 0, 30), QTime(13, 5, 0)}) {
            testing::RecordingServices s;
            s.clock = QDateTime(QDate(2026, 3, 1), at.addSecs(-20));
            desktop::AlarmClock clock(s);
            clock.setAlarmTime(at.hour(), at.minute(), at.second());
            clock.setEnabled(true);
            int alarms = 0;
            QObject::connect(&clock, &desktop::AlarmClock::alarm, &clock, [&] { ++alarms; });
            for (int k = 0; k < 300; ++k) {  // 135 s, every check
                s.clock = s.clock.addMSecs(desktop::AlarmClock::kCheckMs);
                clock.poll();
            }
            QCOMPARE(alarms, 1);
        }
    }

    void alarmWithNothingArmedSchedulesNothing() {
        testing::RecordingServices s;
        desktop::AlarmClock clock(s);
        QVERIFY(!clock.nextWake().isValid());
        clock.setAlarmTime(10, 0, 0);
        clock.setEnabled(true);
        QVERIFY(clock.nextWake().isValid());
        clock.setEnabled(false);
        QVERIFY(!clock.nextWake().isValid());
    }

    void outOfRangeAlarmTimesAreRefused() {
        testing::RecordingServices s;
        desktop::AlarmClock clock(s);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, clock.setAlarmTime(24, 0, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, clock.setAlarmTime(0, 60, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, clock.setAlarmTime(0, 0, -1));
        clock.setAlarmTime(23, 59, 59);
        QCOMPARE(clock.alarmTime(), QTime(23, 59, 59));
    }

    void everyOfferedAliasPlaysASoundTheThemeShips() {
        const QString theme = "/usr/share/sounds/freedesktop";
        if (!QFileInfo::exists(theme + "/index.theme"))
            QSKIP("sound-theme-freedesktop is not installed (scripts/deps.sh installs it)");
        QFile index(theme + "/index.theme");
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QString directories =
            QString(index.readAll()).section("Directories=", 1).section('\n', 0, 0);
        for (const QString& alias : desktop::systemSoundAliases()) {
            const QString sound = desktop::freedesktopSoundFor(alias);
            bool found = false;
            for (const QString& dir : directories.split(',', Qt::SkipEmptyParts))
                for (const char* ext : {".oga", ".ogg", ".wav"})
                    found =
                        found || QFileInfo::exists(theme + "/" + dir.trimmed() + "/" + sound + ext);
            QVERIFY2(found, qPrintable(alias + " -> \"" + sound + "\", which the theme lacks"));
        }
        QVERIFY(desktop::freedesktopSoundFor("-choose-").isEmpty());
        QVERIFY(desktop::freedesktopSoundFor("C:\\sounds\\ding.wav").isEmpty());
    }

    void datePickerShowsTheBlankMask() {
        desktop::DatePicker picker;
        QCOMPARE(picker.text(), QString("    -  -  "));
        picker.setText("2026-05-17");
        QCOMPARE(picker.text(), QString("2026-05-17"));
        picker.edit()->clear();
        QTest::keyClicks(picker.edit(), "20261224");
        QCOMPARE(picker.text(), QString("2026-12-24"));
    }

    void linkLabelOpensItsLinkOrCaption() {
        testing::RecordingServices s;
        desktop::LinkLabel link(s);
        link.setCaption("ann@example.org");
        link.setLink("mailto:ann@example.org");
        link.setEnabled(false);
        link.activate();
        QVERIFY(s.opened.isEmpty());
        link.setEnabled(true);
        QTest::mouseClick(&link, Qt::LeftButton);
        QTest::keyClick(&link, Qt::Key_Space);
        link.setLink("");
        link.activate();
        link.setCaption("");
        link.activate();
        QCOMPARE(s.opened, (QStringList{"mailto:ann@example.org", "mailto:ann@example.org",
                                        "ann@example.org"}));
    }

    void aSecondInstanceIsRefusedAndRaisesTheFirst() {
        const QString key = QString("kv4-test-%1").arg(QCoreApplication::applicationPid());
        desktop::SingleInstance first(key);
        QVERIFY(first.acquire());
        QSignalSpy raised(&first, &desktop::SingleInstance::raiseRequested);
        desktop::SingleInstance second(key);
        QVERIFY(!second.acquire());
        // The first answers from its event loop while the second waits.
        std::atomic<bool> answered = false;
        std::thread t([&] { answered = second.signalFirst(3000); });
        QTRY_COMPARE(raised.count(), 1);
        t.join();
        QVERIFY(answered);
        QCOMPARE(raised[0][0].toString(), QString("raise"));
        std::thread asks([&] { answered = second.signalFirst(3000, "new"); });
        QTRY_COMPARE(raised.count(), 2);
        asks.join();
        QCOMPARE(raised[1][0].toString(), QString("new"));
    }

    void anotherUsersPlantedLockNeverStopsTheStart() {
        const QString key = QString("kv4-plant-%1").arg(QCoreApplication::applicationPid());
        // A live lock of another program in the shared temporary folder.
        QLockFile planted(QDir::tempPath() + "/" + key + ".lock");
        QVERIFY(planted.tryLock(0));
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("HOME", home.path().toUtf8());
        // A runtime folder others may write is not taken as private.
        QTemporaryDir open;
        QFile::setPermissions(open.path(), QFileDevice::Permissions(0x7777));
        qputenv("XDG_RUNTIME_DIR", open.path().toUtf8());
        QCOMPARE(desktop::SingleInstance::privateFolder(), home.path() + "/.cache/kalvex4");
        {
            desktop::SingleInstance first(key);
            QVERIFY(first.acquire());
            QVERIFY(!desktop::SingleInstance(key).acquire());
        }
        planted.unlock();
        qputenv("HOME", oldHome);
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
    }

    void withoutAFolderOfItsOwnTheGuardMovesToAClosedOneOrStandsAside() {
        const QString key = QString("kv4-own-%1").arg(QCoreApplication::applicationPid());
        const QByteArray oldHome = qgetenv("HOME"), oldRuntime = qgetenv("XDG_RUNTIME_DIR"),
                         oldTemp = qgetenv("TMPDIR");
        QTemporaryDir base;
        QFile notAFolder(base.filePath("home"));  // a home where nothing can be made
        QVERIFY(notAFolder.open(QIODevice::WriteOnly));
        notAFolder.close();
        qputenv("HOME", notAFolder.fileName().toUtf8());
        qputenv("XDG_RUNTIME_DIR", "");
        QVERIFY(QDir(base.path()).mkdir("tmp"));
        qputenv("TMPDIR", base.filePath("tmp").toUtf8());
        const QString own = base.filePath("tmp") + "/kalvex4-" + QString::number(geteuid());
        QCOMPARE(desktop::SingleInstance::privateFolder(), own);
        QCOMPARE(QFileInfo(own).permissions() & 0x0077, QFileDevice::Permissions());
        {
            desktop::SingleInstance first(key);
            QVERIFY(first.guarded() && first.acquire());
            QVERIFY(!desktop::SingleInstance(key).acquire());
        }
        // Another user's folder at that name, or one open to others: no guard at all.
        for (const bool anothers : {true, false}) {
            QVERIFY(QDir(own).removeRecursively());
            QVERIFY(QDir().mkdir(own));
            if (anothers &&
                (geteuid() != 0 || chown(QFile::encodeName(own).constData(), 60002, 60002) != 0))
                continue;  // only root can give a folder away
            if (!anothers) QFile::setPermissions(own, QFileDevice::Permissions(0x7777));
            QCOMPARE(desktop::SingleInstance::privateFolder(), QString());
        }
        desktop::SingleInstance unguarded(key);
        QVERIFY(!unguarded.guarded());
        QVERIFY(unguarded.acquire());
        QVERIFY(!unguarded.signalFirst(100));
        qputenv("HOME", oldHome);
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        if (oldTemp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTemp);
    }

    void shellOpenTellsPathsFromAddresses() {
        QVERIFY(!desktop::shellTarget("").has_value());
        QCOMPARE(*desktop::shellTarget("https://example.org/a?b"), QUrl("https://example.org/a?b"));
        QCOMPARE(*desktop::shellTarget("mailto:ann@example.org"), QUrl("mailto:ann@example.org"));
        QCOMPARE(*desktop::shellTarget("/usr/bin/xterm"), QUrl::fromLocalFile("/usr/bin/xterm"));
        QCOMPARE(*desktop::shellTarget("notes/todo.txt"), QUrl::fromLocalFile("notes/todo.txt"));
        // A drive letter is one letter: a path, not a scheme.
        QCOMPARE(*desktop::shellTarget("C:\\Windows\\notepad.exe"),
                 QUrl::fromLocalFile("C:\\Windows\\notepad.exe"));
        QTemporaryDir dir;
        const QString odd = dir.path() + "/ab:cd";  // looks like a scheme only as a relative name
        QFile(odd).open(QIODevice::WriteOnly);
        QVERIFY(QDir::setCurrent(dir.path()));
        QCOMPARE(*desktop::shellTarget("ab:cd"), QUrl::fromLocalFile("ab:cd"));
    }

    void withoutATrayTheWindowStaysInTheTaskbar() {
        QWidget window;
        QMenu menu;
        desktop::Tray tray(&window, &menu, nullptr, "tip");
        QVERIFY(!tray.isAvailable());  // offscreen has no notification area
        auto* retry = tray.findChild<QTimer*>("trayRetry");
        QVERIFY(retry && retry->isActive());
        QStringList said;
        QObject::connect(&tray, &desktop::Tray::missing, [&](const QString& why) { said << why; });
        // It keeps looking while the session comes up and after, and says why once.
        for (int i = 0; i < 100; ++i) QMetaObject::invokeMethod(retry, "timeout");
        QVERIFY(retry->isActive());
        QCOMPARE(said.size(), 1);
        QVERIFY(window.toolTip().contains("taskbar"));
        QVERIFY(said[0].contains("taskbar"));
        window.show();
        tray.hideWindow();
        QVERIFY(window.isVisible());
        QVERIFY(window.isMinimized());
    }

    void soundAliasesIgnoreCase() {
        QCOMPARE(desktop::freedesktopSoundFor("RingIn"), QString("phone-incoming-call"));
        QCOMPARE(desktop::freedesktopSoundFor("ringin"), QString("phone-incoming-call"));
        QCOMPARE(desktop::freedesktopSoundFor("SYSTEMASTERISK"), QString("dialog-information"));
        QCOMPARE(desktop::freedesktopSoundFor("-choose-"), QString());
        QCOMPARE(desktop::freedesktopSoundFor(""), QString());
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
