#include "singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace kv::desktop {

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_name(key), m_lock(QDir::tempPath() + "/" + key + ".lock") {
    m_lock.setStaleLockTime(0);  // a lock whose process died is recovered at once
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (!m_lock.tryLock(0)) {
        // Only a lock of a living process counts.
        if (!m_lock.removeStaleLockFile() || !m_lock.tryLock(0)) return false;
    }
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_name);
    m_server->listen(m_name);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, s, [this, s] {
                s->readAll();
                s->write("ok");
                s->flush();
                s->disconnectFromServer();
                emit raiseRequested();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

bool SingleInstance::signalFirst(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write("raise");
    socket.flush();
    return socket.waitForReadyRead(timeoutMs) && socket.readAll() == "ok";
}

}  // namespace kv::desktop
