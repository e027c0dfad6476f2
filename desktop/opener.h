#pragma once
// Windows ask for other windows through this interface, which the program
// wires up; no window includes another window's header.

#include <optional>

#include "exchange.h"
#include "logbook.h"

class QWidget;

namespace kv::desktop {

// The entry one window hands the next: the opener passes it on in memory, so
// that nothing written to a file meanwhile (another window's hand-over, a
// re-check) changes which entry the next window acts on.
struct HandedEntry : storage::ActiveEntry {
    HandedEntry() = default;
    HandedEntry(int number, std::string log,
                std::optional<storage::StoredEntry> announced = std::nullopt)
        : storage::ActiveEntry{number, std::move(log)}, announced(std::move(announced)) {}
    // What the announcer read in that slot: the notification shows this entry
    // and removes nothing else.
    std::optional<storage::StoredEntry> announced;
    // Why it is shown when not for today: "Missed on …", "In 3 days (…)".
    std::string reason;
};

// What the user chose in a notification.
struct NotificationAnswer {
    enum class Choice { Closed, Done, Later, Snooze };
    Choice choice = Choice::Closed;
    bool removed = false;   // "Done" took a once-only entry out of its log
    int snoozeMinutes = 0;  // with Snooze: 10, 60, or 1440 for tomorrow
};

class WindowOpener {
public:
    virtual ~WindowOpener() = default;
    virtual void openEditor(QWidget* owner) = 0;
    virtual void openConfiguration(QWidget* owner) = 0;
    virtual void openAbout(QWidget* owner) = 0;
    virtual void openNewEntry(QWidget* owner) = 0;
    // Edits the entry handed over.
    virtual void openEditEntry(QWidget* owner, const HandedEntry& entry) = 0;
    // Offers to delete the entry handed over.
    virtual void openDeleteEntry(QWidget* owner, const HandedEntry& entry) = 0;
    // Shows the entry handed over and says what the user chose.
    virtual NotificationAnswer openNotification(QWidget* owner, const HandedEntry& entry) = 0;
    virtual void openTimerNotification(QWidget* owner) = 0;
};

}  // namespace kv::desktop
