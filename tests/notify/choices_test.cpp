// What the user can answer a notification beside "Done" and "Show me later",
// and the line that says why an entry is shown on a day not its own.

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "findchild.h"
#include "notifyfixture.h"
#include "settings.h"
#include "tinformacja.h"

using namespace kv;
using storage::LogKind;
using testing::child;
using Choice = desktop::NotificationAnswer::Choice;

class ChoicesTest : public testing::NotifyFixture {
    Q_OBJECT

    std::unique_ptr<notify::Tinformacja> handed(int n, const char* log, std::string reason = {}) {
        desktop::HandedEntry entry{n, log};
        entry.reason = std::move(reason);
        return testing::shownAndLoaded(
            std::make_unique<notify::Tinformacja>(m_s->services, m_opener, nullptr, entry));
    }
    // Opens the button's menu from the keyboard and answers it with keys.
    QString pickFromMenu(QPushButton* button, const std::function<void(QMenu*)>& keys) {
        QString active;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible()) return;
            poll.stop();
            active = menu->activeAction() ? menu->activeAction()->objectName() : QString();
            keys(menu);
        });
        poll.start();
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        return active;
    }

private slots:
    void init() { initFixture(); }

    void whyAnEntryIsShownHeadsTheWindowAndNamesIt() {
        add(LogKind::Private, testing::entry("call", "2026-05-15"));
        auto w = handed(0, "log", "Missed on 2026-05-15");
        auto* why = child<QLabel>(*w, "powod");
        QVERIFY(why->isVisible());
        QCOMPARE(why->text(), QString("Missed on 2026-05-15"));
        QVERIFY(w->accessibleName().contains("Missed on 2026-05-15"));
        auto today = handed(0, "log");
        QVERIFY(!child<QLabel>(*today, "powod")->isVisible());
        QVERIFY(!today->accessibleName().contains("Missed"));
    }

    void remindMeAgainOpensOnTheUsersChoiceAndKeepsTheEntry() {
        add(LogKind::Private, testing::entry("call", "2026-05-17"));
        storage::Profile user(m_box->files().userConfig);
        storage::UserSettings(user).setReminders({true, 60, 0, true, false});
        auto w = handed(0, "log");
        auto* button = child<QPushButton>(*w, "przypomnij");
        const QString first =
            pickFromMenu(button, [](QMenu* m) { QTest::keyClick(m, Qt::Key_Return); });
        QCOMPARE(first, QString("za1h"));
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->answer().choice, Choice::Snooze);
        QCOMPARE(w->answer().snoozeMinutes, 60);
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Private), 0));
        // Another choice with the arrows: "Tomorrow" is the last.
        auto again = handed(0, "log");
        pickFromMenu(child<QPushButton>(*again, "przypomnij"), [](QMenu* m) {
            QTest::keyClick(m, Qt::Key_Down);
            QTest::keyClick(m, Qt::Key_Return);
        });
        QTRY_VERIFY(!again->isVisible());
        QCOMPARE(again->answer().snoozeMinutes, 1440);
    }

    void theAnswerSaysWhatDoneDid() {
        add(LogKind::Private, testing::entry("once", "2026-05-17"));
        add(LogKind::Static, testing::entry("yearly", "2000-05-17", "rok"));
        auto once = handed(0, "log");
        QTest::mouseClick(child<QPushButton>(*once, "Color95Button1"), Qt::LeftButton);
        QCOMPARE(once->answer().choice, Choice::Done);
        QVERIFY(once->answer().removed);
        auto yearly = handed(0, "log_staly");
        QTest::mouseClick(child<QPushButton>(*yearly, "Color95Button1"), Qt::LeftButton);
        QCOMPARE(yearly->answer().choice, Choice::Done);
        QVERIFY(!yearly->answer().removed);
        QVERIFY(storage::isOccupied(m_box->log(LogKind::Static), 0));
    }

    // The bubble offers what the window's buttons accept, and the window
    // closes only by a button: the window manager's close is ignored as Escape is.
    void onlyAButtonAnswersAndTheBubbleOffersWhatTheWindowAccepts() {
        add(LogKind::Private, testing::entry("once", "2026-05-17"));
        add(LogKind::Static, testing::entry("yearly", "2000-05-17", "rok"));
        auto once = handed(0, "log");
        auto yearly = handed(0, "log_staly");
        QCOMPARE(m_s->bubbles.size(), std::size_t(2));
        QCOMPARE(m_s->bubbles[0].actions, (QStringList{"done", "snooze", "later"}));
        QCOMPARE(m_s->bubbles[1].actions, (QStringList{"done", "snooze"}));
        for (auto* w : {once.get(), yearly.get()}) {
            QVERIFY(!w->close());
            QTest::keyClick(w, Qt::Key_Escape);
            QTest::qWait(20);
            QVERIFY(w->isVisible());
            QCOMPARE(w->answer().choice, desktop::NotificationAnswer{}.choice);
        }
        QTest::mouseClick(child<QPushButton>(*yearly, "Color95Button1"), Qt::LeftButton);
        QTRY_VERIFY(!yearly->isVisible());
        QCOMPARE(yearly->answer().choice, Choice::Done);
    }
};

QTEST_MAIN(ChoicesTest)
#include "choices_test.moc"
