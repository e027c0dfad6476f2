#include "windowopener.h"

#include "tabout.h"
#include "tdodawanie.h"
#include "tedytor.h"
#include "tedytowanie.h"
#include "tinformacja.h"
#include "tinformacja_timer.h"
#include "tkonfigurowanie.h"
#include "tusuwanie.h"

namespace kv::app {

void WindowOpener::openConfiguration(QWidget* owner) {
    config::Tkonfigurowanie window(m_services, owner);
    window.exec();
}
void WindowOpener::openTimerNotification(QWidget* owner) {
    notify::Tinformacja_timer window(m_services, owner);
    window.exec();
}

void WindowOpener::openAbout(QWidget* owner) {
    about::Tabout window(m_services, owner);
    window.exec();
}

void WindowOpener::openEditor(QWidget* owner) {
    editor::Tedytor window(m_services, *this, owner, m_alarm);
    window.exec();
}

void WindowOpener::openNewEntry(QWidget* owner) {
    entries::Tdodawanie window(m_services, owner);
    window.exec();
}

void WindowOpener::openEditEntry(QWidget* owner) {
    entries::Tedytowanie window(m_services, owner);
    window.exec();
}

void WindowOpener::openDeleteEntry(QWidget* owner) {
    entries::Tusuwanie window(m_services, owner);
    window.exec();
}

bool WindowOpener::openNotification(QWidget* owner) {
    notify::Tinformacja window(m_services, *this, owner);
    window.exec();
    return window.removedEntry();
}

}  // namespace kv::app
