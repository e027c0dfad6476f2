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

namespace {

// Each window is created with its owner, run modally and freed when it closes.
template <typename Window, typename... Args>
void runModal(Args&&... args) {
    Window window(std::forward<Args>(args)...);
    window.exec();
}

}  // namespace

void WindowOpener::openConfiguration(QWidget* owner) {
    runModal<config::Tkonfigurowanie>(m_services, owner);
}

void WindowOpener::openTimerNotification(QWidget* owner) {
    runModal<notify::Tinformacja_timer>(m_services, owner);
}

void WindowOpener::openAbout(QWidget* owner) {
    runModal<about::Tabout>(m_services, owner);
}

void WindowOpener::openEditor(QWidget* owner) {
    runModal<editor::Tedytor>(m_services, *this, owner, m_alarm);
}

void WindowOpener::openNewEntry(QWidget* owner) {
    runModal<entries::Tdodawanie>(m_services, owner);
}

void WindowOpener::openEditEntry(QWidget* owner, const desktop::HandedEntry& entry) {
    runModal<entries::Tedytowanie>(m_services, owner, entry);
}

void WindowOpener::openDeleteEntry(QWidget* owner, const desktop::HandedEntry& entry) {
    runModal<entries::Tusuwanie>(m_services, owner, entry);
}

desktop::NotificationAnswer WindowOpener::openNotification(QWidget* owner,
                                                           const desktop::HandedEntry& entry) {
    notify::Tinformacja window(m_services, *this, owner, entry);
    window.exec();
    return window.answer();
}

}  // namespace kv::app
