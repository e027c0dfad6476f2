#pragma once
// The platform services every window uses, behind small interfaces so that a
// test double can record what a window showed, played or opened.

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace kv::desktop {

// Every message box carries the application title "Kalvex".
inline constexpr const char* kAppTitle = "Kalvex";

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class Answer { Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal, with an OK button only.
    virtual void show(QWidget* parent, const QString& text,
                      MessageIcon icon = MessageIcon::None) = 0;
    // Modal, with Yes and No; closing the box answers No.
    virtual Answer ask(QWidget* parent, const QString& text,
                       MessageIcon icon = MessageIcon::Question) = 0;
};

// What an open-file dialog offers: any file, or programs only.
enum class FileKind { Any, Program };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An existing file chosen, or nothing when cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& caption,
                                            const QString& folder, FileKind kind) = 0;
    // The colour chosen, starting from initial, or nothing when cancelled.
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Asynchronous; silent for an alias or file the system does not know.
    virtual void playAlias(const QString& alias) = 0;
    virtual void playFile(const QString& path) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a path or URL with the desktop's handler (a program is started);
    // false when the desktop could not.
    virtual bool open(const QString& target) = 0;
};

class Autostart {
public:
    virtual ~Autostart() = default;
    // False when the system refused the change; nothing changed then.
    virtual bool setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
};

// A bubble for the desktop's notification service: plain texts; the service
// escapes them for a server that reads markup.
struct Bubble {
    QString summary, body;
    QColor colour;          // of its icon
    bool critical = false;  // shown through "Do Not Disturb"
    // Keys of the actions offered where the server has actions: "done",
    // "snooze", "later".
    QStringList actions;
};

class Notifier {
public:
    virtual ~Notifier() = default;
    // Returns at once with a handle; onAction later gets the key the user chose.
    // Nothing happens where there is no service.
    virtual int show(const Bubble& bubble, std::function<void(const QString&)> onAction) = 0;
    virtual void close(int handle) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

struct Services {
    MessageBoxes& messages;
    SoundPlayer& sound;
    Shell& shell;
    Autostart& autostart;
    Clock& clock;
    Dialogs& dialogs;
    Notifier& notifier;
};

// The real services of this machine.
Services& systemServices();

}  // namespace kv::desktop
