#pragma once
// The life of every window, written once: built by its constructor, centred
// on its first show, loaded just after it is on screen (so that a message box
// of the loading comes over it), and closed only once exec() runs its loop, so
// that a close asked for while loading or inside a command is never lost.

#include <QDialog>

namespace kv::desktop {

class Window : public QDialog {
    Q_OBJECT
public:
    // Whether the loading after the first show has run (tests wait for it).
    bool opened() const { return m_opened; }

protected:
    explicit Window(QWidget* owner, Qt::WindowFlags flags = Qt::WindowFlags());

    void showEvent(QShowEvent* e) override;
    // What must be in place the moment the window is first seen.
    virtual void firstShown() {}
    // The window's loading, once: files opened, values shown.
    virtual void load() = 0;
    // Closes the window when its loop runs; safe from load() and from any command.
    void closeWindow();
    // Whether closeWindow() was asked for: any other close came from outside.
    bool closeAsked() const { return m_closeAsked; }

private:
    void loadWhenExposed(int tries);

    bool m_firstShowSeen = false;
    bool m_opened = false;
    bool m_closeAsked = false;
};

}  // namespace kv::desktop
