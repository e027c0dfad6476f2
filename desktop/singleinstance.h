#pragma once

#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;

namespace kv::desktop {

// One running program per user: a lock file plus a local socket through which
// a second start asks the first to come forward. Both live in a folder only
// the user can write, so another user can neither plant nor hold them.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first instance, which keeps the lock until it ends.
    bool acquire();
    // From a second start: asks the first instance to come forward.
    bool signalFirst(int timeoutMs = 2000) const;

    // The session's runtime folder when it is the user's alone, otherwise a
    // folder of the user's own under the home folder.
    static QString privateFolder();

signals:
    void raiseRequested();

private:
    SingleInstance(const QString& privatePath, const QString& key, QObject* parent);
    QString m_name;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace kv::desktop
