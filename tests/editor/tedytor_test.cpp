#include "tedytor.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QtTest>

#include "alarmclock.h"
#include "colourscheme.h"
#include "editorfixture.h"
#include "exchange.h"
#include "findchild.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"

using namespace kv;
using storage::LogKind;
using testing::child;

class TedytorTest : public testing::EditorFixture {
    Q_OBJECT

private slots:
    void init() { initFixture(); }

    void opensWithItsWelcomeAndTheThreeLogsListed() {
        add(LogKind::Private, testing::entry("Dentist", "2026-12-08"));
        add(LogKind::Private, testing::entry("Two\nlines", "2026-12-09"));
        add(LogKind::Static, testing::entry("Birthday", "1990-04-02", "rok"));
        add(LogKind::Public, testing::entry("Backup", "2026-12-31", "raz", "wszyscy"));
        storage::Exchange(m_box->exchangeFile()).recordVersion("4.17");
        auto w = open();
        QCOMPARE(w->windowTitle(), QString("Kalvex4"));
        QCOMPARE(child<QLabel>(*w, "logo2")->text(),
                 "Welcome in Kalvex, " + QString::fromStdString(storage::userName()) +
                     ". Your logs were opened. Today is 2026-12-08.");
        QCOMPARE(child<QLabel>(*w, "status")->text(),
                 QString("Program status: Idle... Waiting for instructions..."));
        QCOMPARE(lines(*w, "lista"), (QStringList{"2026-12-08: Dentist", "2026-12-09: Two lines"}));
        QCOMPARE(lines(*w, "lista_stala"), QStringList{"1990-04-02: Birthday"});
        QCOMPARE(lines(*w, "lista_glowna"), QStringList{"2026-12-31: Backup"});
        QCOMPARE(child<QStackedWidget>(*w, "notatnik")->currentWidget()->objectName(),
                 QString("log"));
        QCOMPARE(child<QLabel>(*w, "wygasa")->text(), QString("Unknown date."));
        QCOMPARE(child<QPlainTextEdit>(*w, "podglad")->toPlainText(),
                 QString("\nSelect an entry by clicking on it in the list above."));
        QCOMPARE(child<QWidget>(*w, "lista")->accessibleName(),
                 QString("A list of entries in this log:"));
        QVERIFY(child<QWidget>(*w, "timer_info"));
        for (const char* field : {"hh", "mm", "ss"})
            QCOMPARE(child<QLineEdit>(*w, field)->text(), QString("00"));

        QTest::keyClick(w.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"Kalvex version: 4.17EXE ENG Public (freeware/ shareware)"});
    }

    void aClickPreviewsAndHandsOverTheSectionTheLineWasReadFrom() {
        add(LogKind::Public, testing::entry("first", "2026-01-01", "raz", "wszyscy"));
        add(LogKind::Public, testing::entry("second", "2026-02-02", "raz", "wszyscy"));
        add(LogKind::Public, testing::entry("third", "2026-03-03", "raz", "wszyscy"));
        // A hand edit left a gap: section 1 is gone.
        m_box->log(LogKind::Public).eraseSection("1");
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, "Button3"), Qt::LeftButton);
        QCOMPARE(lines(*w, "lista_glowna"),
                 (QStringList{"2026-01-01: first", "2026-03-03: third"}));
        clickLine(*w, "lista_glowna", 1);
        QCOMPARE(child<QLabel>(*w, "wygasa_glowny")->text(), QString("2026-03-03"));
        QCOMPARE(child<QPlainTextEdit>(*w, "podglad_glowny")->toPlainText(),
                 QString("Text of third"));
        QCOMPARE(active().number, 2);
        QCOMPARE(active().log, std::string("log_glowny"));

        // A double click edits that entry; the lists are rebuilt afterwards.
        auto* tree = child<QTreeWidget>(*w, "lista_glowna");
        clickLine(*w, "lista_glowna", 0);  // a double click starts with its click
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {},
                           tree->visualItemRect(tree->topLevelItem(0)).center());
        QCOMPARE(m_opener.opened, QStringList{"edit"});
        QCOMPARE(active().number, 0);
        QVERIFY(w->rebuildTimer()->isActive());
    }

    void aPreviewClickEditsOnlyAfterALineWasClickedSinceTheRebuild() {
        add(LogKind::Private, testing::entry("only", "2026-01-01"));
        auto w = open();
        auto* preview = child<QPlainTextEdit>(*w, "podglad");
        QTest::mouseClick(preview->viewport(), Qt::LeftButton);
        QTest::qWait(0);
        QVERIFY(m_opener.opened.isEmpty());
        clickLine(*w, "lista", 0);
        QTest::mouseClick(preview->viewport(), Qt::LeftButton);
        QTRY_COMPARE(m_opener.opened, QStringList{"edit"});
        rebuild(*w);
        QTest::mouseClick(preview->viewport(), Qt::LeftButton);
        QTest::qWait(0);
        QCOMPARE(m_opener.opened, QStringList{"edit"});
        // The preview keeps the entry last shown.
        QCOMPARE(preview->toPlainText(), QString("Text of only"));
    }

    void everyWindowItOpensIsFollowedByARebuild() {
        auto w = open();
        QVERIFY(lines(*w, "lista").isEmpty());
        m_opener.onEntryWindow = [this] {
            add(LogKind::Private, testing::entry("new", "2026-05-05"));
        };
        QTest::mouseClick(child<QPushButton>(*w, "btn1"), Qt::LeftButton);
        QCOMPARE(m_opener.opened, QStringList{"new"});
        QVERIFY(w->rebuildTimer()->isActive());
        rebuild(*w);
        QCOMPARE(lines(*w, "lista"), QStringList{"2026-05-05: new"});
        m_opener.onEntryWindow = [this] {
            storage::Profile log = m_box->log(LogKind::Private);
            storage::removeEntry(log, LogKind::Private, 0, storage::RemovalOrder::DeleteWindow);
        };
        clickLine(*w, "lista", 0);
        QTest::mouseClick(child<QPushButton>(*w, "btn3"), Qt::LeftButton);
        rebuild(*w);
        QVERIFY(lines(*w, "lista").isEmpty());
    }

    // The timer page's clock is a face with hands, read as the time it shows.
    void theTimerPagesClockShowsAndSaysTheTime() {
        m_s->clock = QDateTime(QDate(2026, 5, 17), QTime(10, 8, 30));
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, "Button4"), Qt::LeftButton);
        auto* clock = child<QWidget>(*w, "zegar2");
        QVERIFY(clock->isVisible());
        QCOMPARE(clock->accessibleName(), QString("10:08:30"));
        const QImage face = clock->grab().toImage();
        QVERIFY(face.pixelColor(face.width() / 2, face.height() / 2) !=
                face.pixelColor(2, 2));  // the hands meet in the middle of a drawn face
        m_s->clock = m_s->clock.addSecs(75);
        QTRY_COMPARE(clock->accessibleName(), QString("10:09:45"));
        for (auto [group, name] : {std::pair{"GroupBox7", "Timer:"}, {"GroupBox8", "Settings:"}})
            QCOMPARE(QAccessible::queryAccessibleInterface(child<QWidget>(*w, group))
                         ->text(QAccessible::Name),
                     QString(name));
    }

    void shortcutsActWhicheverControlHasTheFocus() {
        add(LogKind::Private, testing::entry("only", "2026-01-01"));
        auto w = open();
        clickLine(*w, "lista", 0);
        QTest::mouseClick(child<QPushButton>(*w, "Button4"), Qt::LeftButton);
        auto* message = child<QPlainTextEdit>(*w, "timer_info");
        message->setPlainText("keep");
        message->setFocus();
        // The timer page shows no line: Delete and Ctrl+E say so and act on nothing,
        // and the key is the window's, not the text field's.
        QTest::keyClick(message, Qt::Key_Home);
        QTest::keyClick(message, Qt::Key_Delete);
        QTest::keyClick(child<QWidget>(*w, "hh"), Qt::Key_E, Qt::ControlModifier);
        QVERIFY(m_opener.opened.isEmpty());
        QVERIFY(child<QLabel>(*w, "status")->text().contains("no entry is highlighted"));
        QTest::keyClick(message, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(message, Qt::Key_Return);  // does nothing
        QCOMPARE(message->toPlainText(), QString("keep"));
        QTest::mouseClick(child<QPushButton>(*w, "Button1"), Qt::LeftButton);
        auto* preview = child<QPlainTextEdit>(*w, "podglad");
        preview->setFocus();
        QTest::keyClick(preview, Qt::Key_Delete);
        QTest::keyClick(preview, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(m_opener.opened, (QStringList{"new", "delete", "edit"}));
        message->clear();
        // Ctrl+N plays no click; Delete and Ctrl+E play it as their buttons do.
        QCOMPARE(m_s->sounds.size(), 6);  // Button4, Delete, Ctrl+E, Button1, Delete, Ctrl+E
        QVERIFY(m_s->sounds.first().startsWith("file:"));
        QVERIFY(m_s->sounds.first().endsWith("share/kalvex4/click.wav"));
        QTest::keyClick(message, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(m_s->opened,
                 QStringList{QString::fromStdString(m_box->dataFolder()) + "help/index.html"});
        QTest::keyClick(message, Qt::Key_Escape);
        QTRY_VERIFY(!w->isVisible());
    }

    void pageButtonsColourThePageAreaAndConfigurationRecolours() {
        m_box->colourFile().writeString("kolory", "timer_page", "255");
        m_box->colourFile().writeString("kolory", "log_staly_page", "65280");
        auto w = open();
        auto* area = child<QWidget>(*w, "notatnik");
        using R = storage::ColourRole;
        QCOMPARE(desktop::controlColour(area, R::Background),
                 desktop::controlColour(w.get(), R::Background));
        QTest::mouseClick(child<QPushButton>(*w, "Button4"), Qt::LeftButton);
        QCOMPARE(child<QStackedWidget>(*w, "notatnik")->currentWidget()->objectName(),
                 QString("timer"));
        QCOMPARE(desktop::controlColour(area, R::Background), QColor(255, 0, 0));
        QTest::mouseClick(child<QPushButton>(*w, "Button2"), Qt::LeftButton);
        QCOMPARE(desktop::controlColour(area, R::Background), QColor(0, 255, 0));
        m_box->colourFile().writeString("kolory", "log_staly_page", "16711680");
        QTest::mouseClick(child<QPushButton>(*w, "btn5"), Qt::LeftButton);
        QCOMPARE(m_opener.opened, QStringList{"configuration"});
        QCOMPARE(desktop::controlColour(area, R::Background), QColor(0, 0, 255));
        QVERIFY(!w->rebuildTimer()->isActive());
    }

    void withoutAStoreTheListsStayEmptyAndEscStillCloses() {
        m_box = std::make_unique<testing::Sandbox>(false);
        auto w = open();
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"W rejestrze nie ma wpisu o Kalvex4. Zajrzyj do instrukcji obsługi."});
        QVERIFY(lines(*w, "lista").isEmpty());
        QTest::mouseClick(child<QPushButton>(*w, "btn4"), Qt::LeftButton);
        rebuild(*w);
        QVERIFY(lines(*w, "lista").isEmpty());
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QTRY_VERIFY(!w->isVisible());
    }

    void everyFieldAndListIsNamedForScreenReaders() {
        auto w = open();
        int checked = 0;
        for (QWidget* control : w->findChildren<QWidget*>()) {
            const bool input =
                qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control) ||
                qobject_cast<QTreeWidget*>(control) || qobject_cast<QAbstractButton*>(control) ||
                (qobject_cast<QLabel*>(control) && control->focusPolicy() == Qt::StrongFocus);
            if (!input || control->objectName() == "Edit1") continue;
            ++checked;
            const QString name = control->accessibleName().isEmpty()
                                     ? control->property("text").toString()
                                     : control->accessibleName();
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
        }
        QVERIFY(checked >= 20);
    }

    void theTimerGoesOffAtItsSecondTodayOrTomorrow_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QDateTime>("due");
        QTest::newRow("later today") << "10"
                                     << "0"
                                     << "5" << QDateTime(QDate(2026, 12, 8), QTime(10, 0, 5));
        QTest::newRow("earlier: tomorrow") << "9"
                                           << "59"
                                           << "0" << QDateTime(QDate(2026, 12, 9), QTime(9, 59, 0));
        QTest::newRow("midnight") << "00"
                                  << "00"
                                  << "00" << QDateTime(QDate(2026, 12, 9), QTime(0, 0, 0));
    }
    void theTimerGoesOffAtItsSecondTodayOrTomorrow() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, second);
        QFETCH(QDateTime, due);
        auto t = openTimed();
        QSignalSpy alarms(&t->zegar, &desktop::AlarmClock::alarm);
        auto* start = child<QPushButton>(t->editor, "btn8");
        QCOMPARE(start->text(), QString("Start the timer."));
        setTimer(t->editor, hour, minute, second, "Tea is ready");
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(m_s->messages.empty());
        QVERIFY(m_s->sounds.isEmpty());  // no click sound on this button
        QCOMPARE(start->text(), QString("Stop the timer."));
        QVERIFY(t->zegar.isEnabled());
        QCOMPARE(storage::Exchange(m_box->exchangeFile()).timerMessage(),
                 std::string("Tea is ready"));
        // The clock seam: every check up to just before the second, then within it
        // (the checks come every 450 ms).
        m_s->clock = due.addMSecs(-1);
        t->zegar.poll();
        QCOMPARE(alarms.count(), 0);
        m_s->clock = due.addMSecs(desktop::AlarmClock::kCheckMs);
        t->zegar.poll();
        QCOMPARE(alarms.count(), 1);
        // The resident window disarms it: the open editor stops claiming a timer.
        t->zegar.setEnabled(false);
        QCOMPARE(start->text(), QString("Start the timer."));
        m_s->clock = due.addDays(1);
        t->zegar.poll();
        QCOMPARE(alarms.count(), 1);
    }

    void aRefusedValueChangesNothing_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("message");
        QTest::newRow("24") << "24"
                            << "''24:8:9'' is not a valid time";
        QTest::newRow("-1") << "-1"
                            << "''-1:8:9'' is not a valid time";
        QTest::newRow("256") << "256"
                             << "''256:8:9'' is not a valid time";
        QTest::newRow("abc") << "abc"
                             << "'abc' is not a valid integer value";
    }
    void aRefusedValueChangesNothing() {
        QFETCH(QString, hour);
        QFETCH(QString, message);
        storage::Exchange(m_box->exchangeFile()).recordTimerMessage("before");
        auto t = openTimed();
        t->zegar.setAlarmTime(7, 8, 9);
        setTimer(t->editor, hour, "30", "0", "after");  // the hour is tested first, against 08:09
        QTest::mouseClick(child<QPushButton>(t->editor, "btn8"), Qt::LeftButton);
        QCOMPARE(m_s->messageTexts(), QStringList{message});
        QVERIFY(!t->zegar.isEnabled());
        QCOMPARE(t->zegar.alarmTime(), QTime(7, 8, 9));
        QCOMPARE(child<QPushButton>(t->editor, "btn8")->text(), QString("Start the timer."));
        QCOMPARE(storage::Exchange(m_box->exchangeFile()).timerMessage(), std::string("before"));
    }

    void anArmedTimerIsReadBackAndStopped() {
        storage::Exchange(m_box->exchangeFile()).recordTimerMessage("Call back");
        desktop::AlarmClock zegar(m_s->services.clock);
        zegar.setAlarmTime(7, 5, 0);
        zegar.setEnabled(true);
        {
            editor::Tedytor w(m_s->services, m_opener, nullptr, &zegar);
            w.show();
            QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
            QCOMPARE(child<QPushButton>(w, "btn8")->text(), QString("Stop the timer."));
            QCOMPARE(child<QLineEdit>(w, "hh")->text(), QString("7"));
            QCOMPARE(child<QLineEdit>(w, "mm")->text(), QString("5"));
            QCOMPARE(child<QLineEdit>(w, "ss")->text(), QString("0"));
            QCOMPARE(child<QPlainTextEdit>(w, "timer_info")->toPlainText(), QString("Call back"));
            child<QPushButton>(w, "btn8")->setFocus();
            QTest::keyClick(child<QPushButton>(w, "btn8"), Qt::Key_Space);
            QCOMPARE(m_s->messageTexts(), QStringList{"Timer disabled."});
            QVERIFY(!zegar.isEnabled());
            QCOMPARE(child<QPushButton>(w, "btn8")->text(), QString("Start the timer."));
            QCOMPARE(child<QLineEdit>(w, "hh")->text(), QString("7"));
        }
        QCOMPARE(storage::Exchange(m_box->exchangeFile()).timerMessage(), std::string("Call back"));
    }

    void theStatusFieldExplainsWhatIsUnderTheMouse() {
        storage::Exchange(m_box->exchangeFile()).recordVersion("4.17");
        auto w = open();
        auto* status = child<QLabel>(*w, "status");
        auto hover = [&](QWidget* target) {
            QTest::mouseMove(target, QPoint(2, 2));
            QTest::qWait(0);
            return status->text();
        };
        QCOMPARE(hover(child<QWidget>(*w, "btn6")), QString("Open Kalvex4 documentation (html)."));
        // The static log's tree has no text: the field keeps the last one.
        QCOMPARE(hover(child<QWidget>(*w, "Button2")),
                 QString("Display details of a steady user log"));
        QTest::mouseClick(child<QPushButton>(*w, "Button2"), Qt::LeftButton);
        QCOMPARE(hover(child<QTreeWidget>(*w, "lista_stala")->viewport()),
                 QString("Display details of a steady user log"));
        QCOMPARE(hover(status), QString("Program version: 4.17."));
        QCOMPARE(hover(child<QWidget>(*w, "GroupBox3")), QString(editor::Tedytor::kNoticeLine));
        QTest::mouseClick(child<QPushButton>(*w, "Button4"), Qt::LeftButton);
        QCOMPARE(hover(child<QWidget>(*w, "btn8")),
                 QString("Starts/ Stops the timer. When text \"Start the timer\" is visible - "
                         "turns the timer on."));
        QTest::mouseClick(child<QWidget>(*w, "logo3"), Qt::LeftButton);
        QCOMPARE(status->text(), QString(editor::Tedytor::kNoticeLine));
        QVERIFY(child<QWidget>(*w, "btn1")->toolTip().isEmpty());
    }
};

QTEST_MAIN(TedytorTest)
#include "tedytor_test.moc"
