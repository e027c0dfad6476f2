#pragma once
// The command line for scripts: list, add, remove, export and import work on
// the logs through the same engine, locks and checks as the windows, with no
// display and no single-start guard.

#include <QDate>
#include <QStringList>
#include <string>

namespace kv::cli {

// Exit status of a command.
enum Status {
    kOk = 0,
    kRefused = 1,      // a write refused, a file locked or unreadable, no installation
    kUsage = 2,        // a usage error, an invalid date or log
    kSomeRefused = 3,  // an import that refused some events
};

struct Reply {
    int status = kOk;
    std::string out;  // standard output, UTF-8
    std::string err;  // standard error, UTF-8
};

// Whether arguments (the program's name first) start with a command.
bool isCommand(const QStringList& arguments);
// Runs the command; today is the local date that "due" is judged by.
Reply run(const QStringList& arguments, const QDate& today);

// The commands for "kalvex4 --help".
QString commandsHelp();

}  // namespace kv::cli
