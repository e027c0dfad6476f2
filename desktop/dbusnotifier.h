#pragma once
// The desktop's notification service (org.freedesktop.Notifications on the
// session bus). Every call is asynchronous: a missing service changes nothing
// and one that never answers delays nothing.

#include <QObject>
#include <map>
#include <optional>

#include "services.h"

class QDBusPendingCallWatcher;

namespace kv::desktop {

class DBusNotifier final : public QObject, public Notifier {
    Q_OBJECT
public:
    explicit DBusNotifier(QObject* parent = nullptr);

    int show(const Bubble& bubble, std::function<void(const QString&)> onAction) override;
    void close(int handle) override;

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onNotificationClosed(uint id, uint reason);

private:
    struct Shown {
        Bubble bubble;
        std::function<void(const QString&)> onAction;
        uint serverId = 0;  // 0 until the server has answered
        bool closed = false;
    };
    void askCapabilities();
    void send(int handle);
    void listen();
    void dropWaiting();

    std::map<int, Shown> m_shown;
    std::optional<QStringList> m_capabilities;
    bool m_asking = false;
    bool m_listening = false;
    int m_next = 0;
};

}  // namespace kv::desktop
