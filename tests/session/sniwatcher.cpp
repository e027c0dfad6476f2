// A minimal StatusNotifierWatcher and host for a private session bus: it takes
// the registration of an item and prints what a panel would show of it.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVariant>
#include <QTimer>
#include <cstdio>

struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
Q_DECLARE_METATYPE(IconPixmap)

QDBusArgument& operator<<(QDBusArgument& a, const IconPixmap& p) {
    a.beginStructure();
    a << p.width << p.height << p.bytes;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, IconPixmap& p) {
    a.beginStructure();
    a >> p.width >> p.height >> p.bytes;
    a.endStructure();
    return a;
}

namespace {

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

}  // namespace

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        // Items name a bus name (then the path is the usual one) or a path on the sender.
        const bool isPath = service.startsWith('/');
        const QString bus = isPath ? message.service() : service;
        const QString path = isPath ? service : QStringLiteral("/StatusNotifierItem");
        m_items << bus + path;
        emit StatusNotifierItemRegistered(bus + path);
        QTimer::singleShot(500, this, [this, bus, path] { show(bus, path); });
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    void show(const QString& bus, const QString& path) {
        QDBusInterface properties(bus, path, "org.freedesktop.DBus.Properties");
        const QDBusReply<QVariantMap> all =
            properties.call("GetAll", QStringLiteral("org.kde.StatusNotifierItem"));
        if (!all.isValid()) {
            say("FAIL: the item's properties could not be read: " + all.error().message());
            QCoreApplication::exit(1);
            return;
        }
        const QVariantMap p = all.value();
        QList<IconPixmap> pixmaps;
        if (p.contains("IconPixmap")) p.value("IconPixmap").value<QDBusArgument>() >> pixmaps;
        QStringList sizes;
        for (const IconPixmap& pm : pixmaps)
            if (pm.bytes.size() == pm.width * pm.height * 4)
                sizes << QString("%1x%2").arg(pm.width).arg(pm.height);
        say(QString("registered %1 %2 title=\"%3\" status=%4 icon-name=\"%5\" pixmaps=%6")
                .arg(bus, path, p.value("Title").toString(), p.value("Status").toString(),
                     p.value("IconName").toString(), sizes.join(',')));
    }

    QStringList m_items;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<IconPixmap>();
    qDBusRegisterMetaType<QList<IconPixmap>>();
    Watcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.registerObject("/StatusNotifierWatcher", &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService("org.kde.StatusNotifierWatcher") ||
        !bus.registerService(QString("org.kde.StatusNotifierHost-%1").arg(app.applicationPid()))) {
        say("FAIL: no private session bus to serve: " + bus.lastError().message());
        return 1;
    }
    say("watching");
    return QCoreApplication::exec();
}

#include "sniwatcher.moc"
