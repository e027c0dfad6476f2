#pragma once
// Windows ask for other windows through this interface, which the program
// wires up; no window includes another window's header.

class QWidget;

namespace kv::desktop {

class WindowOpener {
public:
    virtual ~WindowOpener() = default;
    virtual void openEditor(QWidget* owner) = 0;
    virtual void openConfiguration(QWidget* owner) = 0;
    virtual void openAbout(QWidget* owner) = 0;
    virtual void openNewEntry(QWidget* owner) = 0;
    // Edits the active entry of the exchange file.
    virtual void openEditEntry(QWidget* owner) = 0;
    // Offers to delete the active entry of the exchange file.
    virtual void openDeleteEntry(QWidget* owner) = 0;
    // Shows the active entry; true when the window removed it from its log.
    virtual bool openNotification(QWidget* owner) = 0;
    virtual void openTimerNotification(QWidget* owner) = 0;
};

}  // namespace kv::desktop
