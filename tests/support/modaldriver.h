#pragma once
// Acts on a modal window from inside its exec(), as a user would once it is on
// screen; a window that never shows or never closes fails the test instead of
// hanging it.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kv::testing {

class ModalDriver final : public QObject {
public:
    // The next time a modal window named objectName is active, runs act on it.
    // Give up after timeoutMs: the window (if any) is rejected so exec() returns.
    void whenShown(const QString& objectName, std::function<void(QWidget*)> act,
                   int timeoutMs = 5000) {
        m_name = objectName;
        m_act = std::move(act);
        m_acted = false;
        m_clock.start();
        m_timeout = timeoutMs;
        m_poll.setInterval(5);
        m_poll.disconnect();
        connect(&m_poll, &QTimer::timeout, this, [this] { poll(); });
        m_poll.start();
    }
    bool acted() const { return m_acted; }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        // A window it acted on may still be closing: only a new one counts.
        if (modal && modal != m_last && modal->objectName() == m_name && modal->isVisible()) {
            m_poll.stop();
            m_acted = true;
            m_last = modal;
            m_act(modal);
            return;
        }
        if (m_clock.elapsed() > m_timeout) {
            m_poll.stop();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        }
    }

    QTimer m_poll;
    QElapsedTimer m_clock;
    QString m_name;
    QPointer<QWidget> m_last;
    std::function<void(QWidget*)> m_act;
    int m_timeout = 0;
    bool m_acted = false;
};

}  // namespace kv::testing
