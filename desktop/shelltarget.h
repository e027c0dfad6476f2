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

// What a notification's action hands the desktop: a program to start, or any file.
enum class ActionKind { Program, File };
// Why target cannot be started or opened (it is missing, or this user may not
// run or read it); empty when the desktop may try. URLs are the desktop's to judge.
QString actionProblem(const QString& target, ActionKind kind);
// Whether shell open starts target itself: a local file this user may run.
bool startsAsProgram(const QUrl& url);

}  // namespace kv::desktop
