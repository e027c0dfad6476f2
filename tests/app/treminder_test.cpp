#include "treminder.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QtTest>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "exchange.h"
#include "modaldriver.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "settings.h"
#include "tinformacja.h"
#include "tinformacja_timer.h"
#include "tray.h"
#include "windowopener.h"

using namespace kv;

class TreminderTest : public QObject {
    Q_OBJECT

    std::optional<testing::RecordingServices> m_services;
    testing::RecordingOpener m_opener;

    QString text(QWidget& w, const char* name) { return w.findChild<QLabel*>(name)->text(); }
    QAction* action(app::Treminder& w, const char* name) {
        return w.popup()->findChild<QAction*>(name);
    }
    QTimer* timer(app::Treminder& w, const char* name) { return w.findChild<QTimer*>(name); }

private slots:
    void init() {
        m_services.emplace();
        m_opener = testing::RecordingOpener();
    }

    void startupRecordsTheInstallationAndHides() {
        testing::Sandbox box;
        app::Treminder w(m_services->services, m_opener);
        QCOMPARE(text(w, "akcja"), QString("Loading program files..."));
        QCOMPARE(text(w, "pasek_wersji"), QString("Loading..."));
        w.show();
        QTRY_COMPARE(text(w, "akcja"), QString("Program files loaded."));
        storage::Profile ex = box.exchange();
        const storage::FileNames f = box.files();
        QCOMPARE(ex.readString("dzienniki", "log", ""), f.log);
        QCOMPARE(ex.readString("dzienniki", "log_staly", ""), f.log_staly);
        QCOMPARE(ex.readString("dzienniki", "log_glowny", ""), f.log_glowny);
        QCOMPARE(ex.readString("kalvex4", "sciezka", ""), box.dataFolder());
        QCOMPARE(ex.readString("kalvex4", "wersja", ""), std::string("4.17"));
        QCOMPARE(text(w, "pasek_wersji"), QString("Version: 4.17"));
        QCOMPARE(w.findChild<QProgressBar*>("postep")->value(), 50);
        QVERIFY(timer(w, "Timer1")->isActive());
        QVERIFY(m_services->messages.empty());
        // Factory settings: start with the session, no re-checking.
        QVERIFY(m_services->autostart);
        QVERIFY(action(w, "autorunbtn")->isChecked());
        QVERIFY(!action(w, "autologbtn")->isChecked());
        QVERIFY(action(w, "autologbtn")->isEnabled());
        QVERIFY(!timer(w, "Timer2")->isActive());
        QMetaObject::invokeMethod(timer(w, "Timer1"), "timeout");
        QVERIFY(!w.isVisible() || w.isMinimized());
    }

    void aMissingStoreEndsTheProgram() {
        testing::Sandbox box(false);
        app::Treminder w(m_services->services, m_opener);
        QSignalSpy quit(&w, &app::Treminder::quitRequested);
        w.runStartupSequence();
        QCOMPARE(text(w, "akcja"), QString("Terminating program..."));
        QCOMPARE(m_services->messageTexts(),
                 QStringList{"W rejestrze nie ma wpisu o Kalvex4. Zajrzyj do instrukcji obsługi."});
        QCOMPARE(quit.count(), 1);
        QCOMPARE(quit.at(0).at(0).toInt(), 1);
    }

    void aMissingStoreIsExplainedOnStandardError() {
        testing::Sandbox box(false);
        std::ostringstream err;
        std::streambuf* old = std::cerr.rdbuf(err.rdbuf());
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        std::cerr.rdbuf(old);
        const QString line = QString::fromStdString(err.str());
        QVERIFY2(line.contains(QString::fromStdString(box.root() + "/Kalvex4.conf")),
                 qPrintable(line));
        QVERIFY(line.contains("kalvex4-setup --system"));
        QVERIFY(line.contains("KALVEX4_STORE"));
        QCOMPARE(line.count('\n'), 1);
    }

    void titlesAndHintsAreTheProgramsOwn() {
        app::Treminder w(m_services->services, m_opener);
        // A display name set by us would be appended to every window title by the platform.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QCOMPARE(w.windowTitle(), QString("Kalvex4"));
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0xE7, 0xEB, 0xED));
        QLabel later("a hint");
        later.ensurePolished();
        QCOMPARE(later.toolTipDuration(), 500000);
        QCOMPARE(w.findChild<QLabel*>("Label1")->buddy(), w.findChild<QWidget*>("akcja"));
    }

    void aRefusedAutorunChangeChangesNothingAndSaysSo() {
        testing::Sandbox box;
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QVERIFY(action(w, "autorunbtn")->isChecked());
        m_services->autostartRefuses = true;
        action(w, "autorunbtn")->trigger();
        QVERIFY(action(w, "autorunbtn")->isChecked());
        QVERIFY(m_services->autostart);
        QCOMPARE(box.config().readString("glowne", "autostart", "unset"), std::string("1"));
        QCOMPARE(m_services->messages.size(), std::size_t(1));
        QVERIFY(m_services->messages[0].text.contains("Nothing was changed"));

        // config.ini refusing the write: the session start is not touched either.
        m_services->autostartRefuses = false;
        m_services->messages.clear();
        m_services->autostartCalls.clear();
        std::filesystem::remove(box.files().config);
        std::filesystem::create_directory(box.files().config);
        action(w, "autorunbtn")->trigger();
        QVERIFY(action(w, "autorunbtn")->isChecked());
        QVERIFY(m_services->autostartCalls.isEmpty());
        QCOMPARE(m_services->messages.size(), std::size_t(1));
        QVERIFY(m_services->messages[0].text.startsWith("Unable to write to"));
    }

    void savedConfigurationDecidesRecheckingButNobodysStartWithTheSession() {
        testing::Sandbox box;
        // Another user saved the configuration with the start on; this user
        // switched it off in the desktop's settings, and it stays off.
        box.config().writeString("glowne", "zmienione", "tak");
        box.config().writeString("glowne", "autostart", "1");
        box.config().writeString("glowne", "autolog", "1");
        m_services->autostart = false;
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QVERIFY(!m_services->autostart);
        QVERIFY(m_services->autostartCalls.isEmpty());
        QVERIFY(!action(w, "autorunbtn")->isChecked());
        QVERIFY(action(w, "autologbtn")->isChecked());
        QVERIFY(timer(w, "Timer2")->isActive());
        QCOMPARE(timer(w, "Timer2")->interval(), 120000);
        // The tray's switch now works at once and is kept for the next start.
        action(w, "autologbtn")->trigger();
        QVERIFY(!timer(w, "Timer2")->isActive());
        QVERIFY(!storage::readProgramSettings(box.config()).autolog);
        action(w, "autologbtn")->trigger();
        QVERIFY(timer(w, "Timer2")->isActive());
        QVERIFY(storage::readProgramSettings(box.config()).autolog);
    }

    void theTraysSwitchHoldsAndAStartThatFailsEarlyWritesNothing() {
        testing::Sandbox box;
        {
            app::Treminder w(m_services->services, m_opener);
            w.runStartupSequence();
            QVERIFY(m_services->autostartCalls.isEmpty());  // the package's entry already starts it
            action(w, "autorunbtn")->trigger();
            QCOMPARE(box.config().readString("glowne", "autostart", ""), std::string("0"));
            QCOMPARE(m_services->autostartCalls, QList<bool>{false});
        }
        // Unsaved settings no longer switch the session back on at every start.
        app::Treminder again(m_services->services, m_opener);
        again.runStartupSequence();
        QVERIFY(!m_services->autostart);
        QVERIFY(!action(again, "autorunbtn")->isChecked());
        QCOMPARE(m_services->autostartCalls, QList<bool>{false});

        // No store: the program ends, and what the session starts is as it was.
        testing::Sandbox none(false);
        app::Treminder early(m_services->services, m_opener);
        early.runStartupSequence();
        QCOMPARE(m_services->autostartCalls, QList<bool>{false});
    }

    void aSecondStartOpensTheEditorOrBringsTheWaitingWindowForward() {
        testing::Sandbox box;
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        w.answerSecondStart();
        QCOMPARE(m_opener.opened, QStringList{"editor"});
        // The desktop entry's actions, forwarded by a second start.
        w.answerSecondStart("new");
        w.answerSecondStart("configuration");
        QCOMPARE(m_opener.opened, (QStringList{"editor", "new", "configuration"}));
        m_opener.opened.clear();
        QDialog waiting;  // a notification, or the editor itself
        waiting.setWindowModality(Qt::ApplicationModal);
        waiting.show();
        w.answerSecondStart("new");
        QVERIFY(m_opener.opened.isEmpty());
        QVERIFY(waiting.isVisible());
    }

    void dueEntriesAreAnnouncedInTurnAsTheActiveEntry() {
        testing::Sandbox box;
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(8, 0));
        storage::Profile priv = box.log(storage::LogKind::Private);
        storage::addEntry(priv, storage::LogKind::Private, testing::entry("a", "2026-05-17"));
        storage::addEntry(priv, storage::LogKind::Private, testing::entry("b", "2026-05-17"));
        QStringList seen;
        m_opener.onNotification = [&] {
            storage::Exchange ex(box.exchangeFile());
            seen << QString("%1 %2")
                        .arg(ex.activeEntry().number)
                        .arg(QString::fromStdString(ex.activeEntry().log));
            return false;
        };
        app::Treminder w(m_services->services, m_opener);
        w.runStartupSequence();
        QCOMPARE(seen, (QStringList{"0 log", "1 log"}));
    }

    void terminateWarnsOnlyWhenTheTimerIsArmed() {
        testing::Sandbox box;
        app::Treminder w(m_services->services, m_opener);
        QSignalSpy quit(&w, &app::Treminder::quitRequested);
        w.runStartupSequence();
        action(w, "Zamknijprogram1")->trigger();
        QVERIFY(m_services->messages.empty());
        QCOMPARE(quit.count(), 1);

        app::Treminder armed(m_services->services, m_opener);
        QSignalSpy quit2(&armed, &app::Treminder::quitRequested);
        armed.zegar().setAlarmTime(23, 0, 0);
        armed.zegar().setEnabled(true);
        action(armed, "Zamknijprogram1")->trigger();
        QCOMPARE(
            m_services->messageTexts(),
            QStringList{"The timer message will not be displayed after you close this program."});
        QCOMPARE(quit2.count(), 1);
        QCOMPARE(quit2.at(0).at(0).toInt(), 0);
    }

    void menuItemsInOrderAndTheAlarmOpensTheTimerWindowOnce() {
        testing::Sandbox box;
        app::Treminder w(m_services->services, m_opener);
        QStringList names;
        for (QAction* a : w.popup()->actions()) names << a->objectName();
        QCOMPARE(names,
                 (QStringList{"Otworzedytor1", "N1", "autorunbtn", "autologbtn", "N2",
                              "Konfiguracja1", "N3", "Zamknijprogram1", "Kalvexinformacje1"}));
        action(w, "Otworzedytor1")->trigger();
        action(w, "Konfiguracja1")->trigger();
        action(w, "Kalvexinformacje1")->trigger();
        w.zegar().setAlarmTime(9, 30, 0);
        w.zegar().setEnabled(true);
        m_services->clock = QDateTime(QDate(2026, 5, 18), QTime(9, 30, 0));
        w.zegar().poll();
        QCOMPARE(m_opener.opened, (QStringList{"editor", "configuration", "about", "timer"}));
        QVERIFY(!w.zegar().isEnabled());
    }

    void theRealOpenerShowsEachDueEntryModallyUntilItIsDone() {
        testing::Sandbox box;
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(8, 0));
        storage::Profile priv = box.log(storage::LogKind::Private);
        storage::addEntry(priv, storage::LogKind::Private, testing::entry("first", "2026-05-17"));
        storage::addEntry(priv, storage::LogKind::Private, testing::entry("second", "2026-05-17"));
        app::WindowOpener opener(m_services->services);
        app::Treminder w(m_services->services, opener);
        testing::ModalDriver driver;
        QStringList shown;
        std::function<void(QWidget*)> done = [&](QWidget* window) {
            auto* n = static_cast<notify::Tinformacja*>(window);
            QVERIFY(QTest::qWaitFor([n] { return n->opened(); }));
            shown << n->findChild<QPlainTextEdit*>("info")->toPlainText();
            QTest::keyClick(n, Qt::Key_Return);  // a stray Enter first: nothing happens
            QVERIFY(n->isVisible());
            QTest::mouseClick(n->findChild<QPushButton*>("Color95Button1"), Qt::LeftButton);
            if (shown.size() < 2) driver.whenShown("Tinformacja", done);
        };
        driver.whenShown("Tinformacja", done);
        w.runStartupSequence();
        // Each "Done" moved the next entry into slot 0, which was looked at again.
        QCOMPARE(shown, (QStringList{"Text of first", "Text of second"}));
        QVERIFY(driver.acted());
        QVERIFY(!storage::isOccupied(priv, 0));
    }

    void aDoubleClickOnTheTrayIconOpensTheEditor() {
        testing::Sandbox box;
        app::Treminder w(m_services->services, m_opener);
        emit w.tray().icon()->activated(QSystemTrayIcon::Trigger);
        QCoreApplication::processEvents();
        QVERIFY(m_opener.opened.isEmpty());
        emit w.tray().icon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(m_opener.opened.isEmpty());  // opened after the tray's call returns
        QTRY_COMPARE(m_opener.opened, QStringList{"editor"});
    }

    void theAlarmShowsTheTimerWindowOnceAndDisarmsAfterIt() {
        testing::Sandbox box;
        storage::Exchange(box.exchangeFile()).recordTimerMessage("Stretch");
        app::WindowOpener opener(m_services->services);
        app::Treminder w(m_services->services, opener);
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(9, 0, 0));
        w.zegar().setAlarmTime(9, 0, 3);
        w.zegar().setEnabled(true);
        testing::ModalDriver driver;
        QString shown;
        bool armedWhileShown = false;
        driver.whenShown("Tinformacja_timer", [&](QWidget* window) {
            auto* t = static_cast<notify::Tinformacja_timer*>(window);
            QVERIFY(QTest::qWaitFor([t] { return t->opened(); }));
            shown = t->findChild<QPlainTextEdit*>("info")->toPlainText();
            armedWhileShown = w.zegar().isEnabled();
            QTest::mouseClick(t->findChild<QPushButton*>("btn1"), Qt::LeftButton);
        });
        m_services->clock = QDateTime(QDate(2026, 5, 17), QTime(9, 0, 3, 450));
        w.zegar().poll();
        QCOMPARE(shown, QString("Stretch"));
        QVERIFY(armedWhileShown);
        QVERIFY(!w.zegar().isEnabled());
        QCOMPARE(m_services->sounds, QStringList{"RingIn"});
    }
};

QTEST_MAIN(TreminderTest)
#include "treminder_test.moc"
