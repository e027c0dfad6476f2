#pragma once

#include "alarmclock.h"
#include "opener.h"
#include "services.h"

namespace kv::app {

// Opens every window modally with its owner and frees it when it closes.
class WindowOpener final : public desktop::WindowOpener {
public:
    explicit WindowOpener(desktop::Services& services) : m_services(services) {}
    // The resident window's clock, whose alarm the editor's timer page sets.
    void setAlarmClock(desktop::AlarmClock* alarm) { m_alarm = alarm; }
    void openEditor(QWidget* owner) override;
    void openConfiguration(QWidget* owner) override;
    void openAbout(QWidget* owner) override;
    void openNewEntry(QWidget* owner) override;
    void openEditEntry(QWidget* owner, const desktop::HandedEntry& entry) override;
    void openDeleteEntry(QWidget* owner, const desktop::HandedEntry& entry) override;
    desktop::NotificationAnswer openNotification(QWidget* owner,
                                                 const desktop::HandedEntry& entry) override;
    void openTimerNotification(QWidget* owner) override;

private:
    desktop::Services& m_services;
    desktop::AlarmClock* m_alarm = nullptr;
};

}  // namespace kv::app
