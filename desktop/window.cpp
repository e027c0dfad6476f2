#include "window.h"

#include <QTimer>
#include <QWindow>

#include "windowkit.h"

namespace kv::desktop {

Window::Window(QWidget* owner, Qt::WindowFlags flags) : QDialog(owner, flags) {
    setModal(true);
}

void Window::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_firstShowSeen) return;
    m_firstShowSeen = true;
    centre(this);
    firstShown();
    loadWhenExposed(0);
}

void Window::loadWhenExposed(int tries) {
    // A window system may expose the window a moment after show(); half a
    // second at the most, then the loading runs anyway.
    QTimer::singleShot(tries == 0 ? 0 : 10, this, [this, tries] {
        const QWindow* handle = windowHandle();
        if (handle && !handle->isExposed() && tries < 50) return loadWhenExposed(tries + 1);
        load();
        m_opened = true;
    });
}

void Window::closeWindow() {
    m_closeAsked = true;
    QTimer::singleShot(0, this, [this] { accept(); });
}

}  // namespace kv::desktop
