#pragma once
// What the command line asks before any window is needed: --help, --version,
// and the refusal of what the program does not know.

#include <QString>
#include <QStringList>
#include <optional>

namespace kv::app {

struct CommandLineAnswer {
    int status = 0;
    QString out;  // for standard output
    QString err;  // for standard error
};

// The answer to arguments (the program's name first), or nothing when the
// program is to start; the toolkit's own options (-platform, -style...) are
// left for it. The help ends with commands, the command line's own list.
std::optional<CommandLineAnswer> answerArguments(const QStringList& arguments,
                                                 const QString& commands = {});

// What the start asks the program to open: "editor", "new", "configuration",
// or nothing (the usual start).
QString startCommand(const QStringList& arguments);

}  // namespace kv::app
