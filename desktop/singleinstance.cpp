#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv::desktop {

namespace {

#ifdef Q_OS_UNIX
bool ownedAndClosed(const QString& folder) {
    struct stat st {};
    return !folder.isEmpty() && stat(QFile::encodeName(folder).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0022) == 0;
}
#endif

}  // namespace

QString SingleInstance::privateFolder() {
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (ownedAndClosed(runtime)) return runtime;
    const QString own = QDir::homePath() + "/.cache/kalvex4";
    QDir().mkpath(own);
    QFile::setPermissions(own,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (ownedAndClosed(own)) return own;
    // The temporary folder is everyone's: only a folder there that is this user's
    // own and closed to others will do; another user's plant means no folder.
    const QString temp = QDir::tempPath() + "/kalvex4-" + QString::number(geteuid());
    mkdir(QFile::encodeName(temp).constData(), 0700);
    if (ownedAndClosed(temp)) return temp;
    return {};
#else
    return QDir::tempPath();  // per user on Windows
#endif
}

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : SingleInstance(privateFolder(), key, parent) {}

SingleInstance::SingleInstance(const QString& folder, const QString& key, QObject* parent)
    : QObject(parent),
#ifdef Q_OS_UNIX
      m_name(folder + "/" + key),  // a socket file in the private folder
#else
      m_name(key),            // a named pipe of the user's session
#endif
      m_lock(folder + "/" + key + ".lock"),
      m_guarded(!folder.isEmpty()) {
    m_lock.setStaleLockTime(0);  // a lock whose process died is recovered at once
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (!m_guarded) return true;  // no folder of the user's own: no guard to take
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
                const QString command = QString::fromLatin1(s->readAll().left(32));
                s->write("ok");
                s->flush();
                s->disconnectFromServer();
                emit raiseRequested(command);
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

bool SingleInstance::signalFirst(int timeoutMs, const QByteArray& command) const {
    if (!m_guarded) return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(command);
    socket.flush();
    return socket.waitForReadyRead(timeoutMs) && socket.readAll() == "ok";
}

}  // namespace kv::desktop
