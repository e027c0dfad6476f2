#include "dbusnotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QImage>
#include <QPainter>

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

// The "image-data" hint: width, height, row stride, alpha, bits, channels, bytes.
struct ImageData {
    QImage image;
};

QDBusArgument& operator<<(QDBusArgument& arg, const ImageData& data) {
    const QImage& i = data.image;
    arg.beginStructure();
    arg << i.width() << i.height() << int(i.bytesPerLine()) << true << 8 << 4
        << QByteArray(reinterpret_cast<const char*>(i.constBits()), int(i.sizeInBytes()));
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, ImageData&) {
    return arg;  // never read back
}

}  // namespace

Q_DECLARE_METATYPE(ImageData)

namespace kv::desktop {

namespace {

QDBusMessage call(const char* method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

ImageData icon(const QColor& colour) {
    QImage image(32, 32, QImage::Format_RGBA8888);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour.isValid() ? colour : QColor(0x8f, 0x4f, 0x3f));
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    return {image};
}

QString label(const QString& key) {
    if (key == "done") return "Done";
    if (key == "snooze") return "Remind me again";
    return "Show me later";
}

}  // namespace

DBusNotifier::DBusNotifier(QObject* parent) : QObject(parent) {
    qDBusRegisterMetaType<ImageData>();
}

void DBusNotifier::listen() {
    if (m_listening) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_listening = bus.connect(kService, kPath, kService, "ActionInvoked", this,
                              SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, "NotificationClosed", this,
                SLOT(onNotificationClosed(uint, uint)));
}

int DBusNotifier::show(const Bubble& bubble, std::function<void(const QString&)> onAction) {
    const int handle = ++m_next;
    m_shown[handle] = Shown{bubble, std::move(onAction)};
    if (m_capabilities)
        send(handle);
    else
        askCapabilities();
    return handle;
}

void DBusNotifier::askCapabilities() {
    if (m_asking) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return dropWaiting();
    m_asking = true;
    listen();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call("GetCapabilities"), 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_asking = false;
        const QDBusPendingReply<QStringList> reply = *w;
        // No service now: these are dropped, the next bubble asks again.
        if (reply.isError()) return dropWaiting();
        m_capabilities = reply.value();
        std::vector<int> waiting;
        for (const auto& [handle, shown] : m_shown)
            if (!shown.serverId) waiting.push_back(handle);
        for (int handle : waiting) send(handle);
    });
}

void DBusNotifier::dropWaiting() {
    for (auto it = m_shown.begin(); it != m_shown.end();)
        it = it->second.serverId ? std::next(it) : m_shown.erase(it);
}

void DBusNotifier::send(int handle) {
    Shown& shown = m_shown.at(handle);
    if (shown.closed) {
        m_shown.erase(handle);
        return;
    }
    const Bubble& b = shown.bubble;
    const bool markup = m_capabilities->contains("body-markup");
    QStringList actions;
    if (m_capabilities->contains("actions"))
        for (const QString& key : b.actions) actions << key << label(key);
    QVariantMap hints{{"desktop-entry", "kalvex4"},
                      {"urgency", QVariant::fromValue<uchar>(b.critical ? 2 : 1)},
                      // The message window plays the entry's sound.
                      {"suppress-sound", true},
                      {"image-data", QVariant::fromValue(icon(b.colour))}};
    QDBusMessage m = call("Notify");
    // Some servers (dunst) read the summary as markup too: both go as typed.
    auto typed = [markup](const QString& text) { return markup ? text.toHtmlEscaped() : text; };
    m << QString("Kalvex4") << uint(0) << QString() << typed(b.summary) << typed(b.body) << actions
      << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(m), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                auto it = m_shown.find(handle);
                if (it == m_shown.end()) return;
                if (reply.isError()) {
                    m_shown.erase(it);
                    return;
                }
                it->second.serverId = reply.value();
                if (it->second.closed) close(handle);
            });
}

void DBusNotifier::close(int handle) {
    auto it = m_shown.find(handle);
    if (it == m_shown.end()) return;
    if (!it->second.serverId) {
        it->second.closed = true;  // closed as soon as the server names it
        return;
    }
    QDBusMessage m = call("CloseNotification");
    m << it->second.serverId;
    QDBusConnection::sessionBus().asyncCall(m);
    m_shown.erase(it);
}

void DBusNotifier::onActionInvoked(uint id, const QString& key) {
    for (auto& [handle, shown] : m_shown)
        if (shown.serverId == id && shown.onAction) {
            const auto act = shown.onAction;  // the action may close and forget it
            act(key);
            return;
        }
}

void DBusNotifier::onNotificationClosed(uint id, uint) {
    for (auto it = m_shown.begin(); it != m_shown.end(); ++it)
        if (it->second.serverId == id) {
            m_shown.erase(it);
            return;
        }
}

}  // namespace kv::desktop
