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
    // From a second start: asks the first instance to come forward, or to
    // carry out command ("editor", "new", "configuration").
    bool signalFirst(int timeoutMs = 2000, const QByteArray& command = "raise") const;

    // Whether a folder of the user's own holds the guard; without one the
    // program runs unguarded (acquire() succeeds), which its caller says.
    bool guarded() const { return m_guarded; }

    // The session's runtime folder when it is the user's alone, otherwise a
    // folder of the user's own under the home folder or, made 0700, in the
    // temporary folder; empty when there is none.
    static QString privateFolder();

signals:
    void raiseRequested(const QString& command);

private:
    SingleInstance(const QString& folder, const QString& key, QObject* parent);
    QString m_name;
    QLockFile m_lock;
    bool m_guarded;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace kv::desktop
