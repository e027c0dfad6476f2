#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "datepicker.h"
#include "entryfixture.h"
#include "exchange.h"
#include "findchild.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tdodawanie.h"
#include "tedytowanie.h"
#include "tusuwanie.h"

using namespace kv;
using storage::LogKind;
using testing::child;

using testing::keysOf;

class EntriesTest : public testing::EntryFixture {
    Q_OBJECT

private slots:
    void init() { initFixture(); }

    void newEntryChecksRunInOrderAndKeepTheInput() {
        auto w = open<entries::Tdodawanie>();
        QCOMPARE(w->windowTitle(), QString("Kalvex - creating a new information"));
        QVERIFY(child<QRadioButton>(*w, "rja")->isChecked());
        QVERIFY(child<QRadioButton>(*w, "wyswietl_raz")->isChecked());
        QCOMPARE(child<QComboBox>(*w, "dzwiek")->currentText(), QString("-choose-"));
        QCOMPARE(child<QLineEdit>(*w, "strona")->text(), QString("http://www."));
        QCOMPARE(child<QLineEdit>(*w, "program_nazwa")->text(), QString("/"));
        QCOMPARE(child<QListWidget>(*w, "typ")->currentItem()->text(), QString("Default"));
        type(*w, "tytul", "kept");
        child<QRadioButton>(*w, "rwybrany")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(*w, "zapiszbtn"), Qt::LeftButton);
        QCOMPARE(
            m_s->messageTexts(),
            (QStringList{"A field with a profile name of the receiver is empty.",
                         "Date not chosen. Open the calendar by clicking on the \"15\" icon."}));
        QVERIFY(w->isVisible());
        QCOMPARE(child<QPlainTextEdit>(*w, "tytul")->toPlainText(), QString("kept"));
        for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
            QVERIFY(!storage::isOccupied(m_box->log(k), 0));

        m_s->messages.clear();
        child<QListWidget>(*w, "typ")->clearSelection();
        entries::uncheckAll({child<QRadioButton>(*w, "rja"), child<QRadioButton>(*w, "rwybrany"),
                             child<QRadioButton>(*w, "wyswietl_raz")});
        QTest::mouseClick(child<QPushButton>(*w, "zapiszbtn"), Qt::LeftButton);
        QCOMPARE(m_s->messageTexts(),
                 (QStringList{
                     "You have not chosen a receiver.", "You have not chosen an information type.",
                     "You have not choosen the way of displaying a message (once/ every year).",
                     "Date not chosen. Open the calendar by clicking on the \"15\" icon."}));
    }

    void eachReceiverAndModeGoesToItsLogInWindowOrder_data() {
        QTest::addColumn<QString>("receiver");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("log");
        QTest::addColumn<QStringList>("keys");
        const QStringList tail{"Numer", "Informacja", "Data", "Typ", "Dzwiek", "email"};
        QTest::newRow("me once") << "rja"
                                 << "wyswietl_raz" << int(LogKind::Private)
                                 << (QStringList{"Tytul"} + tail);
        QTest::newRow("me yearly") << "rja"
                                   << "wyswietl_rok" << int(LogKind::Static)
                                   << (QStringList{"Tytul", "Wyswietlanie"} + tail);
        QTest::newRow("me monthly") << "rja"
                                    << "wyswietl_miesiac" << int(LogKind::Static)
                                    << (QStringList{"Tytul", "Wyswietlanie"} + tail);
        QTest::newRow("anyone once") << "rwszyscy"
                                     << "wyswietl_raz" << int(LogKind::Public)
                                     << (QStringList{"Tytul", "Odbiorca", "Wyswietlanie"} + tail);
        QTest::newRow("named monthly") << "rwybrany"
                                       << "wyswietl_miesiac" << int(LogKind::Public)
                                       << (QStringList{"Tytul", "Odbiorca", "Wyswietlanie"} + tail);
    }
    void eachReceiverAndModeGoesToItsLogInWindowOrder() {
        QFETCH(QString, receiver);
        QFETCH(QString, mode);
        QFETCH(int, log);
        QFETCH(QStringList, keys);
        auto w = open<entries::Tdodawanie>();
        type(*w, "tytul", "Dentist");
        if (receiver == "rwybrany") type(*w, "odbiorca_nazwa", "jan");
        child<QRadioButton>(*w, receiver.toLatin1())->setChecked(true);
        child<QRadioButton>(*w, mode.toLatin1())->setChecked(true);
        date(*w, "20261224");
        type(*w, "email", "ann@example.org");
        QTest::mouseClick(child<QPushButton>(*w, "zapiszbtn"), Qt::LeftButton);
        QVERIFY(m_s->messages.empty());
        QVERIFY(w->saved());
        QTRY_VERIFY(!w->isVisible());
        const storage::Profile written = m_box->log(LogKind(log));
        QCOMPARE(keysOf(written, 0), keys);
        QCOMPARE(written.readString("0", "Data", ""), std::string("2026-12-24"));
        QCOMPARE(written.readString("0", "Typ", ""), std::string("Default"));
        QCOMPARE(written.readString("0", "Dzwiek", ""), std::string("-choose-"));
        if (receiver == "rwybrany")
            QCOMPARE(written.readString("0", "Odbiorca", ""), std::string("JAN"));
        if (receiver == "rwszyscy")
            QCOMPARE(written.readString("0", "Odbiorca", ""), std::string("wszyscy"));
        const char* modeValue = mode == "wyswietl_raz"   ? "raz"
                                : mode == "wyswietl_rok" ? "rok"
                                                         : "miesiac";
        if (log != int(LogKind::Private))
            QCOMPARE(written.readString("0", "Wyswietlanie", ""), std::string(modeValue));
    }

    void enterSavesFromInsideTheTextAndEscCancels() {
        auto w = open<entries::Tdodawanie>();
        date(*w, "20260517");
        auto* text = child<QPlainTextEdit>(*w, "informacja");
        text->setFocus();
        QTest::keyClicks(text, "one line");
        QTest::keyClick(text, Qt::Key_Return);
        QVERIFY(w->saved());
        QCOMPARE(m_box->log(LogKind::Private).readString("0", "Informacja", ""),
                 std::string("one line"));

        auto cancelled = open<entries::Tdodawanie>();
        date(*cancelled, "20260517");
        QTest::keyClick(child<QWidget>(*cancelled, "tytul"), Qt::Key_Escape);
        QTRY_VERIFY(!cancelled->isVisible());
        QVERIFY(!cancelled->saved());
        QVERIFY(!storage::isOccupied(m_box->log(LogKind::Private), 1));
    }

    void aFullLogIsSaidAndTheWindowKeepsTheInput() {
        for (int i = 0; i < storage::kSlots; ++i)
            add(LogKind::Private, testing::entry("e", "2026-01-01"));
        const std::string before = m_box->readFile("logs/private/" + storage::userName() + ".log");
        auto w = open<entries::Tdodawanie>();
        type(*w, "tytul", "one too many");
        date(*w, "20260517");
        QTest::mouseClick(child<QPushButton>(*w, "zapiszbtn"), Qt::LeftButton);
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(m_s->messages[0].text.contains("full"));
        QVERIFY(m_s->messages[0].text.contains("51"));
        QVERIFY(!w->saved());
        QTest::qWait(10);
        QVERIFY(w->isVisible());
        QCOMPARE(child<QPlainTextEdit>(*w, "tytul")->toPlainText(), QString("one too many"));
        QCOMPARE(m_box->readFile("logs/private/" + storage::userName() + ".log"), before);
    }

    void typingTicksAndBrowsingFillsOnlyWhenConfirmed() {
        auto w = open<entries::Tdodawanie>();
        type(*w, "odbiorca_nazwa", "ewa");
        QVERIFY(child<QRadioButton>(*w, "rwybrany")->isChecked());
        type(*w, "strona", "https://example.org/");
        QVERIFY(child<QCheckBox>(*w, "chstrona")->isChecked());
        child<QCheckBox>(*w, "chstrona")->setChecked(false);  // typed, then switched off

        type(*w, "program_nazwa", "/opt/mine");
        m_s->files.push_back(QString());  // cancelled
        QTest::mouseClick(child<QWidget>(*w, "ProSpeedButton1"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(*w, "program_nazwa")->text(), QString("/opt/mine"));
        m_s->files.push_back("/usr/bin/xterm");
        QTest::mouseClick(child<QWidget>(*w, "ProSpeedButton1"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(*w, "program_nazwa")->text(), QString("/usr/bin/xterm"));
        m_s->files.push_back(QDir::homePath() + "/notes.txt");
        QTest::mouseClick(child<QWidget>(*w, "ProSpeedButton2"), Qt::LeftButton);
        QVERIFY(child<QCheckBox>(*w, "chplik")->isChecked());
        QCOMPARE(m_s->asked.size(), std::size_t(3));
        QVERIFY(m_s->asked[0].text.endsWith(" in /usr/bin"));
        QCOMPARE(m_s->asked[0].filter, QString("programs"));
        QVERIFY(m_s->asked[2].text.endsWith(" in " + QDir::homePath()));
        QCOMPARE(m_s->asked[2].filter, QString("any"));

        date(*w, "20260517");
        QTest::mouseClick(child<QPushButton>(*w, "zapiszbtn"), Qt::LeftButton);
        const storage::Profile pub = m_box->log(LogKind::Public);
        QCOMPARE(pub.readString("0", "Odbiorca", ""), std::string("EWA"));
        QCOMPARE(pub.readString("0", "program", ""), std::string("/usr/bin/xterm"));
        QCOMPARE(pub.readString("0", "plik", ""), (QDir::homePath() + "/notes.txt").toStdString());
        QVERIFY(!pub.snapshot().find("0", "strona"));
        QVERIFY(!pub.snapshot().find("0", "email"));
    }

    void theTypeListComesFromTheStyleList() {
        m_box->writeFile("data/style_list.ini", "[0]\r\nNazwa=Urgent\r\n[2]\r\nNazwa=Birthday\r\n");
        auto w = open<entries::Tdodawanie>();
        auto* typ = child<QListWidget>(*w, "typ");
        QCOMPARE(typ->count(), 3);
        QCOMPARE(typ->item(2)->text(), QString("Birthday"));
        QCOMPARE(typ->currentRow(), 0);
        QCOMPARE(child<QListWidget>(*w, "typ")->accessibleName(), QString("Type of information:"));
        QCOMPARE(child<QWidget>(*w, "tytul")->accessibleName(), QString("Subject:"));
        QCOMPARE(child<QWidget>(*w, "email")->accessibleName(),
                 QString("Send e-mail to this person:"));
    }

    void editLoadsTheEntryWithItsTicksReceiverAndMode() {
        storage::EntryData e = testing::entry("Meeting", "2026-06-01", "rok", "JAN");
        e.typ = "Urgent";
        e.dzwiek = "RingIn";
        e.program = "/usr/bin/xterm";
        add(LogKind::Public, e);
        m_box->writeFile("data/style_list.ini", "[0]\r\nNazwa=Urgent\r\n");
        activate(0, "log_glowny");
        auto w = open<entries::Tedytowanie>();
        QCOMPARE(w->windowTitle(), QString("Kalvex - editing an existing entry"));
        QCOMPARE(child<QPlainTextEdit>(*w, "tytul")->toPlainText(), QString("Meeting"));
        QCOMPARE(child<desktop::DatePicker>(*w, "kalendarz")->text(), QString("2026-06-01"));
        QCOMPARE(child<QComboBox>(*w, "dzwiek")->currentText(), QString("RingIn"));
        QVERIFY(child<QRadioButton>(*w, "rwybrany")->isChecked());
        QVERIFY(!child<QRadioButton>(*w, "rwybrany")->isEnabled());
        QVERIFY(child<QRadioButton>(*w, "wyswietl_rok")->isChecked());
        QCOMPARE(child<QLineEdit>(*w, "odbiorca_nazwa")->text(), QString("JAN"));
        QVERIFY(child<QCheckBox>(*w, "chprogram")->isChecked());
        QVERIFY(!child<QCheckBox>(*w, "chemail")->isChecked());
        QVERIFY(child<QCheckBox>(*w, "chstrona")->isChecked());  // empty is not "http://"
        QVERIFY(!child<QCheckBox>(*w, "chplik")->isChecked());
        QCOMPARE(child<QListWidget>(*w, "typ")->currentItem()->text(), QString("Urgent"));

        // Receiver as typed; the program switched off; the key order of a new entry.
        child<QLineEdit>(*w, "odbiorca_nazwa")->setText("Ewa");
        child<QCheckBox>(*w, "chprogram")->setChecked(false);
        child<QWidget>(*w, "informacja")->setFocus();
        QTest::keyClick(child<QWidget>(*w, "informacja"), Qt::Key_Enter);
        QVERIFY(w->saved());
        const storage::Profile pub = m_box->log(LogKind::Public);
        QCOMPARE(pub.readString("0", "Odbiorca", ""), std::string("Ewa"));
        QCOMPARE(keysOf(pub, 0), (QStringList{"Tytul", "Odbiorca", "Wyswietlanie", "Numer",
                                              "Informacja", "Data", "Typ", "Dzwiek", "strona"}));
        QCOMPARE(pub.readString("0", "strona", "none"), std::string());
    }

    void editRefusesATypeNoLongerListedAndAnEntryThatMoved() {
        storage::EntryData e = testing::entry("a", "2026-06-01");
        e.typ = "Gone";
        add(LogKind::Private, e);
        add(LogKind::Private, testing::entry("b", "2026-06-02"));
        activate(1, "log");
        auto w = open<entries::Tedytowanie>();
        QVERIFY(child<QRadioButton>(*w, "rja")->isChecked());
        QVERIFY(child<QRadioButton>(*w, "wyswietl_raz")->isChecked());
        activate(0, "log");
        auto gone = open<entries::Tedytowanie>();
        QVERIFY(child<QListWidget>(*gone, "typ")->selectedItems().isEmpty());
        QTest::mouseClick(child<QPushButton>(*gone, "zapiszbtn"), Qt::LeftButton);
        QCOMPARE(m_s->messageTexts(), QStringList{"No type of informaction chosen."});

        // A window over these removed entry 0: slot 1 holds nothing any more.
        m_s->messages.clear();
        storage::Profile priv = m_box->log(LogKind::Private);
        storage::removeEntry(priv, LogKind::Private, 0, storage::RemovalOrder::DonePrivate);
        const std::string before = m_box->readFile("logs/private/" + storage::userName() + ".log");
        QTest::mouseClick(child<QPushButton>(*w, "zapiszbtn"), Qt::LeftButton);
        QCOMPARE(m_s->messages.size(), std::size_t(1));
        QVERIFY(m_s->messages[0].text.contains("Nothing was saved"));
        QVERIFY(!w->saved());
        QCOMPARE(m_box->readFile("logs/private/" + storage::userName() + ".log"), before);
    }

    void editWithoutAnEntryOrLogCloses() {
        auto none = open<entries::Tedytowanie>();
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"Could not find the entry that you were about to edit."});
        QTRY_VERIFY(!none->isVisible());
        m_s->messages.clear();
        activate(0, "none");
        auto noLog = open<entries::Tedytowanie>();
        QCOMPARE(m_s->messageTexts(), QStringList{"Could not find the log to be edited."});
        QTRY_VERIFY(!noLog->isVisible());
    }

    void deleteShowsTheEntryAndRemovesItWithRenumbering() {
        for (const char* t : {"e0", "e1", "e2", "e3"})
            add(LogKind::Static, testing::entry(t, "2026-03-04", "rok"));
        add(LogKind::Private, testing::entry("private", "2026-03-04"));
        activate(0, "log_staly");
        auto w = open<entries::Tusuwanie>();
        QCOMPARE(w->windowTitle(), QString("Kalvex - deleting an entry"));
        QCOMPARE(child<QLabel>(*w, "numer")->text(), QString("0"));
        QCOMPARE(child<QLabel>(*w, "dziennik")->text(),
                 QString("Prywatny, stały dziennik użytkownika (log_stały)."));
        QCOMPARE(child<QLabel>(*w, "data")->text(), QString("2026-03-04"));
        QCOMPARE(child<QLabel>(*w, "informacja")->text(), QString("Text of e0"));
        // Read as a screen reader reads it: the value by its caption.
        QAccessibleInterface* text =
            QAccessible::queryAccessibleInterface(child<QLabel>(*w, "informacja"));
        QCOMPARE(text->text(QAccessible::Name), QString("Text of e0"));
        QCOMPARE(text->text(QAccessible::Description), QString("Text:"));
        QVERIFY(child<QPushButton>(*w, "usunbtn")->isEnabled());
        QTest::mouseClick(child<QPushButton>(*w, "usunbtn"), Qt::LeftButton);
        QVERIFY(w->deleted());
        const storage::Profile stat = m_box->log(LogKind::Static);
        for (int n = 0; n < 3; ++n) {
            QCOMPARE(stat.readString(std::to_string(n), "Tytul", ""), "e" + std::to_string(n + 1));
            QCOMPARE(stat.readString(std::to_string(n), "Numer", ""), std::to_string(n));
        }
        QVERIFY(!storage::isOccupied(stat, 3));
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Private), 0));
    }

    void deleteOffersYesOnlyForAnEntryItCanDelete() {
        auto none = open<entries::Tusuwanie>();
        for (const char* name : {"numer", "dziennik", "data", "informacja"})
            QCOMPARE(child<QLabel>(*none, name)->text(), QString("Unknown."));
        QVERIFY(!child<QPushButton>(*none, "usunbtn")->isEnabled());
        QTest::mouseClick(child<QPushButton>(*none, "anulujbtn"), Qt::LeftButton);
        QTRY_VERIFY(!none->isVisible());

        add(LogKind::Private, testing::entry("a", "2026-03-04"));
        add(LogKind::Private, testing::entry("b", "2026-03-04"));
        activate(7, "log");  // an empty slot: nothing there to delete
        auto empty = open<entries::Tusuwanie>();
        QVERIFY(!child<QPushButton>(*empty, "usunbtn")->isEnabled());
        QCOMPARE(child<QLabel>(*empty, "data")->text(), QString("BŁĄD."));

        activate(1, "log");
        auto moved = open<entries::Tusuwanie>();
        storage::Profile priv = m_box->log(LogKind::Private);
        storage::removeEntry(priv, LogKind::Private, 0, storage::RemovalOrder::DonePrivate);
        QTest::mouseClick(child<QPushButton>(*moved, "usunbtn"), Qt::LeftButton);
        QVERIFY(!moved->deleted());
        QVERIFY(m_s->messages.back().text.contains("Nothing was deleted"));
        QCOMPARE(priv.readString("0", "Tytul", ""), std::string("b"));
        QVERIFY(!child<QPushButton>(*moved, "usunbtn")->isEnabled());
    }

    void aMissingStoreClosesEachEntryWindowWithItsMessage() {
        m_box = std::make_unique<testing::Sandbox>(false);
        auto add = open<entries::Tdodawanie>();
        auto edit = open<entries::Tedytowanie>();
        auto del = open<entries::Tusuwanie>();
        QCOMPARE(m_s->messageTexts(),
                 (QStringList{"W rejestrze nie ma wpisu o Kalvex. Zamknij program i przeczytaj "
                              "instrukcję obsługi.",
                              "Kalvex was not installed properly. Reinstall the program.",
                              "W rejestrze nie ma wpisu o Kalvex. Zamknij program i przeczytaj "
                              "instrukcję obsługi."}));
        QTRY_VERIFY(!add->isVisible() && !edit->isVisible() && !del->isVisible());
    }

    void everyFieldAndListIsNamedForScreenReaders() {
        add(LogKind::Private, testing::entry("a", "2026-01-01"));
        activate(0, "log");
        std::vector<std::unique_ptr<QDialog>> windows;
        windows.push_back(open<entries::Tdodawanie>());
        windows.push_back(open<entries::Tedytowanie>());
        windows.push_back(open<entries::Tusuwanie>());
        for (const auto& w : windows)
            for (QWidget* control : w->findChildren<QWidget*>()) {
                const bool input =
                    qobject_cast<QLineEdit*>(control) || qobject_cast<QPlainTextEdit*>(control) ||
                    qobject_cast<QListWidget*>(control) || qobject_cast<QComboBox*>(control) ||
                    qobject_cast<QAbstractButton*>(control) ||
                    (qobject_cast<QLabel*>(control) && control->focusPolicy() == Qt::StrongFocus);
                if (!input || control->objectName() == "Edit1" ||
                    control->parent()->inherits("QComboBox") ||
                    control->parent()->inherits("QTabBar"))
                    continue;
                const QString name = control->accessibleName().isEmpty()
                                         ? control->property("text").toString()
                                         : control->accessibleName();
                QVERIFY2(!name.isEmpty(),
                         qPrintable(w->objectName() + "/" + control->objectName()));
            }
    }
};

QTEST_MAIN(EntriesTest)
#include "entries_test.moc"
