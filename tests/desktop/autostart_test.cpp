// The start with the session: the XDG entries the desktop reads, and how a
// start-up weighs config.ini's choice against the desktop's own switch.

#include "autostart.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingservices.h"
#include "sandbox.h"
#include "settings.h"

using namespace kv;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A user's and a machine's configuration folders of their own for one test.
struct Folders {
    QTemporaryDir home, machine;
    QByteArray oldHome = qgetenv("XDG_CONFIG_HOME"), oldDirs = qgetenv("XDG_CONFIG_DIRS");
    Folders() {
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_DIRS", machine.path().toUtf8());
    }
    ~Folders() {
        qputenv("XDG_CONFIG_HOME", oldHome);
        qputenv("XDG_CONFIG_DIRS", oldDirs);
    }
    QString own() const { return home.path() + "/autostart/kalvex4.desktop"; }
    QString shipped() const { return machine.path() + "/autostart/kalvex4.desktop"; }
};

constexpr const char* kShipped =
    "[Desktop Entry]\nType=Application\nName=Kalvex4\nTryExec=kalvex4\nExec=kalvex4\n"
    "X-GNOME-Autostart-Delay=5\nX-GNOME-Autostart-enabled=true\n";

}  // namespace

class AutostartTest : public QObject {
    Q_OBJECT
private slots:
    void withoutAShippedEntryTheUsersOwnStartsThisProgram() {
        Folders f;
        desktop::XdgAutostart session;
        QVERIFY(!session.isEnabled());
        QVERIFY(session.setEnabled(true));
        const QString text = readAll(f.own());
        const QString program = QCoreApplication::applicationFilePath();
        QVERIFY(text.startsWith("[Desktop Entry]\nType=Application\n"));
        QVERIFY(text.contains("\nTryExec=" + program + "\n"));
        QVERIFY(text.contains("\nExec=\"" + program + "\"\n"));
        QVERIFY(session.isEnabled());
        QVERIFY(session.setEnabled(false));
        QVERIFY(readAll(f.own()).contains("\nHidden=true\n"));
        QVERIFY(readAll(f.own()).contains("\nExec=\"" + program + "\"\n"));
        QVERIFY(!session.isEnabled());

        // A folder where the entry should be: refused, and said so.
        QVERIFY(QFile::remove(f.own()));
        QVERIFY(QDir().mkpath(f.own()));
        QVERIFY(!session.setEnabled(true));
        QVERIFY(!session.setEnabled(false));
    }

    void aChangeKeepsTheDesktopsKeysAndNoChangeWritesNothing() {
        Folders f;
        writeAll(f.shipped(), kShipped);
        desktop::XdgAutostart session;
        QVERIFY(session.isEnabled());
        QVERIFY(session.setEnabled(true));
        QVERIFY(!QFileInfo::exists(f.own()));  // already so: the machine's entry stands alone

        // Off copies the machine's entry, as desktops do, and hides it for this user only.
        QVERIFY(session.setEnabled(false));
        QCOMPARE(readAll(f.shipped()), QString(kShipped));
        const QString hidden = readAll(f.own());
        QVERIFY(hidden.contains("\nX-GNOME-Autostart-Delay=5\n"));
        QVERIFY(hidden.contains("\nHidden=true\n"));
        QVERIFY(hidden.contains("\nX-GNOME-Autostart-enabled=false\n"));
        QCOMPARE(hidden.count("TryExec="), 1);

        // The desktop's own switch turned it off, in a group of actions too: on keeps them.
        writeAll(f.own(),
                 "[Desktop Entry]\nName=Kalvex4\nExec=kalvex4\nX-GNOME-Autostart-enabled=false\n"
                 "X-Custom=kept\n\n[Desktop Action editor]\nName=Editor\nExec=kalvex4\n");
        QVERIFY(!session.isEnabled());
        QVERIFY(session.setEnabled(false));
        QVERIFY(readAll(f.own()).contains("X-Custom=kept\n\n[Desktop"));  // nothing written
        QVERIFY(session.setEnabled(true));
        const QString on = readAll(f.own());
        QVERIFY(session.isEnabled());
        QVERIFY(on.contains("\nX-GNOME-Autostart-enabled=true\n"));
        QVERIFY(on.contains("\nX-Custom=kept\n"));
        QVERIFY(on.contains("\nTryExec="));
        QVERIFY(on.indexOf("TryExec=") < on.indexOf("[Desktop Action editor]"));
        QVERIFY(on.endsWith("[Desktop Action editor]\nName=Editor\nExec=kalvex4\n"));
        QVERIFY(!on.contains("Hidden"));
    }

    void theExecLineIsQuotedAsTheSpecificationOfEntriesAsks() {
        // Quoted for the shell rules, then escaped as a string; % is no field code.
        const QString entry = desktop::autostartEntry("/opt/a \"b\"/$x%u");
        QVERIFY(entry.contains("\nExec=\"/opt/a \\\\\"b\\\\\"/\\\\$x%%u\"\n"));
        QVERIFY(entry.contains("\nTryExec=/opt/a \"b\"/$x%u\n"));
    }

    void aRunOnAnInstallationOfItsOwnLeavesTheSessionAlone() {
        Folders f;
        writeAll(f.shipped(), kShipped);
        qputenv("KALVEX4_STORE", QByteArray(f.home.path().toUtf8() + "/Kalvex4.conf"));
        desktop::Autostart& session = desktop::systemServices().autostart;
        qunsetenv("KALVEX4_STORE");
        QVERIFY(session.isEnabled());  // what the desktop shows, read
        QVERIFY(session.setEnabled(false));
        QVERIFY(!session.isEnabled());
        QVERIFY(!QFileInfo::exists(f.own()));  // and never written
        QVERIFY(desktop::XdgAutostart().isEnabled());
    }
};

QTEST_MAIN(AutostartTest)
#include "autostart_test.moc"
