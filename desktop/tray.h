#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace kv::desktop {

// The program's icon: the tray's, every window's and the About window's.
QIcon programIcon();

// The notification-area icon of the resident window. Where the desktop has no
// tray, hiding keeps the window minimised instead, so it stays reachable, and
// the icon is shown as soon as a tray appears.
class Tray final : public QObject {
    Q_OBJECT
public:
    Tray(QWidget* window, QMenu* menu, QAction* defaultAction, const QString& tip);
    bool isAvailable() const;
    // Whether the window can hide behind a visible icon right now.
    bool hidesToTray() const;
    // Hides the window behind the icon (or minimises it without a tray).
    void hideWindow();
    void bringForward();
    QSystemTrayIcon* icon() const { return m_icon; }

signals:
    // No tray came while the session started: why the window stays in the taskbar.
    void missing(const QString& why);

private:
    void retryShow();

    QWidget* m_window;
    QAction* m_default;
    QSystemTrayIcon* m_icon;
    QTimer* m_retry;
    int m_retries = 0;
};

}  // namespace kv::desktop
