#pragma once
// What every command is given, and the pieces they share: the installation,
// the chosen logs, the entries of a log and the failure lines.

#include <QDate>
#include <array>
#include <memory>
#include <vector>

#include "arguments.h"
#include "cli.h"
#include "locations.h"
#include "logbook.h"
#include "profile.h"

namespace kv::cli {

// One occupied slot of a log, or one due on a day (then due is that day).
struct Listed {
    storage::LogKind kind;
    int number;
    storage::StoredEntry entry;
    std::string due;
};

class Command {
public:
    Command(const Arguments& args, const storage::Location& where, const QDate& today,
            Reply& reply);

    const Arguments& args() const { return m_args; }
    const storage::Location& where() const { return m_where; }
    const QDate& today() const { return m_today; }
    Reply& reply() { return m_reply; }

    // Says "kalvex4: message" on standard error and returns status.
    int fail(int status, const QString& message);
    void warn(const QString& message);
    void print(const QString& line);

    // The file of --ics ("-": standard input or output), or nothing after saying it is needed.
    std::optional<QString> icsFile(const char* stream);
    storage::Profile log(storage::LogKind kind) const;
    // The log as this command reads it: read once, however often asked, so that
    // a writer's lock delays the command once at most.
    const storage::Profile& readLog(storage::LogKind kind) const;
    // The logs named by --log (every one when none is), or nothing after
    // saying which name is unknown.
    std::optional<std::vector<storage::LogKind>> chosenLogs();
    // A log name given on the command line: private, static or public.
    std::optional<storage::LogKind> logNamed(const QString& name);
    // Whether each log can be read; says the first that cannot.
    bool readable(const std::vector<storage::LogKind>& kinds);
    // The 51 slots of a log as one read sees them.
    std::vector<storage::StoredEntry> slotsOf(storage::LogKind kind) const;
    // The occupied slots of the logs, in the order the due check reads them.
    std::vector<Listed> entries(const std::vector<storage::LogKind>& kinds) const;
    // What is due on each day of [from, to] by the start-up check's rules.
    std::vector<Listed> due(const std::vector<storage::LogKind>& kinds, const QDate& from,
                            const QDate& to) const;
    // Who --for USER or --everyone names, with the name as the windows store
    // it (Me without either), or nothing after saying what is wrong.
    std::optional<std::pair<storage::Receiver, std::string>> receiver();
    // The information types of the installation, the new-entry window's first one first.
    std::vector<std::string> types() const;

private:
    struct HeldLog {
        explicit HeldLog(storage::Profile p) : profile(std::move(p)) {}
        storage::Profile profile;
        storage::Profile::ReadScope scope{profile};
    };

    const Arguments& m_args;
    const storage::Location& m_where;
    QDate m_today;
    Reply& m_reply;
    mutable std::array<std::unique_ptr<HeldLog>, 3> m_read;
};

// "private", "static", "public".
QString logName(storage::LogKind kind);
// How often the entry shows: "once", "year", "month", or the stored mode as it is.
QString everyName(storage::LogKind kind, const storage::StoredEntry& entry);
// "1 entry", "2 entries".
QString counted(qsizetype n, const char* one, const char* many);
// A date typed as the windows store it ("YYYY-MM-DD"), or an invalid date.
QDate dateArgument(const QString& text);

int listCommand(Command& c);
int addCommand(Command& c);
int removeCommand(Command& c);
int exportCommand(Command& c);
int importCommand(Command& c);

}  // namespace kv::cli
