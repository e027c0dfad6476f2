#pragma once

#include <QStringList>
#include <functional>

#include "opener.h"

namespace kv::testing {

// Records which windows were asked for; a notification runs `onNotification`.
class RecordingOpener final : public desktop::WindowOpener {
public:
    void openEditor(QWidget*) override { opened << "editor"; }
    void openConfiguration(QWidget*) override { opened << "configuration"; }
    void openAbout(QWidget*) override { opened << "about"; }
    void openNewEntry(QWidget*) override {
        opened << "new";
        if (onEntryWindow) onEntryWindow();
    }
    void openEditEntry(QWidget*) override {
        opened << "edit";
        if (onEntryWindow) onEntryWindow();
    }
    void openDeleteEntry(QWidget*) override {
        opened << "delete";
        if (onEntryWindow) onEntryWindow();
    }
    bool openNotification(QWidget*) override {
        opened << "notification";
        return onNotification ? onNotification() : false;
    }
    void openTimerNotification(QWidget*) override { opened << "timer"; }

    QStringList opened;
    std::function<bool()> onNotification;
    std::function<void()> onEntryWindow;  // runs inside the entry window's place
};

}  // namespace kv::testing
