// One reminder's life through the real windows: added in the new-entry window,
// changed in the edit window, announced by the start-up check in a notification
// (put off with "Show me later" into the edit window), then deleted; the log is
// checked key by key at each step.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "datepicker.h"
#include "exchange.h"
#include "findchild.h"
#include "inidocument.h"
#include "modaldriver.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tdodawanie.h"
#include "tedytowanie.h"
#include "tinformacja.h"
#include "treminder.h"
#include "tusuwanie.h"
#include "windowfixture.h"
#include "windowopener.h"

using namespace kv;
using storage::LogKind;
using testing::child;

namespace {

template <typename W>
std::unique_ptr<W> open(desktop::Services& services) {
    return testing::shownAndLoaded(std::make_unique<W>(services));
}

QString privateLog(const testing::Sandbox& box) {
    return QString::fromStdString(box.readFile("logs/private/" + storage::userName() + ".log"));
}

// Types a new entry into the new-entry window as a user would, and saves it.
void addThroughTheWindow(testing::RecordingServices& s, const char* title, const char* date) {
    auto add = open<entries::Tdodawanie>(s.services);
    QTest::keyClicks(child<QWidget>(*add, "tytul"), title);
    QTest::keyClicks(child<QWidget>(*add, "informacja"), "Pack the bags.");
    auto* picker = child<desktop::DatePicker>(*add, "kalendarz");
    picker->edit()->home(false);
    QTest::keyClicks(picker->edit(), date);
    child<QLineEdit>(*add, "email")->setText("guide@example.org");
    QTest::mouseClick(child<QPushButton>(*add, "zapiszbtn"), Qt::LeftButton);
    QVERIFY(add->saved());
}

// Changes the subject and the actions in the edit window, and saves.
void editThroughTheWindow(testing::RecordingServices& s) {
    auto edit = open<entries::Tedytowanie>(s.services);
    child<QPlainTextEdit>(*edit, "tytul")->setPlainText("Trip to the sea");
    child<QCheckBox>(*edit, "chemail")->setChecked(false);
    child<QLineEdit>(*edit, "program_nazwa")->setText("/usr/bin/true");
    child<QCheckBox>(*edit, "chprogram")->setChecked(true);
    QTest::mouseClick(child<QPushButton>(*edit, "zapiszbtn"), Qt::LeftButton);
    QVERIFY(edit->saved());
}

}  // namespace

class RoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void anEntryFromAddingToDeleting() {
        testing::Sandbox box;
        testing::RecordingServices s;
        s.clock = QDateTime(QDate(2026, 5, 17), QTime(8, 0));

        for (auto [title, date] : {std::pair{"Trip", "20260517"}, {"Other", "20260601"}})
            addThroughTheWindow(s, title, date);
        QCOMPARE(
            privateLog(box).section("[1]", 0, 0),
            QString(
                "[0]\r\nTytul=Trip\r\nNumer=0\r\nInformacja=Pack the bags.\r\nData=2026-05-17\r\n"
                "Typ=Default\r\nDzwiek=-choose-\r\nemail=guide@example.org\r\n"));

        storage::Exchange(box.exchangeFile()).recordActiveEntry(0, "log");
        editThroughTheWindow(s);
        QCOMPARE(
            privateLog(box).section("[1]", 0, 0),
            QString("[0]\r\nTytul=Trip to the sea\r\nNumer=0\r\nInformacja=Pack the bags.\r\n"
                    "Data=2026-05-17\r\nTyp=Default\r\nDzwiek=-choose-\r\nstrona=\r\n"
                    "program=/usr/bin/true\r\n"));  // an empty page is ticked, and offers nothing

        // The start-up check announces it; the user puts it off into the edit window.
        app::WindowOpener opener(s.services);
        app::Treminder resident(s.services, opener);
        testing::ModalDriver driver;
        QString shown;
        bool runEnabled = false;
        driver.whenShown("Tinformacja", [&](QWidget* window) {
            auto* n = static_cast<notify::Tinformacja*>(window);
            QVERIFY(QTest::qWaitFor([n] { return n->opened(); }));
            shown = child<QPlainTextEdit>(*n, "info")->toPlainText();
            runEnabled = child<QPushButton>(*n, "programbtn")->isEnabled();
            driver.whenShown("Tedytowanie", [](QWidget* later) {
                QVERIFY(QTest::qWaitFor(
                    [later] { return static_cast<entries::Tedytowanie*>(later)->opened(); }));
                QTest::keyClick(later, Qt::Key_Escape);
            });
            QTest::mouseClick(child<QPushButton>(*n, "Color95Button2"), Qt::LeftButton);
        });
        resident.runStartupSequence();
        QCOMPARE(shown, QString("Pack the bags."));
        QVERIFY(runEnabled);
        QVERIFY(s.sounds.contains("-choose-"));
        QVERIFY(storage::isOccupied(box.log(LogKind::Private), 0));
        QCOMPARE(storage::Exchange(box.exchangeFile()).activeEntry().number, 0);

        auto remove = open<entries::Tusuwanie>(s.services);
        QTest::mouseClick(child<QPushButton>(*remove, "usunbtn"), Qt::LeftButton);
        QVERIFY(remove->deleted());
        QCOMPARE(
            privateLog(box),
            QString("[0]\r\nNumer=0\r\nTytul=Other\r\nTyp=Default\r\nInformacja=Pack the bags.\r\n"
                    "data=2026-06-01\r\ndzwiek=-choose-\r\nemail=guide@example.org\r\nstrona=\r\n"
                    "program=\r\nplik=\r\n"));
        QVERIFY(s.messages.empty());
    }

    // Opening an entry and saving it unchanged changes no byte of it, however
    // long, Polish or quoted its texts; the editor previews the whole text.
    void editAndSaveKeepEveryByte() {
        testing::Sandbox box;
        testing::RecordingServices s;
        s.clock = QDateTime(QDate(2026, 5, 17), QTime(8, 0));
        QString polish;
        for (int i = 0; i < 600; ++i) polish += QChar(i % 2 ? 0x0105 : 0x0142);  // ą ł
        const std::vector<std::pair<std::string, std::string>> texts = {
            {"Long", std::string(2000, 'x')},
            {"Polish", polish.toStdString()},
            {"\"Hi\" said \"Bob\"", "  two blanks before, one after "},
            {" 'single' ", "\"quoted\""},
            {"Lines", "first\n  second\n"},
        };
        for (const auto& [title, text] : texts) {
            storage::EntryData e = testing::entry(title, "2026-06-01", "rok", "wszyscy");
            e.informacja = text;
            e.email = " ann@example.org";
            e.strona = "https://example.org/ ";  // a page left empty is stored ticked
            storage::Profile log = box.log(LogKind::Public);
            QVERIFY(storage::addEntry(log, LogKind::Public, e).has_value());
        }
        const std::string before = box.readFile("logs/public/log4.ini");
        for (int n = 0; n < static_cast<int>(texts.size()); ++n) {
            storage::Exchange(box.exchangeFile()).recordActiveEntry(n, "log_glowny");
            auto edit = open<entries::Tedytowanie>(s.services);
            QCOMPARE(child<QPlainTextEdit>(*edit, "informacja")->toPlainText().toStdString(),
                     texts[static_cast<std::size_t>(n)].second);
            QCOMPARE(child<QPlainTextEdit>(*edit, "tytul")->toPlainText().toStdString(),
                     texts[static_cast<std::size_t>(n)].first);
            QTest::mouseClick(child<QPushButton>(*edit, "zapiszbtn"), Qt::LeftButton);
            QVERIFY(edit->saved());
        }
        QCOMPARE(box.readFile("logs/public/log4.ini"), before);
        QVERIFY(s.messages.empty());
        // Another program reading with the Win32 functions' rules gets the same texts.
        const storage::IniDocument doc = storage::IniDocument::parse(before);
        QCOMPARE(doc.read("2", "Tytul", ""), std::string("\"Hi\" said \"Bob\""));
        QCOMPARE(doc.read("2", "Informacja", ""), std::string("  two blanks before, one after "));
        QCOMPARE(doc.read("3", "Tytul", ""), std::string(" 'single' "));
    }
};

QTEST_MAIN(RoundTripTest)
#include "roundtrip_test.moc"
