#include "tinformacja.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>

#include "colourscheme.h"
#include "exchange.h"
#include "findchild.h"
#include "notifyfixture.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tinformacja_timer.h"

using namespace kv;
using storage::LogKind;
using testing::child;

class TinformacjaTest : public testing::NotifyFixture {
    Q_OBJECT

    bool enabled(QWidget& w, const char* name) { return child<QWidget>(w, name)->isEnabled(); }

private slots:
    void init() { initFixture(); }

    void showsTheEntryWithItsSoundAndActions() {
        storage::EntryData e = testing::entry("t", "2026-05-17");
        e.informacja = "Line one\nLine two";
        e.dzwiek = "RingIn";
        e.strona = "https://example.org/";
        m_box->writeFile("data/report.txt", "report");
        e.program = "/bin/sh";
        e.plik = m_box->dataFolder() + "report.txt";
        add(LogKind::Private, e);
        activate(0, "log");
        auto w = open();
        QCOMPARE(w->windowTitle(), QString("Kalvex - message"));
        QCOMPARE(info(*w), QString("Line one\nLine two"));
        QCOMPARE(m_s->sounds, QStringList{"RingIn"});
        QVERIFY(enabled(*w, "strona"));
        QVERIFY(!enabled(*w, "email"));
        QCOMPARE(child<QLabel>(*w, "email")->text(), QString());
        QVERIFY(enabled(*w, "programbtn"));
        QVERIFY(enabled(*w, "plikbtn"));
        QVERIFY(!child<QWidget>(*w, "stronabtn")->isVisible());
        // The buttons are read by their own captions, the captions by their rows.
        for (auto [name, shown, row] : {std::tuple{"programbtn", "Run", "Start this program"},
                                        {"plikbtn", "Perform", "Perform an operation on this file"},
                                        {"programnazwa", "/bin/sh", "Start this program:"}}) {
            QAccessibleInterface* a =
                QAccessible::queryAccessibleInterface(child<QWidget>(*w, name));
            QCOMPARE(a->text(QAccessible::Name), QString(shown));
            QCOMPARE(a->text(QAccessible::Description), QString(row));
        }
        QTest::mouseClick(child<QPushButton>(*w, "programbtn"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(*w, "plikbtn"), Qt::LeftButton);
        QTest::keyClick(child<QWidget>(*w, "strona"), Qt::Key_Space);
        QCOMPARE(m_s->opened,
                 (QStringList{"/bin/sh", QString::fromStdString(m_box->dataFolder() + "report.txt"),
                              "https://example.org/"}));
        QVERIFY(m_s->messages.empty());
    }

    void emailLinkOpensMailto() {
        storage::EntryData e = testing::entry("t", "2026-05-17", "rok");
        e.email = "ann@example.org";
        e.dzwiek = "-choose-";
        add(LogKind::Static, e);
        activate(0, "log_staly");
        auto w = open();
        QVERIFY(enabled(*w, "email"));
        QTest::keyClick(child<QWidget>(*w, "email"), Qt::Key_Return);
        QCOMPARE(m_s->opened, QStringList{"mailto:ann@example.org"});
        QVERIFY(m_s->sounds == QStringList{"-choose-"});  // the player stays silent for it
        // No program and no file: their captions are read as empty, not as the group.
        for (const char* name : {"programnazwa", "plik"})
            QCOMPARE(QAccessible::queryAccessibleInterface(child<QWidget>(*w, name))
                         ->text(QAccessible::Name),
                     QString("none"));
    }

    void coloursFromTheColourFileAndFromTheTypeStyle() {
        m_box->colourFile().writeString("kolory", "listy1", "$0000FF");
        m_box->colourFile().writeString("kolory", "btn1_font", "255");
        add(LogKind::Private, testing::entry("plain", "2026-05-17"));
        activate(0, "log");
        auto w = open();
        using R = storage::ColourRole;
        QCOMPARE(desktop::controlColour(child<QWidget>(*w, "info"), R::Background),
                 QColor(0xFF, 0, 0));
        QCOMPARE(desktop::controlColour(child<QWidget>(*w, "Color95Button1"), R::Font),
                 QColor(255, 0, 0));
        QCOMPARE(desktop::controlColour(child<QWidget>(*w, "Color95Button2"), R::Font),
                 desktop::toQColor(10840410));
        QCOMPARE(desktop::controlColour(w.get(), R::Font), desktop::toQColor(15));

        m_box->writeFile("data/style.ini",
                         "[Mine]\r\nramka=f.bmp\r\ninfo_color=65280\r\nbtn_color=16711680\r\n");
        QImage(8, 8, QImage::Format_RGB32)
            .save(QString::fromStdString(m_box->dataFolder() + "data/f.bmp"));
        storage::EntryData e = testing::entry("styled", "2026-05-17");
        e.typ = "Mine";
        add(LogKind::Private, e);
        activate(1, "log");
        auto styled = open();
        QVERIFY(m_s->messages.empty());
        QCOMPARE(desktop::controlColour(child<QWidget>(*styled, "info"), R::Background),
                 QColor(0, 255, 0));
        QCOMPARE(desktop::controlColour(child<QWidget>(*styled, "info"), R::Font),
                 desktop::toQColor(144470));
        QCOMPARE(desktop::controlColour(child<QWidget>(*styled, "plikbtn"), R::Background),
                 QColor(0, 0, 255));
        QCOMPARE(desktop::controlColour(child<QWidget>(*styled, "Color95Button1"), R::Font),
                 desktop::toQColor(3947580));
        QVERIFY(!child<QLabel>(*styled, "tlo")->pixmap().isNull());
    }

    void missingOrInvalidBitmapStopsTheStyle() {
        storage::EntryData e = testing::entry("styled", "2026-05-17");
        e.typ = "default";  // lower case: not the built-in type
        e.program = "/bin/true";
        add(LogKind::Private, e);
        activate(0, "log");
        auto w = open();
        const QString bmp = QString::fromStdString(m_box->dataFolder() + "data/default.bmp");
        QCOMPARE(m_s->messageTexts(), QStringList{"Cannot open file " + bmp});
        QCOMPARE(info(*w), QString("Text of styled"));
        QVERIFY(!enabled(*w, "programbtn"));

        m_s->messages.clear();
        m_box->writeFile("data/data/default.bmp", "not a bitmap");
        auto w2 = open();
        QCOMPARE(m_s->messageTexts(), QStringList{"Bitmap image is not valid"});
    }

    void doneOnEachLog() {
        add(LogKind::Private, testing::entry("p0", "2026-05-17"));
        add(LogKind::Private, testing::entry("p1", "2026-05-17"));
        add(LogKind::Private, testing::entry("p2", "2026-05-17"));
        add(LogKind::Static, testing::entry("s", "2026-05-17", "rok"));
        add(LogKind::Public, testing::entry("once", "2026-05-17", "raz", "wszyscy"));
        add(LogKind::Public, testing::entry("yearly", "2026-05-17", "rok", "wszyscy"));

        activate(0, "log");
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, "Color95Button1"), Qt::LeftButton);
        QVERIFY(w->removedEntry());
        QTRY_VERIFY(!w->isVisible());
        storage::Profile priv = m_box->log(LogKind::Private);
        QCOMPARE(priv.readString("0", "Tytul", ""), std::string("p1"));
        QCOMPARE(priv.readString("1", "Numer", ""), std::string("1"));
        QVERIFY(!storage::isOccupied(priv, 2));

        for (auto [n, log, removed] :
             {std::tuple{0, "log_staly", false}, std::tuple{1, "log_glowny", false},
              std::tuple{0, "log_glowny", true}}) {
            activate(n, log);
            auto d = open();
            QTest::mouseClick(child<QPushButton>(*d, "Color95Button1"), Qt::LeftButton);
            QCOMPARE(d->removedEntry(), removed);
        }
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Static), 0));
        QCOMPARE(m_box->log(LogKind::Public).readString("0", "Tytul", ""), std::string("yearly"));
    }

    void doneRemovesNothingWhenTheNumberNowNamesAnotherEntry() {
        add(LogKind::Private, testing::entry("a", "2026-05-17"));
        add(LogKind::Private, testing::entry("b", "2026-05-17"));
        activate(1, "log");
        auto w = open();
        // A window opened over this one removed entry 0: "b" moved to 0.
        storage::Profile priv = m_box->log(LogKind::Private);
        storage::removeEntry(priv, LogKind::Private, 0, storage::RemovalOrder::DonePrivate);
        QTest::mouseClick(child<QPushButton>(*w, "Color95Button1"), Qt::LeftButton);
        QVERIFY(!w->removedEntry());
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QCOMPARE(priv.readString("0", "Tytul", ""), std::string("b"));
    }

    void showMeLater() {
        add(LogKind::Static, testing::entry("s", "2026-05-17", "rok"));
        activate(0, "log_staly");
        auto w = open();
        QTest::mouseClick(child<QPushButton>(*w, "Color95Button2"), Qt::LeftButton);
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"Dla dziennika stałego nie można wykonywać tej operacji. Aby zmienić "
                             "ten wpis, otwórz edytor."});
        QVERIFY(m_opener.opened.isEmpty());

        add(LogKind::Public, testing::entry("p", "2026-05-17", "raz", "wszyscy"));
        activate(0, "log_glowny");
        auto later = open();
        storage::Exchange(m_box->exchangeFile()).recordActiveEntry(9, "log");  // a nested check
        QTest::mouseClick(child<QPushButton>(*later, "Color95Button2"), Qt::LeftButton);
        QCOMPARE(m_opener.opened, QStringList{"edit"});
        const storage::ActiveEntry active = storage::Exchange(m_box->exchangeFile()).activeEntry();
        QCOMPARE(active.number, 0);
        QCOMPARE(active.log, std::string("log_glowny"));
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Public), 0));
    }

    void failurePaths() {
        auto none = open();  // nothing recorded yet
        QCOMPARE(m_s->messageTexts(), QStringList{"Nie można wczytać informacji."});
        QTRY_VERIFY(!none->isVisible());

        m_s->messages.clear();
        add(LogKind::Private, testing::entry("p", "2026-05-17"));
        activate(0, "elsewhere");
        auto unknown = open();
        QCOMPARE(info(*unknown), QString(notify::Tinformacja::kNotLoaded));
        QTest::mouseClick(child<QPushButton>(*unknown, "Color95Button1"), Qt::LeftButton);
        QTRY_VERIFY(!unknown->isVisible());
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Private), 0));

        m_box.reset();
        m_box = std::make_unique<testing::Sandbox>(false);
        auto noStore = open();
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"Nie znaleziono wpisu w rejestrze. Nie można wyświetlić informacji."});
        QTRY_VERIFY(!noStore->isVisible());
    }

    void enterAloneRemovesNothing() {
        add(LogKind::Private, testing::entry("unread", "2026-05-17"));
        activate(0, "log");
        auto w = open();
        for (QPushButton* b : w->findChildren<QPushButton*>()) QVERIFY(!b->isDefault());
        for (const char* focus : {"info", "Color95Button1", "Color95Button2"}) {
            child<QWidget>(*w, focus)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        }
        QVERIFY(w->isVisible());
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Private), 0));
        QVERIFY(m_opener.opened.isEmpty());
        // The keyboard still reaches "Done": Space on the focused button.
        child<QWidget>(*w, "Color95Button1")->setFocus();
        QTest::keyClick(child<QWidget>(*w, "Color95Button1"), Qt::Key_Space);
        QVERIFY(w->removedEntry());
    }

    void disabledActionsLookDisabledUnderTheColourScheme() {
        m_box->colourFile().writeString("kolory", "btn1", "$FFFFFF");
        m_box->colourFile().writeString("kolory", "btn1_font", "0");
        add(LogKind::Private, testing::entry("no actions", "2026-05-17"));
        activate(0, "log");
        auto w = open();
        auto* run = child<QPushButton>(*w, "programbtn");
        QVERIFY(!run->isEnabled());
        const QPalette p = run->palette();
        QCOMPARE(p.color(QPalette::Active, QPalette::ButtonText), QColor(0, 0, 0));
        QCOMPARE(p.color(QPalette::Disabled, QPalette::Button), QColor(255, 255, 255));
        QVERIFY(p.color(QPalette::Disabled, QPalette::ButtonText) !=
                p.color(QPalette::Active, QPalette::ButtonText));
    }

    void errorBoxesComeOverTheWindowOnScreen() {
        storage::EntryData e = testing::entry("styled", "2026-05-17");
        e.typ = "NoSuchFrame";
        add(LogKind::Private, e);
        activate(0, "log");
        auto w = open();
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(m_s->messages[0].text.startsWith("Cannot open file"));
        QVERIFY(m_s->messages[0].overItsWindow);
    }

    void aSecondNotificationIsOffsetFromTheFirst() {
        add(LogKind::Private, testing::entry("a", "2026-05-17"));
        add(LogKind::Private, testing::entry("b", "2026-05-17"));
        activate(0, "log");
        auto first = open();
        activate(1, "log");
        auto second = open();
        QVERIFY(first->isVisible());
        QVERIFY(second->pos() != first->pos());
        QVERIFY(second->pos().x() > first->pos().x() && second->pos().y() > first->pos().y());
    }

    void longCaptionsAreShortenedButOpenWhole() {
        storage::EntryData e = testing::entry("long", "2026-05-17");
        const QString url = "https://example.org/" + QString(300, 'u');
        const QString program = "/usr/local/bin/" + QString(200, 'p');
        e.strona = url.toStdString();
        e.email = std::string(200, 'm') + "@example.org";
        e.program = program.toStdString();
        e.plik = "/home/ann/" + std::string(200, 'f') + ".txt";
        add(LogKind::Private, e);
        activate(0, "log");
        auto w = open();
        for (const char* name : {"strona", "email", "programnazwa", "plik"}) {
            auto* label = child<QLabel>(*w, name);
            QVERIFY2(label->text().endsWith("..."), name);
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                    label->contentsRect().width());
            QVERIFY(label->toolTip().size() > 200);
            QTextDocument hover;
            hover.setHtml(label->toolTip());
            QCOMPARE(label->accessibleName(), hover.toPlainText());
        }
        QTest::keyClick(child<QWidget>(*w, "strona"), Qt::Key_Space);
        QTest::mouseClick(child<QPushButton>(*w, "programbtn"), Qt::LeftButton);
        QCOMPARE(m_s->opened, QStringList{url});
        // The program is not there: the message names it whole.
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"The program \"" + program +
                             "\" could not be started: there is no such program."});
    }

    void theTimerWindowShowsTheStoredMessageAndRings() {
        auto shown = [this] {
            auto w = std::make_unique<notify::Tinformacja_timer>(m_s->services);
            w->show();
            if (!QTest::qWaitFor([&] { return w->opened(); })) qFatal("never loaded");
            return w;
        };
        {
            auto w = shown();
            QCOMPARE(w->windowTitle(), QString("informacja_timer"));
            QCOMPARE(child<QPlainTextEdit>(*w, "info")->toPlainText(),
                     QString("Read Error: No input file. Create folder /tmp."));
            QCOMPARE(m_s->sounds, QStringList{"RingIn"});
        }
        storage::Exchange(m_box->exchangeFile()).recordTimerMessage("");
        QCOMPARE(child<QPlainTextEdit>(*shown(), "info")->toPlainText(),
                 QString());  // empty, not the default
        storage::Exchange(m_box->exchangeFile()).recordTimerMessage("Tea");
        m_box->colourFile().writeString("kolory", "listy1", "255");
        auto w = shown();
        QCOMPARE(child<QPlainTextEdit>(*w, "info")->toPlainText(), QString("Tea"));
        QCOMPARE(
            desktop::controlColour(child<QWidget>(*w, "info"), storage::ColourRole::Background),
            QColor(255, 0, 0));
        QTest::mouseClick(child<QPushButton>(*w, "btn1"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(m_s->messages.empty());

        // Without a store it says so and still shows the message.
        m_box.reset();
        m_box = std::make_unique<testing::Sandbox>(false);
        storage::Exchange(m_box->exchangeFile()).recordTimerMessage("Still here");
        auto bare = shown();
        QCOMPARE(m_s->messageTexts(), QStringList{"Kalvex was not installed properly."});
        QCOMPARE(child<QPlainTextEdit>(*bare, "info")->toPlainText(), QString("Still here"));
    }
};

QTEST_MAIN(TinformacjaTest)
#include "tinformacja_test.moc"
