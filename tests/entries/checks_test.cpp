// What the entry windows refuse before anything reaches a log: dates that are
// no day of the calendar, past once-only dates unless meant, receiver names of
// blanks; where the typing starts, and what a screen reader reads of the
// entry about to be deleted.

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "entryfixture.h"
#include "tdodawanie.h"
#include "tedytowanie.h"
#include "tusuwanie.h"

using namespace kv;
using storage::LogKind;
using testing::child;

class EntryChecksTest : public testing::EntryFixture {
    Q_OBJECT

    void save(QWidget& w) { QTest::mouseClick(child<QPushButton>(w, "zapiszbtn"), Qt::LeftButton); }
    bool anyEntry() {
        for (LogKind k : {LogKind::Private, LogKind::Static, LogKind::Public})
            if (storage::isOccupied(m_box->log(k), 0)) return true;
        return false;
    }

private slots:
    void init() {
        initFixture();
        m_s->clock = QDateTime(QDate(2026, 5, 17), QTime(9, 0));
    }

    void aDateThatIsNoDayIsRefusedAfterTheOtherChecks() {
        for (const QString& digits : {QString("20261"), QString("20261345"), QString("20270229")}) {
            m_s->messages.clear();
            auto w = open<entries::Tdodawanie>();
            type(*w, "tytul", "kept");
            date(*w, digits);
            child<QRadioButton>(*w, "rwybrany")->setChecked(true);
            save(*w);
            const QStringList texts = m_s->messageTexts();
            QCOMPARE(texts.size(), 2);
            QCOMPARE(texts[0], QString("A field with a profile name of the receiver is empty."));
            QVERIFY2(texts[1].contains("is not a day of the calendar"), qPrintable(texts[1]));
            QVERIFY(texts[1].contains(child<desktop::DatePicker>(*w, "kalendarz")->text()));
            QVERIFY(w->isVisible());
            QCOMPARE(child<QPlainTextEdit>(*w, "tytul")->toPlainText(), QString("kept"));
            QVERIFY(!anyEntry());
        }
    }

    void theEditWindowRefusesSuchADateToo() {
        storage::EntryData e = testing::entry("t", "2026-06-01");
        add(LogKind::Private, e);
        activate(0, "log");
        auto w = open<entries::Tedytowanie>();
        const std::string before = m_box->readFile("logs/private/" + storage::userName() + ".log");
        date(*w, "20260631");
        save(*w);
        QCOMPARE(m_s->messageTexts().size(), 1);
        QVERIFY(m_s->messageTexts()[0].contains("\"2026-06-31\" is not a day of the calendar"));
        QCOMPARE(m_box->readFile("logs/private/" + storage::userName() + ".log"), before);
    }

    void aPastOnceOnlyDateIsSavedOnlyWhenMeant() {
        auto w = open<entries::Tdodawanie>();
        date(*w, "20260516");  // yesterday
        save(*w);
        QCOMPARE(m_s->asked.size(), std::size_t(1));
        QVERIFY(m_s->asked[0].text.contains("2026-05-16 has already passed"));
        QVERIFY(w->isVisible());
        QVERIFY(!anyEntry());
        m_s->answers.push_back(desktop::Answer::Yes);
        save(*w);
        QVERIFY(w->saved());
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Private), 0));

        // Today, and a yearly entry of a past year, need no question.
        m_s->asked.clear();
        for (bool yearly : {false, true}) {
            auto again = open<entries::Tdodawanie>();
            date(*again, yearly ? "19900517" : "20260517");
            if (yearly) child<QRadioButton>(*again, "wyswietl_rok")->setChecked(true);
            save(*again);
            QVERIFY(again->saved());
        }
        QVERIFY(m_s->asked.empty());
    }

    void aReceiverNameOfBlanksIsNoName() {
        auto w = open<entries::Tdodawanie>();
        date(*w, "20260601");
        child<QRadioButton>(*w, "rwybrany")->setChecked(true);
        type(*w, "odbiorca_nazwa", "   ");
        save(*w);
        QCOMPARE(m_s->messageTexts(),
                 QStringList{"A field with a profile name of the receiver is empty."});
        QVERIFY(!anyEntry());

        add(LogKind::Public, testing::entry("t", "2026-06-01", "raz", "JAN"));
        activate(0, "log_glowny");
        m_s->messages.clear();
        auto edit = open<entries::Tedytowanie>();
        type(*edit, "odbiorca_nazwa", "\t ");
        save(*edit);
        QCOMPARE(m_s->messageTexts(), QStringList{"No receiver Windows profile name selected."});
        QCOMPARE(m_box->log(LogKind::Public).readString("0", "Odbiorca", ""), std::string("JAN"));
    }

    void typingStartsInTheSubject() {
        for (int kind = 0; kind < 2; ++kind) {
            if (kind == 1) {
                add(LogKind::Private, testing::entry("t", "2026-06-01"));
                activate(0, "log");
            }
            std::unique_ptr<QDialog> w;
            if (kind == 0)
                w = open<entries::Tdodawanie>();
            else
                w = open<entries::Tedytowanie>();
            QApplication::setActiveWindow(w.get());
            QTRY_COMPARE(QApplication::focusWidget(), child<QWidget>(*w, "tytul"));
        }
        auto w = open<entries::Tdodawanie>();
        QApplication::setActiveWindow(w.get());
        QTRY_VERIFY(child<QWidget>(*w, "tytul")->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), "Pay rent");
        QCOMPARE(child<QPlainTextEdit>(*w, "tytul")->toPlainText(), QString("Pay rent"));
    }

    void theEntryAboutToBeDeletedIsReadAsItsValues() {
        add(LogKind::Static, testing::entry("t", "1990-04-02", "rok"));
        activate(0, "log_staly");
        auto w = open<entries::Tusuwanie>();
        for (auto [value, caption, text] :
             {std::tuple{"numer", "Label1", QString("0")},
              {"dziennik", "Label2",
               QString::fromUtf8("Prywatny, stały dziennik użytkownika (log_stały).")},
              {"data", "Label4", QString("1990-04-02")}}) {
            auto* label = child<QLabel>(*w, value);
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
            QCOMPARE(read->text(QAccessible::Name), text);
            const auto labelled = read->relations(QAccessible::Label);
            QVERIFY2(!labelled.isEmpty(), value);
            QCOMPARE(labelled.first().first->object(), child<QLabel>(*w, caption));
            QCOMPARE(label->focusPolicy(), Qt::StrongFocus);  // Tab reaches it
            QVERIFY(!(label->textInteractionFlags() & Qt::TextSelectableByKeyboard));
        }
    }
};

QTEST_MAIN(EntryChecksTest)
#include "checks_test.moc"
