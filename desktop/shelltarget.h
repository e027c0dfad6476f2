#pragma once
// What shell open hands to the desktop, and what start with the session writes:
// the decisions of the system services, kept apart so that tests can check them.

#include <QString>
#include <QUrl>
#include <optional>

namespace kv::desktop {

// A text with a scheme of two letters or more ("https:", "mailto:") is a URL;
// anything else (a path, also "C:\..." or a relative one) a local file.
// Nothing for an empty text.
std::optional<QUrl> shellTarget(const QString& target);

// The XDG autostart entry that starts program with the session.
QString autostartEntry(const QString& program);
// A user's entry that turns off the one shipped for every user.
QString hiddenAutostartEntry();

}  // namespace kv::desktop
