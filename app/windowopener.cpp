#include "windowopener.h"

#include "tinformacja.h"

namespace kv::app {

// The editor, entry, configuration, About and timer windows are not part of
// this program yet; their menu items do nothing until they are.
void WindowOpener::openEditor(QWidget*) {}
void WindowOpener::openConfiguration(QWidget*) {}
void WindowOpener::openAbout(QWidget*) {}
void WindowOpener::openEditEntry(QWidget*) {}
void WindowOpener::openTimerNotification(QWidget*) {}

bool WindowOpener::openNotification(QWidget* owner) {
    notify::Tinformacja window(m_services, *this, owner);
    window.exec();
    return window.removedEntry();
}

}  // namespace kv::app
