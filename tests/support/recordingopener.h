#pragma once

#include <QStringList>
#include <functional>
#include <vector>

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
    void openEditEntry(QWidget*, const desktop::HandedEntry& entry) override {
        opened << "edit";
        handed.push_back(entry);
        if (onEntryWindow) onEntryWindow();
    }
    void openDeleteEntry(QWidget*, const desktop::HandedEntry& entry) override {
        opened << "delete";
        handed.push_back(entry);
        if (onEntryWindow) onEntryWindow();
    }
    desktop::NotificationAnswer openNotification(QWidget*,
                                                 const desktop::HandedEntry& entry) override {
        opened << "notification";
        handed.push_back(entry);
        if (onAnswer) return onAnswer();
        const bool removed = onNotification ? onNotification() : false;
        using Choice = desktop::NotificationAnswer::Choice;
        return {removed ? Choice::Done : Choice::Closed, removed, 0};
    }
    void openTimerNotification(QWidget*) override { opened << "timer"; }

    QStringList opened;
    std::vector<desktop::HandedEntry> handed;  // what each entry window was handed
    std::function<bool()> onNotification;      // true: "Done" removed the entry
    std::function<desktop::NotificationAnswer()> onAnswer;
    std::function<void()> onEntryWindow;  // runs inside the entry window's place
};

}  // namespace kv::testing
