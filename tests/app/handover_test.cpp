// Each window acts on the entry its opener handed it, whatever the exchange
// file says by the time it reads: a re-check, another window or another
// program may have rewritten the active entry there meanwhile.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "exchange.h"
#include "findchild.h"
#include "recordingopener.h"
#include "recordingservices.h"
#include "sandbox.h"
#include "tedytor.h"
#include "tedytowanie.h"
#include "tinformacja.h"
#include "tusuwanie.h"

using namespace kv;
using storage::LogKind;
using testing::child;

class HandOverTest : public QObject {
    Q_OBJECT

    std::optional<testing::RecordingServices> m_s;
    testing::RecordingOpener m_opener;
    std::unique_ptr<testing::Sandbox> m_box;

    void fill(LogKind kind, int count) {
        storage::Profile log = m_box->log(kind);
        for (int i = 0; i < count; ++i)
            QVERIFY(storage::addEntry(log, kind,
                                      testing::entry("e" + std::to_string(i), "2026-05-17", "",
                                                     kind == LogKind::Public ? "wszyscy" : ""))
                        .has_value());
    }
    std::vector<std::string> titles(LogKind kind) {
        std::vector<std::string> out;
        storage::Profile log = m_box->log(kind);
        for (int n = 0; n < storage::kSlots && storage::isOccupied(log, n); ++n)
            out.push_back(storage::readStoredEntry(log, n).tytul);
        return out;
    }
    // Something else records another active entry, now.
    void rewriteActive(int n) {
        storage::Exchange(m_box->exchangeFile()).recordActiveEntry(n, "log");
    }

private slots:
    void init() {
        m_s.emplace();
        m_opener = testing::RecordingOpener();
        m_box = std::make_unique<testing::Sandbox>();
        fill(LogKind::Private, 5);
    }

    void theDeleteWindowRemovesTheEntryItWasHanded() {
        rewriteActive(0);
        entries::Tusuwanie w(m_s->services, nullptr, storage::ActiveEntry{3, "log"});
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
        rewriteActive(1);
        QTest::mouseClick(child<QPushButton>(w, "usunbtn"), Qt::LeftButton);
        QVERIFY(w.deleted());
        QCOMPARE(titles(LogKind::Private), (std::vector<std::string>{"e0", "e1", "e2", "e4"}));
    }

    void theEditWindowSavesIntoTheEntryItWasHanded() {
        rewriteActive(0);
        entries::Tedytowanie w(m_s->services, nullptr, storage::ActiveEntry{2, "log"});
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
        QCOMPARE(child<QPlainTextEdit>(w, "tytul")->toPlainText(), QString("e2"));
        rewriteActive(4);
        child<QPlainTextEdit>(w, "tytul")->setPlainText("changed");
        QTest::mouseClick(child<QPushButton>(w, "zapiszbtn"), Qt::LeftButton);
        QVERIFY(w.saved());
        QCOMPARE(titles(LogKind::Private),
                 (std::vector<std::string>{"e0", "e1", "changed", "e3", "e4"}));
    }

    void doneRemovesTheAnnouncedEntryNotTheOneTheFileNamesLater() {
        rewriteActive(4);  // a loop of another program's writes, as the window opens
        notify::Tinformacja w(m_s->services, m_opener, nullptr, desktop::HandedEntry{2, "log"});
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
        QCOMPARE(child<QPlainTextEdit>(w, "info")->toPlainText(), QString("Text of e2"));
        rewriteActive(4);
        QTest::mouseClick(child<QPushButton>(w, "Color95Button1"), Qt::LeftButton);
        QVERIFY(w.removedEntry());
        QCOMPARE(titles(LogKind::Private), (std::vector<std::string>{"e0", "e1", "e3", "e4"}));
        // "Show me later" hands the same entry on, not the file's.
        fill(LogKind::Public, 3);
        notify::Tinformacja later(m_s->services, m_opener, nullptr,
                                  desktop::HandedEntry{1, "log_glowny"});
        later.show();
        QVERIFY(QTest::qWaitFor([&] { return later.opened(); }));
        rewriteActive(4);
        QTest::mouseClick(child<QPushButton>(later, "Color95Button2"), Qt::LeftButton);
        QCOMPARE(m_opener.opened, QStringList{"edit"});
        QCOMPARE(m_opener.handed.back().number, 1);
        QCOMPARE(m_opener.handed.back().log, std::string("log_glowny"));
    }

    void theNotificationShowsTheEntryAnnouncedEvenWhenItsSlotChangedSince() {
        storage::Profile log = m_box->log(LogKind::Private);
        const storage::StoredEntry announced = storage::readStoredEntry(log, 2);
        // Another program removes e2 between the announcement and the window's loading.
        QVERIFY(
            storage::removeEntry(log, LogKind::Private, 2, storage::RemovalOrder::DeleteWindow));
        notify::Tinformacja w(m_s->services, m_opener, nullptr,
                              desktop::HandedEntry{2, "log", announced});
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
        QCOMPARE(child<QPlainTextEdit>(w, "info")->toPlainText(), QString("Text of e2"));
        // e3 moved into slot 2; "Done" on e2 must not take it away.
        QTest::mouseClick(child<QPushButton>(w, "Color95Button1"), Qt::LeftButton);
        QVERIFY(!w.removedEntry());
        QCOMPARE(titles(LogKind::Private), (std::vector<std::string>{"e0", "e1", "e3", "e4"}));
        QCOMPARE(m_s->messages.size(), size_t(1));
        QVERIFY(m_s->messages[0].text.contains("changed or removed"));
    }

    void theEditorHandsOverTheLineClickedWhateverIsRecordedAfterwards() {
        editor::Tedytor w(m_s->services, m_opener);
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return w.opened(); }));
        QMetaObject::invokeMethod(w.rebuildTimer(), "timeout");
        auto* tree = child<QTreeWidget>(w, "lista");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(tree->topLevelItem(3)).center());
        rewriteActive(0);  // the resident window's re-check announced another entry
        QTest::keyClick(&w, Qt::Key_Delete);
        QCOMPARE(m_opener.opened, QStringList{"delete"});
        QCOMPARE(m_opener.handed.back().number, 3);
        QCOMPARE(m_opener.handed.back().log, std::string("log"));
    }
};

QTEST_MAIN(HandOverTest)
#include "handover_test.moc"
