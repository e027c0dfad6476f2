// The desktop notification of a due entry, against doubles of the service on a
// private session bus: none at all, one that never answers, and python3-dbusmock's
// notification daemon with actions and markup.

#include "dbusnotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "findchild.h"
#include "notifyfixture.h"
#include "tinformacja.h"

using namespace kv;
using storage::LogKind;

namespace {

const char* kPython = "/usr/bin/python3";

// Runs a python snippet against the test's bus; its standard output.
QString python(const QString& code, const QStringList& args = {}) {
    QProcess p;
    p.start(kPython, QStringList{"-c",
                                 "import dbus, sys\nbus = dbus.SessionBus()\n"
                                 "mock = bus.get_object('org.freedesktop.Notifications',"
                                 " '/org/freedesktop/Notifications')\n" +
                                     code} +
                         args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The calls the mock recorded: "Method repr(args)" a line each.
QString calls() {
    return python(
        "def plain(x):\n"
        "    if isinstance(x, dbus.Array) and x.signature == 'y': return '<%d bytes>' % len(x)\n"
        "    if isinstance(x, (list, tuple)): return [plain(i) for i in x]\n"
        "    if isinstance(x, dict): return {str(k): plain(v) for k, v in x.items()}\n"
        "    if isinstance(x, dbus.Boolean): return bool(x)\n"
        "    if isinstance(x, (int, float)): return int(x)\n"
        "    return str(x)\n"
        "for t, m, a in mock.GetCalls(dbus_interface='org.freedesktop.DBus.Mock'):\n"
        "    print(m, plain(list(a)))");
}

bool serviceUp() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        "org.freedesktop.Notifications");
}

}  // namespace

class DBusNotifierTest : public testing::NotifyFixture {
    Q_OBJECT

    QProcess m_bus, m_server;
    desktop::DBusNotifier* m_notifier = nullptr;

    // A notification window whose desktop notification goes over D-Bus.
    std::unique_ptr<notify::Tinformacja> window(desktop::Services& services) {
        activate(0, "log");
        return testing::shownAndLoaded(std::make_unique<notify::Tinformacja>(services, m_opener));
    }
    void startServer(const QStringList& args) {
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(kPython, args);
        QVERIFY(QTest::qWaitFor(serviceUp, 10000));
    }
    void stopServer() {
        m_server.kill();
        m_server.waitForFinished();
        QVERIFY(QTest::qWaitFor([] { return !serviceUp(); }, 5000));
    }

private slots:
    void initTestCase() {
        m_bus.start("dbus-daemon",
                    {"--config-file=" KV_PRIVATE_BUS, "--nofork", "--print-address=1"});
        QVERIFY(m_bus.waitForReadyRead(10000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }
    void cleanupTestCase() {
        m_server.kill();
        m_server.waitForFinished();
        m_bus.kill();
        m_bus.waitForFinished();
    }
    void init() {
        initFixture();
        add(LogKind::Private, testing::entry("Call <Bob> & co", "2026-05-17"));
    }

    void withoutAServiceTheWindowIsAllThereIs() {
        desktop::DBusNotifier notifier;
        desktop::Services s = m_s->services;
        desktop::Services services{s.messages, s.sound,   s.shell, s.autostart,
                                   s.clock,    s.dialogs, notifier};
        auto w = window(services);
        QTest::mouseClick(testing::child<QPushButton>(*w, "Color95Button1"), Qt::LeftButton);
        QVERIFY(w->removedEntry());
    }

    void aServiceThatNeverAnswersDelaysNothing() {
        startServer({"-c", R"(
import dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
class Silent(dbus.service.Object):
    @dbus.service.method('org.freedesktop.Notifications', in_signature='', out_signature='as',
                         async_callbacks=('ok', 'err'))
    def GetCapabilities(self, ok, err):
        pass
bus = dbus.SessionBus()
name = dbus.service.BusName('org.freedesktop.Notifications', bus)
Silent(bus, '/org/freedesktop/Notifications')
GLib.MainLoop().run()
)"});
        desktop::DBusNotifier notifier;
        desktop::Services s = m_s->services;
        desktop::Services services{s.messages, s.sound,   s.shell, s.autostart,
                                   s.clock,    s.dialogs, notifier};
        auto w = window(services);  // loaded while the question is still open
        QCOMPARE(testing::child<QPlainTextEdit>(*w, "info")->toPlainText(),
                 QString("Text of Call <Bob> & co"));
        QTest::mouseClick(testing::child<QPushButton>(*w, "Color95Button1"), Qt::LeftButton);
        QVERIFY(w->removedEntry());
        stopServer();
    }

    void theBubbleCarriesTheEntryAndItsActionsActLikeTheButtons() {
        startServer({"-m", "dbusmock", "--template", "notification_daemon", "-p",
                     R"({"capabilities": "actions body body-markup persistence"})"});
        // The real protocol's CloseNotification takes an unsigned id; the double's takes a signed
        // one.
        python(
            "mock.AddMethod('org.freedesktop.Notifications', 'CloseNotification', 'u', '', '',"
            " dbus_interface='org.freedesktop.DBus.Mock')");
        desktop::DBusNotifier notifier;
        desktop::Services s = m_s->services;
        desktop::Services services{s.messages, s.sound,   s.shell, s.autostart,
                                   s.clock,    s.dialogs, notifier};
        auto w = window(services);
        QVERIFY(QTest::qWaitFor([] { return calls().contains("Notify"); }, 5000));
        const QString notify = calls();
        QVERIFY2(notify.contains("'Kalvex4'"), qPrintable(notify));
        // Servers that read markup (dunst reads it in the summary too) get both escaped.
        QVERIFY2(notify.contains("'Call &lt;Bob&gt; &amp; co'"), qPrintable(notify));
        QVERIFY2(notify.contains("Text of Call &lt;Bob&gt; &amp; co"), qPrintable(notify));
        QVERIFY2(notify.contains("'done', 'Done', 'snooze', 'Remind me again', 'later', 'Show me "
                                 "later'"),
                 qPrintable(notify));
        QVERIFY2(notify.contains("'desktop-entry': 'kalvex4'"), qPrintable(notify));
        QVERIFY2(notify.contains("'urgency': 1"), qPrintable(notify));
        QVERIFY2(notify.contains("'suppress-sound': True"), qPrintable(notify));
        QVERIFY2(notify.contains("'image-data': [32, 32, 128, True, 8, 4, '<4096 bytes>']"),
                 qPrintable(notify));
        // "Done" in the bubble: the once-only entry leaves its log and the window closes.
        python(
            "mock.EmitSignal('org.freedesktop.Notifications', 'ActionInvoked', 'us',"
            " [dbus.UInt32(1), 'done'], dbus_interface='org.freedesktop.DBus.Mock')");
        QVERIFY(QTest::qWaitFor([&] { return w->removedEntry(); }, 5000));
        QVERIFY(!storage::isOccupied(m_box->log(LogKind::Private), 0));
        QTRY_VERIFY(!w->isVisible());
        w.reset();  // the window's end closes its bubble
        QVERIFY(QTest::qWaitFor([] { return calls().contains("CloseNotification [1]"); }, 5000));

        // Entries of the other logs; the window's own "Done" closes the bubble.
        add(LogKind::Static, testing::entry("birthday", "1990-05-17", "rok"));
        add(LogKind::Public, testing::entry("meeting", "2026-05-17", "raz", "wszyscy"));
        for (const auto& [log, id] : {std::pair{"log_staly", 2}, std::pair{"log_glowny", 3}}) {
            activate(0, log);
            auto d =
                testing::shownAndLoaded(std::make_unique<notify::Tinformacja>(services, m_opener));
            const QString sent = QString("Notify ['Kalvex4', 0, '', '%1'")
                                     .arg(log == std::string("log_staly") ? "birthday" : "meeting");
            QVERIFY(QTest::qWaitFor([&] { return calls().contains(sent); }, 5000));
            QTest::mouseClick(testing::child<QPushButton>(*d, "Color95Button1"), Qt::LeftButton);
            d.reset();
            const QString closed = QString("CloseNotification [%1]").arg(id);
            QVERIFY(QTest::qWaitFor([&] { return calls().contains(closed); }, 5000));
        }
    }

    void noBubbleWhenTheUserSwitchedThemOff() {
        storage::Profile user(m_box->files().userConfig);
        storage::UserSettings(user).setReminders({true, 10, 0, false, false});
        activate(0, "log");
        auto w =
            testing::shownAndLoaded(std::make_unique<notify::Tinformacja>(m_s->services, m_opener));
        QVERIFY(m_s->bubbles.empty());
        storage::UserSettings(user).setReminders({true, 10, 0, true, true});
        auto on =
            testing::shownAndLoaded(std::make_unique<notify::Tinformacja>(m_s->services, m_opener));
        QCOMPARE(m_s->bubbles.size(), std::size_t(1));
        QVERIFY(m_s->bubbles[0].critical);
        // "Remind me again" from the bubble puts it off by the usual choice.
        m_s->chooseInBubble(1, "snooze");
        QTRY_VERIFY(!on->isVisible());
        QCOMPARE(on->answer().choice, desktop::NotificationAnswer::Choice::Snooze);
        QCOMPARE(on->answer().snoozeMinutes, 10);
        on.reset();
        QCOMPARE(m_s->closedBubbles, QList<int>{1});
    }
};

QTEST_MAIN(DBusNotifierTest)
#include "dbusnotifier_test.moc"
