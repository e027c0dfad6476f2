#include "tray.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

#include "bannerfont.h"

namespace kv::desktop {

namespace {
// While the session comes up a tray is looked for often, later now and then.
constexpr int kQuickRetries = 30;
constexpr int kQuickInterval = 2000;
constexpr int kSlowInterval = 30000;

// StatusNotifierItem hosts (KDE, GNOME's AppIndicator, Xfce) activate an item
// with one click and know no double click; XEmbed trays pass both on.
bool hostActivatesOnce() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered("org.kde.StatusNotifierWatcher");
}
}  // namespace

QIcon programIcon() {
    // The icon beside this very program first (a build folder, or bin/../share
    // when installed), then the theme's; drawn only when neither is there.
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& root : {here + "/share/icons/hicolor", here + "/../share/icons/hicolor"}) {
        QIcon icon;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString file = root + QString("/%1x%1/apps/kalvex4.png").arg(size);
            if (QFileInfo::exists(file)) icon.addFile(file, QSize(size, size));
        }
        if (!icon.isNull()) return icon;
    }
    const QIcon themed = QIcon::fromTheme("kalvex4");
    if (!themed.isNull()) return themed;
    QPixmap pm(32, 32);
    pm.fill(QColor(0x28, 0x31, 0x59));
    QPainter p(&pm);
    p.setPen(QColor(0x9C, 0xD4, 0xE4));
    QFont f = bannerFont(24);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, "K");
    return QIcon(pm);
}

Tray::Tray(QWidget* window, QMenu* menu, QAction* defaultAction, const QString& tip)
    : QObject(window),
      m_window(window),
      m_default(defaultAction),
      m_icon(new QSystemTrayIcon(programIcon(), this)),
      m_retry(new QTimer(this)) {
    m_icon->setObjectName("tray");
    m_icon->setToolTip(tip);
    m_icon->setContextMenu(menu);
    const bool once = hostActivatesOnce();
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this, once](QSystemTrayIcon::ActivationReason r) {
                const bool opens =
                    r == QSystemTrayIcon::DoubleClick || (once && r == QSystemTrayIcon::Trigger);
                // Queued: the editor runs its own event loop, and a panel's
                // D-Bus call must be answered first, not when the editor closes.
                if (opens && m_default && m_default->isEnabled())
                    QMetaObject::invokeMethod(m_default, &QAction::trigger, Qt::QueuedConnection);
            });
    m_retry->setObjectName("trayRetry");
    m_retry->setInterval(kQuickInterval);
    connect(m_retry, &QTimer::timeout, this, &Tray::retryShow);
    retryShow();
}

bool Tray::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::retryShow() {
    // A session's tray often appears a little after the programs it starts.
    if (isAvailable()) {
        m_retry->stop();
        m_icon->show();
        return;
    }
    if (++m_retries == kQuickRetries) {
        const QString why =
            tr("No notification area was found, so Kalvex stays in the taskbar. "
               "Its icon appears as soon as the desktop offers one.");
        m_window->setToolTip(why);
        emit missing(why);
        m_retry->setInterval(kSlowInterval);
    }
    m_retry->start();
}

bool Tray::hidesToTray() const {
    return isAvailable() && m_icon->isVisible();
}

void Tray::hideWindow() {
    if (hidesToTray())
        m_window->hide();
    else
        m_window->showMinimized();
}

void Tray::bringForward() {
    if (m_window->isMinimized()) m_window->showNormal();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

}  // namespace kv::desktop
